#include "editing/treecommands.h"

#include "editing/regionplacement.h"
#include "language/fixedtexts.h"
#include "language/language.h"
#include "model/cardsize.h"
#include "model/cardtie.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"
#include "model/playbillreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <utility>

namespace ledsign {

namespace {

constexpr int kLowestPageVersion = 52;
constexpr int kDefaultCardWidth = 256;
constexpr int kDefaultCardHeight = 128;
// A page panel up to this many canvas pixels high gives a new region its
// whole height.
constexpr int kLowPageHeight = 32;

// Rounds half to even, as the canvas does for zoomed sizes.
int roundHalfEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

bool isTableFile(const QString& path, const QString& tableFolder)
{
    return QFileInfo(path).absolutePath() == QFileInfo(tableFolder).absoluteFilePath();
}

} // namespace

int colorTypeOfChoice(int index)
{
    switch (index) {
    case 1:
        return kColorDual;
    case 2:
        return kColorTri;
    default:
        return kColorSingle;
    }
}

QString cardSizeRefusal(int width, int height)
{
    return messageText("warn_card_size_invalid").arg(width).arg(height).arg(kMinCardSide).arg(kMaxCardSide);
}

int cardSizeFromText(const QString& text, int fallback)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok && v > 0 ? v : fallback;
}

QSize defaultRegionSize(int cardWidth, int cardHeight, int zoomTenths)
{
    const int z = zoomTenths > 0 ? zoomTenths : 10;
    const double a = z / 10.0;
    const int pageWidth = roundHalfEven(cardWidth * a);
    const int pageHeight = roundHalfEven(cardHeight * a);
    const int canvasWidth = pageWidth / 2;
    const int canvasHeight = pageHeight <= kLowPageHeight ? pageHeight : pageHeight / 2;
    return {canvasWidth * 10 / z, canvasHeight * 10 / z};
}

QString nextMaterialName(ProjectModel& model, const QString& card, const QString& page, const QString& region,
                         int kind)
{
    const QStringList taken = model.materialNames(card, page, region);
    const QString base = materialBaseName(kind);
    for (int n = model.nextKindNumber(kind);; ++n) {
        const QString candidate = base + QString::number(n);
        if (!taken.contains(candidate))
            return candidate;
    }
}

void refreshRemoteTextFree(ProjectModel& model, const QString& card)
{
    const auto found = model.findCard(card);
    if (!found)
        return;
    bool holds = false;
    for (const TFodder& m : model.materials()) {
        if (m.cardName == card && m.kind == kRemoteText) {
            holds = true;
            break;
        }
    }
    found.record->remoteTextFree = holds ? 0 : 1;
}

TreeCommands::TreeCommands(ProjectModel& model, const DataFolder& folders, SelectionState& selection, Clock clock)
    : model_(model)
    , folders_(folders)
    , selection_(selection)
    , clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
{
}

QString TreeCommands::proposedCardName() const
{
    return fixedtext::newCardName() + QString::number(model_.panelCounter() + 1);
}

QString TreeCommands::checkNewCardName(const QString& name) const
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return messageText("warn_card_name_enter");
    // The card list keys each line by the name: a second card of the same
    // name, or a name that cannot be a key, would be lost on the next save.
    if (model_.findCard(trimmed) || trimmed.contains(u'=') || trimmed.startsWith(u'[')
        || trimmed.startsWith(u';'))
        return trimmed + QLatin1Char(' ') + messageText("action_occupied");
    return {};
}

CommandResult TreeCommands::addCard(const NewCardInput& input)
{
    CommandResult result;
    const QString name = input.name.trimmed();
    const QString problem = checkNewCardName(name);
    if (!problem.isEmpty()) {
        result.message = problem;
        return result;
    }
    TFIXModem card;
    card.linkKind = 0;
    card.name = name;
    card.width = cardSizeFromText(input.width, kDefaultCardWidth);
    card.height = cardSizeFromText(input.height, kDefaultCardHeight);
    if (!isCardSizeAllowed(card.width, card.height)) {
        result.message = cardSizeRefusal(card.width, card.height);
        return result;
    }
    card.colorType = colorTypeOfChoice(input.colorIndex);
    giveNewCardDefaults(card);
    card.fontCount = kDefaultFontCount;
    card.fontSizeCount = kDefaultFontSizeCount;
    card.panelName = QStringLiteral("pnCard%1").arg(model_.nextPanelNumber());
    model_.addCard(card);
    result.changed = true;
    result.select = NodePath::ofCard(name);
    return result;
}

