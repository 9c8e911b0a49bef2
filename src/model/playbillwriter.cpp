#include "model/playbillwriter.h"

#include "model/atomicfile.h"
#include "model/codec.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"
#include "model/playbillformat.h"

#include <QIODevice>

namespace ledsign {

using namespace playbill;

namespace {

QString num(int value)
{
    return QString::number(value);
}

// Position and size clipped to the card: a start at or beyond the edge
// becomes 0, and a size that reaches the edge ends at it.
void clip(int start, int size, int limit, int* outStart, int* outSize)
{
    if (start >= limit)
        start = 0;
    if (start + size >= limit)
        size = limit - start;
    *outStart = start;
    *outSize = size;
}

// The names of the material's files as the file lists them: image groups
// and tables resolve base names in their working folders, other kinds keep
// the path they were given.
QString imageList(const TFodder& m)
{
    QStringList names;
    for (const TFileInfo& f : m.fileList) {
        if (m.kind == kImageGroup || m.kind == kTable)
            names << listedFileName(baseName(f.path));
        else
            names << listedFileName(f.path);
    }
    return names.join(QLatin1Char(kFileSeparator));
}

QString pageLine(const TProgram& p)
{
    QStringList f(kPageFieldCount);
    f[kPageName] = fieldText(p.name);
    f[kPageId] = fieldText(p.id);
    f[kPagePanel] = fieldText(p.panelName);
    f[kPageStart] = fieldText(p.startTime);
    f[kPageEnd] = fieldText(p.endTime);
    f[kPageCycle] = fieldText(p.playCycle);
    f[kPageDate] = storedDate(p.playDate);
    f[kPageMode] = num(p.playMode);
    return f.join(QLatin1Char(kFieldSeparator));
}

QString regionLine(const TRegion& r, int cardWidth, int cardHeight)
{
    int left = 0, width = 0, top = 0, height = 0;
    clip(r.left, r.width, cardWidth, &left, &width);
    clip(r.top, r.height, cardHeight, &top, &height);
    QStringList f(kRegionFieldCount);
    f[kRegionPage] = fieldText(r.pageName);
    f[kRegionPageId] = fieldText(r.pageId);
    f[kRegionName] = fieldText(r.name);
    f[kRegionId] = fieldText(r.id);
    f[kRegionPanel] = fieldText(r.panelName);
    f[kRegionLeft] = num(left);
    f[kRegionTop] = num(top);
    f[kRegionWidth] = num(width);
    f[kRegionHeight] = num(height);
    return f.join(QLatin1Char(kFieldSeparator));
}

QString materialLine(const TFodder& m)
{
    QStringList f(kMatFieldCount);
    f[kMatPage] = fieldText(m.pageName);
    f[kMatRegion] = fieldText(m.regionName);
    f[kMatRegionId] = fieldText(m.regionId);
    f[kMatName] = fieldText(m.name);
    f[kMatId] = fieldText(m.id);
    f[kMatPanel] = fieldText(m.panelName);
    f[kMatKind] = num(m.kind);
    f[kMatPlayTimes] = num(m.playTimes);
    f[kMatDisplayMode] = num(m.displayMode);
    f[kMatDisplaySpeed] = num(m.displaySpeed);
    f[kMatRemainTime] = num(m.remainTime);
    f[kMatTypeCode] = num(m.typeCode);
    f[kMatFlag1] = num(static_cast<unsigned char>(m.flagChars[1]));
    f[kMatFlag0] = num(static_cast<unsigned char>(m.flagChars[0]));
    f[kMatImages] = imageList(m);
    f[kMatDigitColor] = num(m.digitColor);
    f[kMatCharColor] = num(m.charColor);
    f[kMatFontCode] = num(m.fontCode);
    f[kMatSizeCode] = num(m.sizeCode);
    f[kMatTimeFormat] = num(m.timeFormat);
    f[kMatDisplayFormat] = num(m.displayFormat);
    f[kMatTimeDiffSign] = num(m.timeDiffSign);
    f[kMatDiffHours] = num(m.diffHours);
    f[kMatDiffMinutes] = num(m.diffMinutes);
    f[kMatTextParam1] = num(m.textParam1);
    f[kMatTextParam2] = num(m.textParam2);
    f[kMatTableParam1] = num(m.tableParam1);
    f[kMatTableParam2] = num(m.tableParam2);
    f[kMatTextParam3] = num(m.textParam3);
    f[kMatRotateMode] = num(m.rotateMode);
    return f.join(QLatin1Char(kFieldSeparator));
}

// What the content line holds: an animation names its file by base name
// (the file itself goes to the picture folder), others their content.
QString contentLine(const TFodder& m)
{
    const QString content = m.kind == kAnimation ? listedFileName(baseName(m.content)) : m.content;
    return fieldText(m.id) + QLatin1Char(kContentSeparator) + storedContent(content);
}

bool isStored(const TFodder& m)
{
    return m.typeCode >= kLowestStoredTypeCode;
}

} // namespace

PlaybillWriter::PlaybillWriter(const ProjectModel& model, const DataFolder& folders)
    : model_(model)
    , folders_(folders)
{
}

QByteArray PlaybillWriter::toBytes(const QString& cardName) const
{
    int cardWidth = kUnknownCardWidth;
    int cardHeight = kUnknownCardHeight;
    if (const auto card = model_.findCard(cardName)) {
        cardWidth = card.record->width;
        cardHeight = card.record->height;
    }
    QStringList lines;
    lines << QString::fromLatin1(kProgramSection);
    for (const TProgram& p : model_.pages()) {
        if (p.cardName == cardName && p.textProgramPage == 0)
            lines << pageLine(p);
    }
    lines << QString::fromLatin1(kRegionSection);
    for (const TRegion& r : model_.regions()) {
        if (r.cardName == cardName)
            lines << regionLine(r, cardWidth, cardHeight);
    }
    lines << QString::fromLatin1(kFodderSection);
    QStringList contents;
    for (const TFodder& m : model_.materials()) {
        if (m.cardName != cardName || !isStored(m))
            continue;
        lines << materialLine(m);
        if (!m.content.isEmpty())
            contents << contentLine(m);
    }
    lines << QString::fromLatin1(kContentSection);
    lines << contents;

    const QString lineEnd = QString::fromLatin1(kLineEnd);
    return codec::encode(lines.join(lineEnd) + lineEnd);
}

bool PlaybillWriter::write(const QString& cardName, QIODevice& device)
{
    warnings_.clear();
    const QByteArray bytes = toBytes(cardName);
    if (device.write(bytes) != bytes.size()) {
        error_ = device.errorString();
        return false;
    }
    error_.clear();
    return true;
}

bool PlaybillWriter::write(const QString& cardName, const QString& path)
{
    warnings_.clear();
    copyMaterialFiles(cardName);
    QString error;
    if (!writeFileAtomically(path, toBytes(cardName), &error)) {
        error_ = error;
        return false;
    }
    error_.clear();
    return true;
}

void PlaybillWriter::copyMaterialFiles(const QString& cardName)
{
    const QString pictures = folders_.pictureFolder();
    auto copy = [&](const QString& path) {
        QString error;
        if (!copyIntoFolder(path, pictures, listedFileName(baseName(path)), &error))
            warnings_ << error;
    };
    for (const TFodder& m : model_.materials()) {
        if (m.cardName != cardName || !isStored(m))
            continue;
        if (m.kind == kImageGroup) {
            for (const TFileInfo& f : m.fileList)
                copy(f.path);
        } else if (m.kind == kAnimation && !m.content.isEmpty()) {
            copy(m.content);
        }
    }
}

} // namespace ledsign
