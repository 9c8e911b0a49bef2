// The material kinds (materialkind.h): their language keys for the base name and the
// "Type" row, their canvas panel prefix, the type code sent to the card, and
// the values that differ from the common defaults of a new material.
#pragma once

#include "model/materialkind.h"
#include "model/tfodder.h"

#include <QDateTime>
#include <QString>

namespace ledsign {

struct MaterialKindInfo {
    MaterialKind kind;
    const char* nameKey;       // language key (category 3) of the base name
    const char* typeKey;       // language key of the "Type" row text
    const char* panelPrefix;
    char typeCode;
    int displaySpeed;          // default of a new material
    int remainTime;            // default of a new material
    bool contentIsNow;         // a new material's content is the current time
};

// Panel prefix of materials made while a playbill is read.
inline constexpr const char* kReadMaterialPanelPrefix = "pnFodder";

bool isValidMaterialKind(int kind);
// The row of a kind; kinds outside 0..11 give the single-text row.
const MaterialKindInfo& materialKindInfo(int kind);

// Language texts of the base name and of the type of a kind.
QString materialBaseName(int kind);
QString materialTypeName(int kind);

// A new material of the kind with every default of the main window; count-up
// and count-down get `now` as "yyyy-MM-dd HH:mm:ss" in `content`.
TFodder defaultMaterial(int kind, const QDateTime& now = QDateTime::currentDateTime());

} // namespace ledsign
