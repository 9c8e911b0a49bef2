// The text-program file (".tprg"): the pages and text materials of the
// text-program window as lines of comma-joined fields in the system code
// page, under "[ProgramList]" and "[FodderList]", with CR LF line ends.
#pragma once

#include "model/tfodder.h"
#include "model/tprogram.h"

#include <QDateTime>
#include <QList>
#include <QString>

class QIODevice;

namespace ledsign {

inline constexpr const char* kTextProgramExtension = ".tprg";
inline constexpr const char* kTextProgramMaterialMark = "071210141512"; // spare28 of every text material
// Before a line is split, its spaces are replaced by this text.
inline constexpr const char16_t* kTextProgramSpaceMark = u"※☆";

struct TextProgramData {
    QList<TProgram> pages;
    QList<TFodder> materials;
};

// Writes the pages and the materials whose typeCode is at most 10.
QByteArray textProgramBytes(const TextProgramData& data);
bool writeTextProgram(QIODevice& device, const TextProgramData& data, QString* error = nullptr);
// Replaces the file in one step: a failed write keeps what was there.
bool saveTextProgramFile(const QString& path, const TextProgramData& data, QString* error = nullptr);

// Reads pages and materials. Lines before the first section are ignored, a
// page line needs four fields (a fifth is the play cycle), a material line
// eleven; shorter lines and lines whose numbers do not read are skipped.
// Pages get playDate = `loadTime` minus seven days and `everyDayText` as
// cycle when the line has none. Spaces in names come back as the space mark;
// the content keeps its spaces.
bool readTextProgram(QIODevice& device, TextProgramData& out, const QDateTime& loadTime,
                     const QString& everyDayText, QString* error = nullptr);
bool loadTextProgramFile(const QString& path, TextProgramData& out, const QDateTime& loadTime,
                         const QString& everyDayText, QString* error = nullptr);

} // namespace ledsign
