#include "model/playbillreader.h"

#include "language/language.h"
#include "model/codec.h"
#include "model/imagefiles.h"
#include "model/inifile.h"
#include "model/materialkinds.h"
#include "model/playbillformat.h"
#include "model/textencoding.h"

#include <QFile>
#include <QHash>
#include <QFileInfo>
#include <QIODevice>
#include <QStringList>

namespace ledsign {

using namespace playbill;

namespace {

enum class Section { None, Pages, Regions, Materials, Contents };

Section sectionOf(const QString& header)
{
    if (header == QLatin1String(kProgramSection))
        return Section::Pages;
    if (header == QLatin1String(kRegionSection))
        return Section::Regions;
    if (header == QLatin1String(kFodderSection))
        return Section::Materials;
    if (header == QLatin1String(kContentSection))
        return Section::Contents;
    return Section::None;
}

// Reads the numeric fields of a line, remembering the first that is not a
// number.
class NumberFields {
public:
    explicit NumberFields(const QStringList& fields)
        : fields_(fields)
    {
    }
    int at(int index)
    {
        int value = 0;
        if (!parseWholeInt(fields_.at(index), &value) && bad_.isNull())
            bad_ = fields_.at(index);
        return value;
    }
    bool ok() const { return bad_.isNull(); }
    QString error() const { return QStringLiteral("'%1' is not a valid integer value").arg(bad_); }

private:
    const QStringList& fields_;
    QString bad_;
};

} // namespace

PlaybillReader::PlaybillReader(ProjectModel& model, const DataFolder& folders)
    : model_(model)
    , folders_(folders)
{
}

QString PlaybillReader::damageText(const QString& path) const
{
    if (skipped_ == 0 && !endsEarly_)
        return {};
    const QString key = endsEarly_ ? QStringLiteral("warn_playbill_cut_short") : QStringLiteral("warn_playbill_lines_skipped");
    return messageText(key).arg(path).arg(skipped_);
}

PlaybillReader::Status PlaybillReader::open(const QString& cardName, const QString& path,
                                            const MessageSink& report)
{
    error_.clear();
    errorLine_ = 0;
    skipped_ = 0;
    endsEarly_ = false;
    if (!QFileInfo(path).isFile()) {
        error_ = QStringLiteral("%1: no such file").arg(path);
        return Status::FileMissing;
    }
    if (!model_.findCard(cardName)) {
        error_ = QStringLiteral("%1: no such card").arg(cardName);
        return Status::NoSuchCard;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("%1: %2").arg(path, file.errorString());
        return Status::ReadFailed;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error_ = QStringLiteral("%1: %2").arg(path, file.errorString());
        return Status::ReadFailed;
    }
    const Status status = readBytes(cardName, bytes, report);
    if (status != Status::Loaded)
        return status;
    if (const auto card = model_.findCard(cardName)) {
        card.record->programFile = path;
        card.record->modified = 0;
    }
    QString copyError;
    copyIntoFolder(path, folders_.programFolder(), &copyError);
    return Status::Loaded;
}

PlaybillReader::Status PlaybillReader::read(const QString& cardName, QIODevice& device,
                                            const MessageSink& report)
{
    error_.clear();
    errorLine_ = 0;
    skipped_ = 0;
    endsEarly_ = false;
    if (!model_.findCard(cardName)) {
        error_ = QStringLiteral("%1: no such card").arg(cardName);
        return Status::NoSuchCard;
    }
    if (!device.isReadable()) {
        error_ = device.errorString();
        return Status::ReadFailed;
    }
    const QByteArray bytes = device.readAll();
    return readBytes(cardName, bytes, report);
}

PlaybillReader::Status PlaybillReader::fail(const QString& cardName, Status status, const QString& error,
                                            int line, const MessageSink& report)
{
    error_ = error;
    errorLine_ = line;
    if (status == Status::RegionOutside)
        model_.clearCard(cardName);
    if (report)
        report(error);
    return status;
}

PlaybillReader::Status PlaybillReader::readBytes(const QString& cardName, const QByteArray& bytes,
                                                 const MessageSink& report)
{
    if (!cardsStartEmpty_)
        model_.clearCard(cardName);
    // From here on every record of the card is one this read adds: pages and
    // regions at the ends of their lists, materials behind `firstMaterial`.
    // Looking them up there, instead of in the whole project, keeps a start
    // with thousands of cards linear.
    const qsizetype firstMaterial = model_.materials().size();
    QHash<QString, qsizetype> pageAt;
    QHash<QString, qsizetype> regionAt;
    const auto regionKey = [](const QString& page, const QString& region) { return page + QChar(0x1f) + region; };
    int cardWidth = kUnknownCardWidth;
    int cardHeight = kUnknownCardHeight;
    if (const auto card = model_.findCard(cardName)) {
        cardWidth = card.record->width;
        cardHeight = card.record->height;
    }
    const QString everyday = messageText(QStringLiteral("cycle_everyday"));

    Section section = Section::None;
    Section lastSeen = Section::None;
    // A playbill saved by a text editor may carry a byte-order mark.
    const QStringList lines = decodeStoredText(bytes).text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const int lineNo = static_cast<int>(n + 1);
        // Only the piece after the last line end can lack one.
        const bool unterminated = n == lines.size() - 1;
        QString line = lines.at(n);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("//")))
            continue;
        const int panelNo = model_.nextPanelNumber();
        const Section header = sectionOf(trimmed);
        if (header != Section::None) {
            section = header;
            lastSeen = std::max(lastSeen, header);
            continue;
        }
        if (section == Section::None) {
            ++skipped_;
            continue;
        }

        if (section == Section::Contents) {
            // The id ends at the first "="; the content keeps any later "=".
            const qsizetype cut = line.indexOf(QLatin1Char(kContentSeparator));
            if (cut < 0) {
                ++skipped_;
                continue;
            }
            const QString id = line.left(cut);
            const QString stored = line.mid(cut + 1);
            bool found = false;
            for (qsizetype i = firstMaterial; i < model_.materials().size(); ++i) {
                TFodder& m = model_.materials()[i];
                if (m.cardName != cardName || m.id != id)
                    continue;
                found = true;
                if (m.kind == kAnimation) {
                    m.content = stored.isEmpty() ? QString()
                                                 : pathInFolder(folders_.pictureFolder(),
                                                                fileNameFromStored(baseName(stored)));
                } else {
                    m.content = contentFromStored(stored);
                }
                break;
            }
            if (!found)
                ++skipped_;
            continue;
        }

        const QStringList f = line.split(QLatin1Char(kFieldSeparator));
        if (section == Section::Pages) {
            if (f.size() < kPageMinFields) {
                ++skipped_;
                continue;
            }
            TProgram p;
            p.cardName = cardName;
            p.name = f[kPageName];
            p.id = f[kPageId];
            p.panelName = QStringLiteral("pnProgram%1").arg(panelNo);
            p.startTime = f[kPageStart];
            p.endTime = f[kPageEnd];
            p.playCycle = (f.size() > kPageCycle && !f[kPageCycle].isEmpty()) ? f[kPageCycle] : everyday;
            p.playMode = kPlayEveryDay;
            if (f.size() > kPageDateModeAfter) {
                p.playDate = dateFromStored(f[kPageDate]);
                int mode = 0;
                p.playMode = parseWholeInt(f[kPageMode], &mode) ? mode : kPlayByDateAlt;
            }
            model_.appendPage(createPage(p));
            if (!pageAt.contains(p.name))
                pageAt.insert(p.name, model_.pages().size() - 1);
        } else if (section == Section::Regions) {
            if (f.size() != kRegionFieldCount) {
                ++skipped_;
                continue;
            }
            const qsizetype pageIndex = pageAt.value(f[kRegionPage], -1);
            const TProgram* page = pageIndex >= 0 ? &model_.pages().at(pageIndex) : nullptr;
            if (!page || page->textProgramPage != 0) {
                ++skipped_;
                continue;
            }
            NumberFields numbers(f);
            TRegion r;
            r.left = numbers.at(kRegionLeft);
            r.top = numbers.at(kRegionTop);
            r.width = numbers.at(kRegionWidth);
            r.height = numbers.at(kRegionHeight);
            if (!numbers.ok()) {
                // The last line of a file cut short is damaged, not wrong.
                if (unterminated) {
                    ++skipped_;
                    continue;
                }
                return fail(cardName, Status::BadNumber, numbers.error(), lineNo, report);
            }
            // A negative size cannot be drawn; the Windows program could
            // write one for a region that lay beyond the card's edge.
            r.left = qMax(0, r.left);
            r.top = qMax(0, r.top);
            r.width = qMax(0, r.width);
            r.height = qMax(0, r.height);
            if (cardWidth < r.left + r.width || cardHeight < r.top + r.height) {
                return fail(cardName, Status::RegionOutside,
                            messageText(QStringLiteral("warn_open_load_fail")), lineNo, report);
            }
            r.cardName = cardName;
            r.pageName = page->name;
            r.pageId = page->id;
            r.name = f[kRegionName];
            r.id = f[kRegionId];
            r.panelName = QStringLiteral("pnRegion%1").arg(panelNo);
            model_.appendRegion(createRegion(r));
            const QString key = regionKey(r.pageName, r.name);
            if (!regionAt.contains(key))
                regionAt.insert(key, model_.regions().size() - 1);
        } else if (section == Section::Materials) {
            if (f.size() < kMatMinFields) {
                ++skipped_;
                continue;
            }
            const qsizetype regionIndex = regionAt.value(regionKey(f[kMatPage], f[kMatRegion]), -1);
            const TRegion* region = regionIndex >= 0 ? &model_.regions().at(regionIndex) : nullptr;
            if (!region) {
                ++skipped_;
                continue;
            }
            NumberFields numbers(f);
            TFodder m;
            m.kind = static_cast<MaterialKind>(numbers.at(kMatKind));
            m.playTimes = numbers.at(kMatPlayTimes);
            m.displayMode = numbers.at(kMatDisplayMode);
            m.displaySpeed = numbers.at(kMatDisplaySpeed);
            m.remainTime = numbers.at(kMatRemainTime);
            m.typeCode = numbers.at(kMatTypeCode);
            m.flagChars[1] = static_cast<char>(numbers.at(kMatFlag1));
            m.flagChars[0] = static_cast<char>(numbers.at(kMatFlag0));
            m.digitColor = numbers.at(kMatDigitColor);
            m.charColor = numbers.at(kMatCharColor);
            m.fontCode = numbers.at(kMatFontCode);
            m.sizeCode = numbers.at(kMatSizeCode);
            m.timeFormat = numbers.at(kMatTimeFormat);
            m.displayFormat = numbers.at(kMatDisplayFormat);
            m.timeDiffSign = numbers.at(kMatTimeDiffSign);
            m.diffHours = numbers.at(kMatDiffHours);
            m.diffMinutes = numbers.at(kMatDiffMinutes);
            if (f.size() > kMatTextParamsAfter) {
                m.textParam1 = numbers.at(kMatTextParam1);
                m.textParam2 = numbers.at(kMatTextParam2);
            }
            if (f.size() > kMatTableParamsAfter) {
                m.tableParam1 = numbers.at(kMatTableParam1);
                m.tableParam2 = numbers.at(kMatTableParam2);
            }
            if (f.size() > kMatTextParam3After)
                m.textParam3 = numbers.at(kMatTextParam3);
            if (f.size() > kMatRotateAfter)
                m.rotateMode = numbers.at(kMatRotateMode);
            if (!numbers.ok()) {
                // The last line of a file cut short is damaged, not wrong.
                if (unterminated) {
                    ++skipped_;
                    continue;
                }
                return fail(cardName, Status::BadNumber, numbers.error(), lineNo, report);
            }
            // Nothing downstream knows what to make of an unknown kind.
            if (!isValidMaterialKind(m.kind)) {
                ++skipped_;
                continue;
            }
            m.flagChars[2] = '1';
            for (int i = 3; i < 7; ++i)
                m.flagChars[i] = '0';
            m.cardName = cardName;
            m.pageName = region->pageName;
            m.regionName = region->name;
            m.regionId = region->id;
            m.regionNameAtCreation = region->name;
            m.name = f[kMatName];
            m.id = f[kMatId];
            m.panelName = QString::fromLatin1(kReadMaterialPanelPrefix) + QString::number(panelNo);
            QStringList files = f[kMatImages].split(QLatin1Char(kFileSeparator), Qt::SkipEmptyParts);
            for (QString& name : files)
                name = fileNameFromStored(name);
            m.imageFiles = files.join(QLatin1Char(kFileSeparator));
            model_.nextKindNumber(m.kind);
            const TFodder created = createMaterial(m, nullptr, folders_, report);
            if (created.kind == kRemoteText) {
                if (const auto card = model_.findCard(cardName))
                    card.record->remoteTextFree = 0;
            }
            // Queue materials go before the first of their region, the others
            // after the last.
            qsizetype first = -1;
            qsizetype last = -1;
            for (qsizetype i = firstMaterial; i < model_.materials().size(); ++i) {
                const TFodder& other = model_.materials().at(i);
                if (other.cardName == created.cardName && other.pageName == created.pageName
                    && other.regionName == created.regionName) {
                    first = first < 0 ? i : first;
                    last = i;
                }
            }
            const qsizetype end = model_.materials().size();
            model_.insertMaterial(created, created.kind == kQueue ? (first < 0 ? end : first) : (last < 0 ? end : last + 1));
        }
    }
    // The writer always ends with the text contents; a file with materials
    // that stops before them was cut short.
    // A last line without its line end was cut as well.
    endsEarly_ = (lastSeen != Section::Contents && (lastSeen != Section::None || skipped_ > 0))
        || (!lines.isEmpty() && !lines.last().trimmed().isEmpty());
    return Status::Loaded;
}

} // namespace ledsign