CommandResult TreeCommands::deleteCard(const NodePath& node)
{
    CommandResult result;
    if (node.level != NodeLevel::Card)
        return result;
    const auto card = model_.findCard(node.card);
    if (!card)
        return result;
    const qsizetype index = card.index;
    model_.removeCard(node.card);
    if (selection_.copiedCard() == node.card)
        selection_.rememberPage({}, {});
    result.changed = true;
    // The card that took its place, or the one before it.
    if (!model_.cards().isEmpty()) {
        const qsizetype next = qMin(index, model_.cards().size() - 1);
        result.select = NodePath::ofCard(model_.cards().at(next).name);
    }
    return result;
}

CommandResult TreeCommands::addPage(const NodePath& node)
{
    CommandResult result;
    if (node.level != NodeLevel::Card && node.level != NodeLevel::Page) {
        result.message = messageText("warn_card_select");
        return result;
    }
    const auto card = model_.findCard(node.card);
    if (!card) {
        result.message = messageText("warn_card_select");
        return result;
    }
    if (card.record->version != -1 && card.record->version < kLowestPageVersion) {
        result.message = messageText("warn_card_version_low_add");
        return result;
    }
    TProgram page;
    page.cardName = node.card;
    page.name = ProjectModel::nextFreeName(model_.pageNames(node.card), messageText("object_page"));
    page.id = model_.newId();
    page.panelName = QStringLiteral("pnProgram%1").arg(model_.nextPanelNumber());
    page.playCycle = messageText("cycle_everyday");
    page.playMode = kPlayEveryDay;
    model_.appendPage(createPage(page));
    model_.markModified(node.card);
    result.changed = true;
    result.select = NodePath::ofPage(node.card, page.name);
    return result;
}

CommandResult TreeCommands::deletePage(const NodePath& node)
{
    CommandResult result;
    if (node.level != NodeLevel::Page || !model_.findPage(node.card, node.page))
        return result;
    model_.removePage(node.card, node.page);
    refreshRemoteTextFree(model_, node.card);
    model_.markModified(node.card);
    if (selection_.copiedCard() == node.card && selection_.copiedPage() == node.page)
        selection_.rememberPage({}, {});
    result.changed = true;
    result.select = NodePath::ofCard(node.card);
    return result;
}

CommandResult TreeCommands::addRegion(const NodePath& node)
{
    CommandResult result;
    if (node.level != NodeLevel::Page && node.level != NodeLevel::Region) {
        result.message = messageText("warn_page_add");
        return result;
    }
    const auto page = model_.findPage(node.card, node.page);
    const auto card = model_.findCard(node.card);
    if (!page || !card) {
        result.message = messageText("warn_page_add");
        return result;
    }
    const QSize size = defaultRegionSize(card.record->width, card.record->height, card.record->zoom);
    TRegion region;
    region.cardName = node.card;
    region.pageName = node.page;
    region.pageId = page.record->id;
    region.name = ProjectModel::nextFreeName(model_.regionNames(node.card, node.page), messageText("object_area"));
    region.id = model_.newId();
    region.panelName = QStringLiteral("pnRegion%1").arg(model_.nextPanelNumber());
    QList<QRect> taken;
    for (const TRegion& r : model_.regions()) {
        if (r.cardName == node.card && r.pageName == node.page)
            taken.append(QRect(r.left, r.top, r.width, r.height));
    }
    const QPoint at = canvas::newRegionPosition(size, QSize(card.record->width, card.record->height), taken);
    region.left = at.x();
    region.top = at.y();
    region.width = size.width();
    region.height = size.height();
    model_.appendRegion(createRegion(region));
    model_.markModified(node.card);
    result.changed = true;
    result.select = NodePath::ofRegion(node.card, node.page, region.name);
    return result;
}

