#include "preview/previewplayer.h"

#include "model/materialkinds.h"

namespace ledsign {

namespace {
// A region whose page is over waits this long for the page check.
constexpr int kPageWaitMs = 10;
} // namespace

bool needsTrailingBlank(const TFodder& m)
{
    const bool textKind = m.kind == kSingleText || m.kind == kMultiText || m.kind == kImageGroup ||
                          m.kind == kTable || m.kind == kInternalCodeText;
    return textKind && m.remainTime == 0 && m.displayMode >= 1 && m.displayMode <= 4;
}

QString previewOpenProblem(const ProjectModel& model, const QString& cardName, bool hasSelection)
{
    if (!hasSelection || !model.findCard(cardName))
        return QStringLiteral("warn_send_preview_card_select");
    bool page = false;
    for (const TProgram& p : model.pages())
        page = page || (p.cardName == cardName && p.textProgramPage == 0);
    bool region = false;
    for (const TRegion& r : model.regions())
        region = region || r.cardName == cardName;
    bool material = false;
    for (const TFodder& m : model.materials())
        material = material || m.cardName == cardName;
    if (!page || !region || !material)
        return QStringLiteral("warn_send_preview_card");
    return {};
}

QSize previewWindowSize(const QSize& canvas)
{
    constexpr int kMinWidth = 200;
    constexpr int kExtraHeight = 50;
    return {std::max(kMinWidth, canvas.width()), canvas.height() + kExtraHeight};
}

PreviewPlayer::PreviewPlayer(const ProjectModel& model, QString cardName, PreviewConversion convert,
                             PreviewClock clock, LiveRenderer live)
    : model_(model)
    , cardName_(std::move(cardName))
    , convert_(std::move(convert))
    , clock_(std::move(clock))
    , live_(std::move(live))
{
}

void PreviewPlayer::rebuildPages()
{
    pageIds_.clear();
    for (const TProgram& page : model_.pages()) {
        if (page.cardName == cardName_ && page.textProgramPage == 0)
            pageIds_.append(page.id);
    }
}

bool PreviewPlayer::restart()
{
    rebuildPages();
    return buildFirstPage();
}

bool PreviewPlayer::buildFirstPage()
{
    areaVisible_ = false;
    players_.clear();
    roundOver_.clear();
    regionRecords_.clear();
    if (pageIds_.isEmpty())
        return true;
    const QString pageId = pageIds_.first();
    QString pageName;
    for (const TProgram& page : model_.pages()) {
        if (page.cardName == cardName_ && page.id == pageId) {
            pageName = page.name;
            break;
        }
    }

    for (const TRegion& region : model_.regions()) {
        if (region.cardName != cardName_ || region.pageName != pageName)
            continue;
        if (regionRecords_.size() >= kMaxPreviewRegions)
            break;
        QList<PreviewContent> contents;
        int materialNo = 0;
        for (const TFodder& m : model_.materials()) {
            if (m.cardName != cardName_ || m.pageName != pageName || m.regionName != region.name)
                continue;
            MaterialPictures pictures = convert_ ? convert_(m, region.width, region.height) : MaterialPictures();
            if (!pictures.ok)
                return false;
            ++materialNo;
            const qsizetype count = std::max(pictures.pictures.size(), pictures.imageFiles.size());
            for (qsizetype i = 0; i < count; ++i)
                contents.append({materialNo, pictures.pictures.value(i), pictures.imageFiles.value(i), m});
            if (count == 0 && (m.kind == kDateTime || m.kind == kCountUp || m.kind == kCountDown ||
                               m.kind == kAcquisition)) {
                // Live materials are drawn on every step; they need one entry.
                contents.append({materialNo, QImage(), QString(), m});
            }
            if (count == 0 && (m.kind == kRemoteText || m.kind == kQueue)) {
                // The card fills these itself; the region holds a dark picture
                // of them until play restarts.
                QImage dark(std::max(1, region.width), std::max(1, region.height), QImage::Format_RGB32);
                dark.fill(Qt::black);
                contents.append({materialNo, dark, QString(), m});
            }
            if (count > 0 && needsTrailingBlank(m)) {
                QImage blank(std::max(1, region.width), std::max(1, region.height), QImage::Format_RGB32);
                blank.fill(Qt::black);
                contents.append({materialNo, blank, QString(), m});
            }
        }
        regionRecords_.append(region);
        players_.append(RegionPlayer(QSize(region.width, region.height), contents, materialNo, clock_, live_));
        roundOver_.append(false);
    }
    areaVisible_ = true;
    return true;
}

bool PreviewPlayer::pageOver() const
{
    // A page without regions has nothing left to play.
    if (pageIds_.size() <= 1 || players_.isEmpty())
        return false;
    for (int i = 0; i < players_.size(); ++i) {
        if (!roundOver_[i] && players_[i].materialCount() > 0)
            return false;
    }
    return true;
}

int PreviewPlayer::stepRegion(int index)
{
    if (index < 0 || index >= players_.size())
        return 0;
    RegionPlayer& region = players_[index];
    if (region.done())
        roundOver_[index] = true;
    if (pageOver())
        return kPageWaitMs;
    return region.step();
}

bool PreviewPlayer::checkPageChange()
{
    if (!pageOver())
        return false;
    pageIds_.removeFirst();
    buildFirstPage();
    return true;
}

} // namespace ledsign
