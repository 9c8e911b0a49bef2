// The material record: one content item of a region (text, image group,
// table, date and time, counter, queue, acquisition, animation ...). Several
// numeric fields mean different things for different kinds; the kinds table
// (materialkinds.h) and the coded-value accessors (codedvalues.h) say which.
#pragma once

#include "model/materialkind.h"
#include "model/tfileinfo.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <functional>

namespace ledsign {

class DataFolder;

// The eight glyph size names, joined by ";".
inline constexpr const char* kFullFontSizeList = "12*12;16*16;24*24;32*32;48*48;64*64;80*80;96*96";

struct TFodder {
    QString cardName;
    QString pageName;
    QString regionName;
    QString name;
    QString id;                 // "Material_UID"; keys the stored text in a playbill
    QString panelName;
    QString spare1C;
    QString regionId;
    QString regionNameAtCreation;
    QString spare28 = QStringLiteral("10");
    QString content;
    QString imageFiles;         // file names joined by ";"
    QStringList missingImages;  // image files named when read but not found
    qint32 playTimes = 1;
    qint32 displayMode = 9;     // "Displayed immediately"
    qint32 displaySpeed = 1;
    qint32 remainTime = 1;      // units of 5 s; 0 never stops, 255 static
    qint32 rotateMode = 0;
    qint32 typeCode = 0;        // character code sent to the card
    MaterialKind kind = kSingleText; // a stored number outside 0..11 is kept
    std::array<quint8, 2> downloadFlags{0, 0};
    qint32 textParam1 = 0;
    qint32 textParam2 = 0;      // also year digits (date/time) and alignment (acquisition)
    qint32 textParam3 = 0;
    qint32 tableParam1 = 0;
    qint32 tableParam2 = 0;
    std::array<char, 7> flagChars{'1', '1', '1', '0', '0', '0', '0'};
    qint32 digitColor = 1;
    qint32 charColor = 1;
    qint32 fontCode = 1;
    qint32 sizeCode = 1;
    qint32 timeFormat = 1;
    qint32 displayFormat = 1;
    qint32 timeDiffSign = 1;
    qint32 diffHours = 0;
    qint32 diffMinutes = 0;
    QList<TFileInfo> fileList;  // image files in play order
    qint32 sendNo = 1;
    qint32 partCount = 0;
    qint32 byteCount = 0;
    qint32 frameCount = 0;
    QString fontSizeList = QString::fromLatin1(kFullFontSizeList);

    bool operator==(const TFodder&) const = default;
};

// Receives a message meant for the user (a window shows it, a test collects it).
using MessageSink = std::function<void(const QString&)>;

// Creates a material from the given values. With `fileList` the material
// takes that list over; otherwise the names in `imageFiles` are added as
// image files (an image group's from the picture folder, a table's from the
// table folder, other kinds as written), and missing files are reported to
// `report`, skipped and kept in `missingImages`. The download state, the conversion results and the
// offered glyph sizes start fresh.
TFodder createMaterial(const TFodder& given, const QList<TFileInfo>* fileList,
                       const DataFolder& folders, const MessageSink& report = {});

} // namespace ledsign