CommandResult TreeCommands::deleteRegion(const NodePath& node)
{
    CommandResult result;
    if (node.level != NodeLevel::Region || !model_.findRegion(node.card, node.page, node.region))
        return result;
    model_.removeRegion(node.card, node.page, node.region);
    refreshRemoteTextFree(model_, node.card);
    model_.markModified(node.card);
    result.changed = true;
    result.select = NodePath::ofPage(node.card, node.page);
    return result;
}

TFodder TreeCommands::makeMaterial(const TRegion& region, int kind)
{
    TFodder m = defaultMaterial(kind, clock_());
    m.cardName = region.cardName;
    m.pageName = region.pageName;
    m.regionName = region.name;
    m.regionId = region.id;
    m.regionNameAtCreation = region.name;
    m.name = nextMaterialName(model_, region.cardName, region.pageName, region.name, kind);
    m.id = model_.newId();
    m.panelName = QString::fromLatin1(materialKindInfo(kind).panelPrefix) + QString::number(model_.nextPanelNumber());
    return m;
}

void TreeCommands::insertMaterial(const TFodder& material, const NodePath& at)
{
    if (material.kind == kQueue) {
        model_.insertMaterialFirstInRegion(material);
        return;
    }
    if (at.level == NodeLevel::Material) {
        const auto selected = model_.findMaterial(at.card, at.page, at.region, at.material);
        if (selected) {
            // Before the selected material; after it when it is the very
            // last node of the tree.
            const bool last = lastNodeOfTree(model_) == at;
            model_.insertMaterial(material, last ? selected.index + 1 : selected.index);
            return;
        }
    }
    model_.appendMaterialToRegion(material);
}

CommandResult TreeCommands::addMaterial(const NodePath& node, int kind)
{
    CommandResult result;
    if (!isValidMaterialKind(kind))
        return result;
    if (node.level != NodeLevel::Region && node.level != NodeLevel::Material) {
        result.message = messageText("warn_area_add");
        return result;
    }
    const auto region = model_.findRegion(node.card, node.page, node.region);
    const auto card = model_.findCard(node.card);
    if (!region || !card) {
        result.message = messageText("warn_area_add");
        return result;
    }
    // A card holds at most one remote server text.
    if (kind == kRemoteText && card.record->remoteTextFree != 1)
        return result;
    const TRegion owner = *region.record;
    const TFodder made = createMaterial(makeMaterial(owner, kind), nullptr, folders_);
    insertMaterial(made, node);
    if (kind == kRemoteText) {
        if (const auto c = model_.findCard(node.card))
            c.record->remoteTextFree = 0;
    }
    model_.markModified(node.card);
    result.changed = true;
    result.select = NodePath::ofMaterial(node.card, node.page, node.region, made.name);
    return result;
}

CommandResult TreeCommands::deleteMaterial(const NodePath& node)
{
    CommandResult result;
    if (node.level != NodeLevel::Material || !model_.findMaterial(node.card, node.page, node.region, node.material))
        return result;
    model_.removeMaterial(node.card, node.page, node.region, node.material);
    refreshRemoteTextFree(model_, node.card);
    model_.markModified(node.card);
    result.changed = true;
    result.select = NodePath::ofRegion(node.card, node.page, node.region);
    return result;
}

CommandResult TreeCommands::copyPage(const NodePath& node)
{
    if (node.level == NodeLevel::Page && model_.findPage(node.card, node.page))
        selection_.rememberPage(node.card, node.page);
    return {};
}

QString TreeCommands::freeTableBase() const
{
    const QDir folder(folders_.tableFolder());
    QDateTime at = clock_();
    // Two tables copied within one second must not share their files.
    for (;;) {
        const QString base = QStringLiteral("t") + at.toString(QStringLiteral("yyMMddHHmmss"));
        if (folder.entryList({base + QLatin1Char('*')}, QDir::Files).isEmpty())
            return pathInFolder(folders_.tableFolder(), base);
        at = at.addSecs(1);
    }
}

