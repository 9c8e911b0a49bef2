// The text materials of a card as front ends offer them for changing (the
// fleet page's boxes, the MQTT bridge's text entities): each single-line,
// multi-line and remote-text material by its name, with its text as plain
// text (a remote text's lives in its text-program file and is not read
// here), and the number of the card's pages.
#pragma once

#include "model/materialkind.h"

#include <QJsonObject>
#include <QList>
#include <QString>

namespace ledsign {

class ProjectModel;

struct TextMaterial {
    QString name;
    MaterialKind kind = kSingleText;
    QString text;
};

struct CardTextMaterials {
    int pages = 0;
    QList<TextMaterial> texts; // in the card's material order
};

// False when there is no such card.
bool textMaterialsOf(const ProjectModel& model, const QString& cardName, CardTextMaterials* out);

// The text of a text run markup without its looks.
QString plainTextOfTextRuns(const QString& markup);

// {"name", "pages", "texts": [{"material", "kind": "single" | "multi" | "remote", "text"}]}
QJsonObject toJson(const QString& cardName, const CardTextMaterials& materials);

} // namespace ledsign
