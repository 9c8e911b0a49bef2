#include "protocol/textprogramfile.h"

#include "model/atomicfile.h"
#include "model/codec.h"

#include <QFile>
#include <QIODevice>
#include <QStringList>

namespace ledsign {

namespace {

constexpr const char* kPageSection = "[ProgramList]";
constexpr const char* kMaterialSection = "[FodderList]";
constexpr int kMaxWrittenTypeCode = 10;
constexpr int kPageFields = 4;
constexpr int kMaterialFields = 11;
constexpr int kContentField = 10;

bool toInt(const QString& text, qint32& out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok)
        out = v;
    return ok;
}

} // namespace

QByteArray textProgramBytes(const TextProgramData& data)
{
    QStringList lines;
    lines << QString::fromLatin1(kPageSection);
    for (const TProgram& p : data.pages)
        lines << QStringList{p.name, p.id, p.startTime, p.endTime}.join(u',');
    lines << QString::fromLatin1(kMaterialSection);
    for (const TFodder& m : data.materials) {
        if (m.typeCode > kMaxWrittenTypeCode)
            continue;
        lines << QStringList{m.name,
                             m.spare28,
                             m.spare1C,
                             m.id,
                             QString::number(m.kind),
                             QString::number(m.playTimes),
                             QString::number(m.displayMode),
                             QString::number(m.displaySpeed),
                             QString::number(m.remainTime),
                             QString::number(m.typeCode),
                             m.content}
                     .join(u',');
    }
    return codec::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

bool writeTextProgram(QIODevice& device, const TextProgramData& data, QString* error)
{
    const QByteArray bytes = textProgramBytes(data);
    if (device.write(bytes) != bytes.size()) {
        if (error)
            *error = device.errorString();
        return false;
    }
    return true;
}

bool saveTextProgramFile(const QString& path, const TextProgramData& data, QString* error)
{
    return writeFileAtomically(path, textProgramBytes(data), error);
}

bool readTextProgram(QIODevice& device, TextProgramData& out, const QDateTime& loadTime,
                     const QString& everyDayText, QString* error)
{
    out = {};
    if (!device.isReadable()) {
        if (error)
            *error = QStringLiteral("The file cannot be read.");
        return false;
    }
    const QString text = codec::decode(device.readAll());
    const QString mark = QString::fromUtf16(kTextProgramSpaceMark);
    const QString playDate = loadTime.addDays(-7).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    enum { None, Pages, Materials } section = None;

    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed == QLatin1String(kPageSection)) {
            section = Pages;
            continue;
        }
        if (trimmed == QLatin1String(kMaterialSection)) {
            section = Materials;
            continue;
        }
        if (section == None || trimmed.isEmpty())
            continue;
        const QStringList fields = QString(line).replace(u' ', mark).split(u',');
        if (section == Pages) {
            if (fields.size() < kPageFields)
                continue;
            TProgram p;
            p.name = fields[0];
            p.id = fields[1];
            p.startTime = fields[2];
            p.endTime = fields[3];
            p.playCycle = fields.size() > kPageFields ? fields[4] : everyDayText;
            p.playDate = playDate;
            p.textProgramPage = 1;
            p.playMode = kPlayByDateAlt;
            out.pages.append(p);
            continue;
        }
        if (fields.size() < kMaterialFields)
            continue;
        TFodder m;
        m.name = fields[0];
        m.spare28 = fields[1];
        m.spare1C = fields[2];
        m.id = fields[3];
        qint32 kind = 0;
        if (!toInt(fields[4], kind) || !toInt(fields[5], m.playTimes) || !toInt(fields[6], m.displayMode) ||
            !toInt(fields[7], m.displaySpeed) || !toInt(fields[8], m.remainTime) || !toInt(fields[9], m.typeCode))
            continue;
        m.kind = static_cast<MaterialKind>(kind);
        // The content is text for the card: its spaces stay spaces, and a
        // comma that slipped in is kept rather than cutting the text short.
        m.content = fields.mid(kContentField).join(u',').replace(mark, QStringLiteral(" "));
        out.materials.append(m);
    }
    return true;
}

bool loadTextProgramFile(const QString& path, TextProgramData& out, const QDateTime& loadTime,
                         const QString& everyDayText, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return readTextProgram(file, out, loadTime, everyDayText, error);
}

} // namespace ledsign