void TreeCommands::duplicateTableFiles(TFodder& material)
{
    if (material.kind != kTable || material.fileList.isEmpty())
        return;
    const QString first = material.fileList.first().path;
    if (!isTableFile(first, folders_.tableFolder()))
        return;
    const QString firstName = baseName(first);
    const qsizetype cut = firstName.indexOf(QStringLiteral("__"));
    if (cut <= 0)
        return;
    const QString oldStem = firstName.left(cut);
    const QString oldBase = pathInFolder(folders_.tableFolder(), oldStem);
    const QString newBase = freeTableBase();
    const QString newStem = baseName(newBase);

    const QString oldTable = oldBase + QStringLiteral(".tbl");
    if (QFile::exists(oldTable) && !QFile::copy(oldTable, newBase + QStringLiteral(".tbl")))
        return;
    // Every picture of the table gets its own copy, so that editing either
    // table never changes the other's pictures.
    QStringList names;
    for (TFileInfo& file : material.fileList) {
        const QString name = baseName(file.path);
        if (isTableFile(file.path, folders_.tableFolder()) && name.startsWith(oldStem + QStringLiteral("__"))) {
            const QString copy = pathInFolder(folders_.tableFolder(), newStem + name.mid(oldStem.size()));
            if (QFile::copy(file.path, copy))
                file.path = copy;
        }
        names << baseName(file.path);
    }
    material.imageFiles = names.join(u';');
}

CommandResult TreeCommands::pastePage(const NodePath& node)
{
    CommandResult result;
    if (node.level != NodeLevel::Card && node.level != NodeLevel::Page)
        return result;
    const auto source = model_.findPage(selection_.copiedCard(), selection_.copiedPage());
    if (selection_.copiedPage().isEmpty() || !source) {
        result.message = QStringLiteral("请选择需要复制的显示页！");
        return result;
    }
    const auto target = model_.findCard(node.card);
    const auto sourceCard = model_.findCard(selection_.copiedCard());
    if (!target || !sourceCard)
        return result;
    // Compared in LED pixels: the regions must fit the card whatever either
    // card's zoom is.
    if (target.record->width < sourceCard.record->width || target.record->height < sourceCard.record->height) {
        result.message = QStringLiteral("该控制卡的尺寸小，不能复制显示页！");
        return result;
    }
    const TProgram from = *source.record;
    QList<TRegion> regions;
    for (const TRegion& r : model_.regions()) {
        if (r.cardName == from.cardName && r.pageName == from.name && r.pageId == from.id)
            regions << r;
    }

    TProgram page = from;
    page.cardName = node.card;
    page.name = ProjectModel::nextFreeName(model_.pageNames(node.card), messageText("object_page"));
    page.id = model_.newId();
    page.panelName = QStringLiteral("pnProgram%1").arg(model_.nextPanelNumber());
    page.textProgramPage = 0;
    model_.appendPage(createPage(page));

    bool holdsRemoteText = model_.findCard(node.card).record->remoteTextFree != 1;
    for (const TRegion& r : regions) {
        QList<TFodder> materials;
        for (const TFodder& m : model_.materials()) {
            if (m.cardName == r.cardName && m.pageName == r.pageName && m.regionId == r.id)
                materials << m;
        }
        TRegion region = r;
        region.cardName = node.card;
        region.pageName = page.name;
        region.pageId = page.id;
        region.id = model_.newId();
        region.panelName = QStringLiteral("pnRegion%1").arg(model_.nextPanelNumber());
        model_.appendRegion(createRegion(region));

        for (const TFodder& m : materials) {
            // A card holds at most one remote server text.
            if (m.kind == kRemoteText && holdsRemoteText)
                continue;
            TFodder copy = m;
            copy.cardName = node.card;
            copy.pageName = page.name;
            copy.regionName = region.name;
            copy.regionId = region.id;
            copy.regionNameAtCreation = region.name;
            copy.id = model_.newId();
            copy.name = nextMaterialName(model_, node.card, page.name, region.name, m.kind);
            copy.panelName = QString::fromLatin1(materialKindInfo(m.kind).panelPrefix)
                + QString::number(model_.nextPanelNumber());
            duplicateTableFiles(copy);
            const QList<TFileInfo> files = copy.fileList;
            TFodder made = createMaterial(copy, &files, folders_);
            // The copy keeps the original's flags and send order.
            made.downloadFlags = m.downloadFlags;
            made.sendNo = m.sendNo;
            made.fontSizeList = m.fontSizeList;
            if (made.kind == kQueue)
                model_.insertMaterialFirstInRegion(made);
            else
                model_.appendMaterialToRegion(made);
            if (made.kind == kRemoteText)
                holdsRemoteText = true;
        }
    }
    refreshRemoteTextFree(model_, node.card);
    model_.markModified(node.card);
    result.changed = true;
    result.expandAll = true;
    result.select = NodePath::ofPage(node.card, page.name);
    return result;
}

