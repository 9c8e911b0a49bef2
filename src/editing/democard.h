// The sample card that `ledsign --demo` and `ledsign-cli demo` show: a
// 128 x 32 dual-colour card whose pages hold a single-line text, a
// multi-line text, a clock and an image group. The group's pictures are
// drawn by the program into the data folder the first time they are needed.
#pragma once

#include "model/datafolder.h"

#include <QRect>
#include <QString>
#include <QStringList>

namespace ledsign {

class ProjectModel;
struct TFIXModem;

inline constexpr const char* kDemoCardName = "Demo";
inline constexpr int kDemoWidth = 128;
inline constexpr int kDemoHeight = 32;
inline constexpr int kDemoColorIndex = 1; // dual colour
inline constexpr int kDemoPictureCount = 3;
// The code the virtual card of the demo reports, so that it registers as the
// sample card instead of a new one.
inline constexpr const char* kDemoInternalCode = "68_69_77_79_1_2_3_4";

// The outer width the virtual card's panel window needs beside the editor:
// three screen pixels a LED, its margins, a window frame and the gap.
inline constexpr int kDemoPanelWidth = kDemoWidth * 3 + 36;

// The editor's frame in the demo: unchanged when the panel fits on its
// right within the screen, else narrowed to make that room, but not below
// `minimumWidth` (the panel then goes wherever it finds room).
QRect demoEditorFrame(const QRect& editor, const QRect& screen, int minimumWidth);

// Where the demo keeps its data when no folder is given:
// $XDG_DATA_HOME/ledsign-demo (usually ~/.local/share/ledsign-demo).
QString defaultDemoFolder();

// The image group's BMP files in the picture folder, drawn when missing or
// when they do not read as a picture. Pictures that read are left alone.
// False with `error` (the file and the system's reason) when one cannot be
// written.
bool ensureDemoPictures(const DataFolder& folders, QStringList& paths, QString* error = nullptr);

// The sample card's record without content: name, size, colours, code.
TFIXModem demoCardRecord();

// Where the sample card's playbill is kept: "Demo.prg" in the playbill folder.
QString demoPlaybillPath(const DataFolder& folders);

// Appends the sample card and its four pages to the model. False with
// `error` when a card of that name exists already or its pictures cannot be
// drawn.
bool addDemoCard(ProjectModel& model, const DataFolder& folders, QString* error = nullptr);

// Writes the sample card's playbill as "Demo.prg" in the playbill folder and
// records it as the card's playbill file, so that the card list names it.
bool writeDemoPlaybill(ProjectModel& model, const DataFolder& folders, QString* path = nullptr,
                       QString* error = nullptr);

// The sample card in the model, as both demos start it: when its playbill
// is stored, the card with that playbill (an edited demo is kept as it is);
// otherwise the card built afresh and its playbill written. `fromFile` says
// which. False with `error` when the stored playbill cannot be read or holds
// no material (the file is left alone).
bool setUpDemoCard(ProjectModel& model, const DataFolder& folders, bool* fromFile = nullptr,
                   QString* error = nullptr);

} // namespace ledsign