CommandResult TreeCommands::newPlaybill(const NodePath& node)
{
    CommandResult result;
    if (node.level != NodeLevel::Card || !model_.findCard(node.card))
        return result;
    model_.clearCard(node.card);
    if (selection_.copiedCard() == node.card)
        selection_.rememberPage({}, {});
    result = addPage(node);
    result.changed = true;
    if (result.select.isNone())
        result.select = node;
    return result;
}

CommandResult TreeCommands::openPlaybill(const NodePath& node, const QString& path, const MessageSink& report)
{
    CommandResult result;
    if (node.level != NodeLevel::Card || !model_.findCard(node.card)) {
        result.message = messageText("warn_card_select_open");
        return result;
    }
    if (selection_.copiedCard() == node.card)
        selection_.rememberPage({}, {});
    PlaybillReader reader(model_, folders_);
    const PlaybillReader::Status status = reader.open(node.card, path, report);
    result.changed = status != PlaybillReader::Status::FileMissing && status != PlaybillReader::Status::NoSuchCard;
    result.select = NodePath::ofCard(node.card);
    if (status == PlaybillReader::Status::FileMissing)
        result.message = messageText("warn_file_not_exist");
    else if (status == PlaybillReader::Status::ReadFailed)
        result.message = messageText("object_playbill") + QLatin1Char('[') + path + QLatin1Char(']') + messageText("action_open_failed");
    else if (status == PlaybillReader::Status::BadNumber)
        refreshRemoteTextFree(model_, node.card);
    result.status = reader.damageText(path);
    const QStringList sharing = cardsSharingPlaybill(model_, node.card, path);
    if (result.message.isEmpty() && !sharing.isEmpty())
        result.message = sharedPlaybillText(QStringList{node.card} + sharing, path);
    return result;
}

CommandResult TreeCommands::changeCardSize(const QString& card, int width, int height)
{
    CommandResult result;
    const auto found = model_.findCard(card);
    if (!found)
        return result;
    if (!isCardSizeAllowed(width, height)) {
        result.message = cardSizeRefusal(width, height);
        return result;
    }
    const bool hadPages = !model_.pageNames(card).isEmpty();
    model_.clearCard(card);
    if (const auto c = model_.findCard(card)) {
        c.record->width = width;
        c.record->height = height;
    }
    if (selection_.copiedCard() == card)
        selection_.rememberPage({}, {});
    result.changed = true;
    if (hadPages)
        result.select = NodePath::ofCard(card);
    return result;
}

CommandResult TreeCommands::bindCardSize(const QString& card, QSize size, BindChoice choice)
{
    if (choice == BindChoice::StartEmpty)
        return changeCardSize(card, size.width(), size.height());
    CommandResult result;
    const auto found = model_.findCard(card);
    if (!found)
        return result;
    if (!isCardSizeAllowed(size.width(), size.height())) {
        result.message = cardSizeRefusal(size.width(), size.height());
        return result;
    }
    found.record->width = size.width();
    found.record->height = size.height();
    result.changed = true;
    if (choice == BindChoice::ClipRegions) {
        for (TRegion& r : model_.regions()) {
            if (r.cardName != card)
                continue;
            const QRect cut = clippedToCard(QRect(r.left, r.top, r.width, r.height), size);
            r.left = cut.x();
            r.top = cut.y();
            r.width = cut.width();
            r.height = cut.height();
        }
    }
    return result;
}

} // namespace ledsign
