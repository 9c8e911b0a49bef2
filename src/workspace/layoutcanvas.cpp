#include "language/fixedtexts.h"
#include "workspace/layoutcanvas.h"

#include "content/canvasrendering.h"
#include "content/displaytext.h"
#include "editing/canvasgeometry.h"
#include "editing/canvasregionsync.h"
#include "language/language.h"
#include "model/materialkinds.h"
#include "workspace/dragframe.h"
#include "workspace/layoutcanvaspanels.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScrollArea>
#include <QSet>
#include <QToolButton>
#include <QVBoxLayout>

namespace ledsign {

namespace {

constexpr int kZoomLabelWidth = 40;
// Cards whose panels are kept, the current one among them.
constexpr qsizetype kBuiltCardLimit = 8;

QString areaWord()
{
    return messageText(QStringLiteral("object_area"));
}

// Gives a record a panel name when it has none or when another record of
// this pass already holds it (two records never share a panel).
void ensurePanelName(QString& name, const char* prefix, ProjectModel& model, const QSet<QString>& taken)
{
    if (name.isEmpty() || taken.contains(name))
        name = QString::fromLatin1(prefix) + QString::number(model.nextPanelNumber());
}

template <typename Panel>
Panel* panelAs(const QHash<QString, QPointer<QWidget>>& panels, const QString& name)
{
    return qobject_cast<Panel*>(panels.value(name).data());
}

// The picture the renderer makes of a material at its region's LED size,
// with the text the card would show for the kinds it computes itself.
QImage renderedPicture(const TFodder& material, const TFIXModem&, QSize ledSize)
{
    return canvasPicture(material, ledSize.width(), ledSize.height(), canvas::kZoomOne,
                         materialDisplayText(material));
}

} // namespace

LayoutCanvas::LayoutCanvas(ProjectModel& model, QWidget* parent)
    : QWidget(parent)
    , model_(model)
    , pictureSource_(renderedPicture)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("sBoxMain"));
    scroll_->setWidgetResizable(false);
    scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box_ = new QWidget;
    box_->setObjectName(QStringLiteral("sBoxMainContents"));
    scroll_->setWidget(box_);
    scroll_->viewport()->installEventFilter(this);
    layout->addWidget(scroll_, 1);

    auto* emptyScreen = new CardPanel(box_);
    emptyScreen->setObjectName(QStringLiteral("pnScreenMain"));
    connect(emptyScreen, &CardPanel::contextMenuAt, this, &LayoutCanvas::showContextMenu);
    emptyScreen_ = emptyScreen;

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 0, 4, 2);
    enlarge_ = new QToolButton(this);
    enlarge_->setObjectName(QStringLiteral("sbEnlarge"));
    enlarge_->setText(QStringLiteral("+"));
    enlarge_->setToolTip(fixedtext::enlargeHint());
    zoomLabel_ = new QLabel(QStringLiteral("1"), this);
    zoomLabel_->setObjectName(QStringLiteral("lbScaleSize"));
    zoomLabel_->setAlignment(Qt::AlignCenter);
    zoomLabel_->setMinimumWidth(kZoomLabelWidth);
    narrow_ = new QToolButton(this);
    narrow_->setObjectName(QStringLiteral("sbNarrow"));
    narrow_->setText(QStringLiteral("−"));
    narrow_->setToolTip(fixedtext::narrowHint());
    narrow_->setAccessibleName(fixedtext::narrowName());
    bar->addStretch(1);
    bar->addWidget(enlarge_);
    bar->addWidget(zoomLabel_);
    bar->addWidget(narrow_);
    bar->addStretch(1);
    layout->addLayout(bar);
    connect(enlarge_, &QToolButton::clicked, this, [this] { zoomStep(false); });
    connect(narrow_, &QToolButton::clicked, this, [this] { zoomStep(true); });

    centreCurrentCard();
}

LayoutCanvas::~LayoutCanvas() = default;

void LayoutCanvas::setPictureSource(PictureSource source)
{
    pictureSource_ = std::move(source);
    for (const TFodder& m : model_.materials()) {
        if (auto* panel = panelAs<MaterialPanel>(panels_, m.panelName))
            paintMaterial(panel, m);
    }
}

QWidget* LayoutCanvas::panel(const QString& panelName)
{
    const TFIXModem* card = cardOfPanelName(panelName);
    if (!card || !readyCard(*card))
        return nullptr;
    return builtPanel(panelName);
}

int LayoutCanvas::cardZoom(const QString& cardName) const
{
    const auto card = model_.findCard(cardName);
    return card ? canvas::zoomTenths(canvas::zoomFactorOfCard(card.record->zoom)) : canvas::kZoomOne;
}

double LayoutCanvas::zoomFactor() const
{
    return canvas::zoomFactorFromLabel(zoomLabel_->text());
}

int LayoutCanvas::zoomTenths() const
{
    return zoom_;
}

QString LayoutCanvas::zoomLabelText() const
{
    return zoomLabel_->text();
}

void LayoutCanvas::setZoomLabel(double factor)
{
    zoomLabel_->setText(canvas::zoomLabelText(factor));
    zoom_ = canvas::zoomTenths(canvas::zoomFactorFromLabel(zoomLabel_->text()));
}

void LayoutCanvas::nameRecords()
{
    QSet<QString> taken;
    taken.reserve(model_.cards().size() + model_.pages().size() + model_.regions().size()
                  + model_.materials().size());
    for (TFIXModem& card : model_.cards()) {
        ensurePanelName(card.panelName, "pnCard", model_, taken);
        taken.insert(card.panelName);
    }
    for (TProgram& page : model_.pages()) {
        if (page.textProgramPage != 0)
            continue;
        ensurePanelName(page.panelName, "pnProgram", model_, taken);
        taken.insert(page.panelName);
    }
    for (TRegion& region : model_.regions()) {
        ensurePanelName(region.panelName, "pnRegion", model_, taken);
        taken.insert(region.panelName);
    }
    // From the end, as the panels are stacked.
    for (qsizetype i = model_.materials().size() - 1; i >= 0; --i) {
        TFodder& m = model_.materials()[i];
        ensurePanelName(m.panelName, kReadMaterialPanelPrefix, model_, taken);
        taken.insert(m.panelName);
    }
}

QSet<QString> LayoutCanvas::buildPanels(const QHash<QString, const TFIXModem*>& cards)
{
    QSet<QString> made;
    if (cards.isEmpty())
        return made;
    const QString area = areaWord();
    for (const TFIXModem* card : cards) {
        if (card->panelName.isEmpty())
            continue;
        made.insert(card->panelName);
        if (!panelAs<CardPanel>(panels_, card->panelName)) {
            auto* panel = new CardPanel(box_);
            panel->setObjectName(card->panelName);
            panel->hide();
            connect(panel, &CardPanel::contextMenuAt, this, &LayoutCanvas::showContextMenu);
            panels_.insert(card->panelName, panel);
        }
    }
    // A child goes into the panel of the first record of its owner's name,
    // as the model's look-ups find it.
    QHash<std::pair<QString, QString>, PagePanel*> pagePanels;
    for (const TProgram& page : model_.pages()) {
        const auto card = cards.constFind(page.cardName);
        if (page.textProgramPage != 0 || page.panelName.isEmpty() || card == cards.constEnd())
            continue;
        auto* cardPanel = panelAs<CardPanel>(panels_, (*card)->panelName);
        if (!cardPanel)
            continue;
        made.insert(page.panelName);
        auto* panel = panelAs<PagePanel>(panels_, page.panelName);
        if (!panel) {
            panel = new PagePanel(cardPanel);
            panel->setObjectName(page.panelName);
            panel->show();
            panels_.insert(page.panelName, panel);
        } else if (panel->parentWidget() != cardPanel) {
            panel->setParent(cardPanel);
            panel->show();
        }
        const std::pair<QString, QString> key{page.cardName, page.name};
        if (!pagePanels.contains(key))
            pagePanels.insert(key, panel);
    }
    QHash<QStringList, RegionPanel*> regionPanels;
    for (const TRegion& region : model_.regions()) {
        if (region.panelName.isEmpty() || !cards.contains(region.cardName))
            continue;
        PagePanel* pagePanel = pagePanels.value({region.cardName, region.pageName});
        if (!pagePanel)
            continue;
        made.insert(region.panelName);
        auto* panel = panelAs<RegionPanel>(panels_, region.panelName);
        if (!panel) {
            panel = new RegionPanel(pagePanel);
            panel->setObjectName(region.panelName);
            connect(panel, &RegionPanel::pressed, this,
                    [this, panel](const QPoint& pos, Qt::MouseButton button) { regionPressed(panel, pos, button); });
            connect(panel, &RegionPanel::contextMenuAt, this, &LayoutCanvas::showContextMenu);
            panel->show();
            panels_.insert(region.panelName, panel);
        } else if (panel->parentWidget() != pagePanel) {
            panel->setParent(pagePanel);
            panel->show();
        }
        panel->setCaption(region.name);
        panel->setColour(canvas::regionColor(region.name, area));
        const QStringList key{region.cardName, region.pageName, region.name};
        if (!regionPanels.contains(key))
            regionPanels.insert(key, panel);
    }
    // Materials are stacked so that the first of a region (the one that
    // plays first) lies on top.
    for (qsizetype i = model_.materials().size() - 1; i >= 0; --i) {
        const TFodder& m = model_.materials().at(i);
        if (m.panelName.isEmpty() || !cards.contains(m.cardName))
            continue;
        RegionPanel* regionPanel = regionPanels.value(QStringList{m.cardName, m.pageName, m.regionName});
        if (!regionPanel)
            continue;
        made.insert(m.panelName);
        auto* panel = panelAs<MaterialPanel>(panels_, m.panelName);
        if (!panel) {
            panel = new MaterialPanel(regionPanel);
            panel->setObjectName(m.panelName);
            connect(panel, &MaterialPanel::pressed, this, [this, panel] { materialPressed(panel); });
            // The editor opens once the click's events are over: its changes
            // may replace this very panel, which must not be inside its own
            // event handler then.
            connect(
                panel, &MaterialPanel::doubleClicked, this,
                [this, guarded = QPointer<MaterialPanel>(panel)] {
                    if (guarded)
                        materialDoubleClick(guarded);
                },
                Qt::QueuedConnection);
            panel->show();
            panels_.insert(m.panelName, panel);
        } else if (panel->parentWidget() != regionPanel) {
            panel->setParent(regionPanel);
            panel->show();
        }
        panel->raise();
    }
    return made;
}

void LayoutCanvas::freePanel(QWidget* panel)
{
    if (!panel)
        return;
    if (frame_ && (frame_ == panel || panel->isAncestorOf(frame_)))
        dropFrame();
    if (currentMaterial_ && (currentMaterial_ == panel || panel->isAncestorOf(currentMaterial_)))
        currentMaterial_ = nullptr;
    panel->hide();
    panel->setParent(nullptr);
    panel->deleteLater();
}

void LayoutCanvas::syncWithModel()
{
    nameRecords();
    if (!model_.findCard(currentCard_))
        currentCard_.clear();

    // The built cards that still exist, by name; the first card of a name
    // holds its records.
    QSet<QString> cardPanelNames;
    for (const TFIXModem& card : model_.cards())
        cardPanelNames.insert(card.panelName);
    builtCards_.removeIf([&](const QString& name) { return !cardPanelNames.contains(name); });
    const QSet<QString> built(builtCards_.cbegin(), builtCards_.cend());
    QHash<QString, const TFIXModem*> cards;
    for (const TFIXModem& card : model_.cards()) {
        if (built.contains(card.panelName) && !cards.contains(card.name))
            cards.insert(card.name, &card);
    }
    const QSet<QString> made = buildPanels(cards);

    // Free what no record of a built card holds any more.
    QList<QWidget*> gone;
    for (auto it = panels_.begin(); it != panels_.end();) {
        if (!made.contains(it.key()) || it.value().isNull()) {
            if (it.value())
                gone.append(it.value().data());
            it = panels_.erase(it);
        } else {
            ++it;
        }
    }
    for (QWidget* panel : gone)
        freePanel(panel);
    builtCards_.removeIf([&](const QString& name) { return !panels_.contains(name); });
    if (frame_ && (!frame_->target() || !made.contains(frame_->target()->objectName())))
        dropFrame();

    // Only the current card is laid out now; the others when shown again.
    staleCards_ = QSet<QString>(builtCards_.cbegin(), builtCards_.cend());
    const auto current = model_.findCard(currentCard_);
    if (current)
        readyCard(*current.record);
    for (const QString& name : std::as_const(builtCards_)) {
        if (QWidget* p = builtPanel(name))
            p->setVisible(current && name == current.record->panelName);
    }
    emptyScreen_->setVisible(model_.cards().isEmpty());
    centreCurrentCard();
}

bool LayoutCanvas::readyCard(const TFIXModem& card)
{
    if (card.panelName.isEmpty())
        return false;
    if (!builtCards_.contains(card.panelName)) {
        buildPanels({{card.name, &card}});
        if (!panels_.contains(card.panelName))
            return false;
        staleCards_.insert(card.panelName);
    } else {
        builtCards_.removeOne(card.panelName);
    }
    builtCards_.append(card.panelName);
    freeOldestCards();
    if (staleCards_.remove(card.panelName))
        layoutCard(card, false);
    return true;
}

void LayoutCanvas::freeOldestCards()
{
    QString current;
    if (const auto card = model_.findCard(currentCard_))
        current = card.record->panelName;
    // The most recently shown card is never freed.
    for (qsizetype i = 0; builtCards_.size() > kBuiltCardLimit && i < builtCards_.size() - 1;) {
        if (builtCards_.at(i) == current) {
            ++i;
            continue;
        }
        freeCardPanels(builtCards_.takeAt(i));
    }
}

void LayoutCanvas::freeCardPanels(const QString& cardPanelName)
{
    staleCards_.remove(cardPanelName);
    QWidget* cardPanel = builtPanel(cardPanelName);
    panels_.remove(cardPanelName);
    if (!cardPanel)
        return;
    for (auto it = panels_.begin(); it != panels_.end();) {
        if (it.value().isNull() || cardPanel->isAncestorOf(it.value()))
            it = panels_.erase(it);
        else
            ++it;
    }
    freePanel(cardPanel);
}

const TFIXModem* LayoutCanvas::cardOfPanelName(const QString& panelName) const
{
    if (panelName.isEmpty())
        return nullptr;
    auto cardNamed = [this](const QString& name) { return model_.findCard(name).record; };
    for (const TFIXModem& card : model_.cards()) {
        if (card.panelName == panelName)
            return &card;
    }
    for (const TProgram& page : model_.pages()) {
        if (page.panelName == panelName)
            return page.textProgramPage != 0 ? nullptr : cardNamed(page.cardName);
    }
    for (const TRegion& region : model_.regions()) {
        if (region.panelName == panelName)
            return cardNamed(region.cardName);
    }
    for (const TFodder& m : model_.materials()) {
        if (m.panelName == panelName)
            return cardNamed(m.cardName);
    }
    return nullptr;
}

void LayoutCanvas::layoutCard(const TFIXModem& card, bool zoomCommand)
{
    auto* cardPanel = panelAs<CardPanel>(panels_, card.panelName);
    if (!cardPanel)
        return;
    const int z = canvas::zoomTenths(canvas::zoomFactorOfCard(card.zoom));
    const double a = z / double(canvas::kZoomOne);
    cardPanel->resize(canvas::cardPanelSize(card.width, card.height, a));
    const QRect pageRect = canvas::pagePanelRect(cardPanel->size());
    for (const TProgram& page : model_.pages()) {
        if (page.cardName != card.name)
            continue;
        if (auto* p = panelAs<PagePanel>(panels_, page.panelName))
            p->setGeometry(pageRect);
    }
    QHash<QStringList, const TRegion*> regions;
    for (const TRegion& region : model_.regions()) {
        if (region.cardName != card.name)
            continue;
        const QStringList key{region.pageName, region.name};
        if (!regions.contains(key))
            regions.insert(key, &region);
        auto* panel = panelAs<RegionPanel>(panels_, region.panelName);
        if (!panel)
            continue;
        if (zoomCommand) {
            panel->setGeometry(canvas::regionCanvasRectAt(region, a));
            panel->setCaptionPointSize(canvas::scaleRounded(canvas::kCaptionPoints, a));
        } else {
            layoutRegion(panel, region, z);
        }
    }
    for (const TFodder& m : model_.materials()) {
        if (m.cardName != card.name)
            continue;
        auto* panel = panelAs<MaterialPanel>(panels_, m.panelName);
        if (!panel || !panel->parentWidget())
            continue;
        panel->setGeometry(QRect(QPoint(0, 0), panel->parentWidget()->size()));
        panel->setZoomFactor(a);
        paintMaterial(panel, m, regions.value(QStringList{m.pageName, m.regionName}));
    }
}

void LayoutCanvas::layoutRegion(RegionPanel* panel, const TRegion& region, int zoomTenths)
{
    panel->setGeometry(canvas::regionCanvasRect(region, zoomTenths));
    panel->setCaptionPointSize(canvas::captionPointSize(zoomTenths));
    panel->setCaption(region.name);
    for (QObject* child : panel->children()) {
        if (auto* m = qobject_cast<MaterialPanel*>(child))
            m->setGeometry(QRect(QPoint(0, 0), panel->size()));
    }
}

void LayoutCanvas::paintMaterial(MaterialPanel* panel, const TFodder& m)
{
    paintMaterial(panel, m, model_.findRegion(m.cardName, m.pageName, m.regionName).record);
}

void LayoutCanvas::paintMaterial(MaterialPanel* panel, const TFodder& m, const TRegion* region)
{
    const QSize ledSize = region ? QSize(region->width, region->height) : panel->size();
    if (canvas::keepsNaturalSize(m.kind)) {
        const canvas::MaterialPicture picture = canvas::naturalPicture(m, ledSize);
        panel->setPicture(picture.image, picture.stretched);
        return;
    }
    QImage image;
    const auto card = model_.findCard(m.cardName);
    if (pictureSource_ && card)
        image = pictureSource_(m, *card.record, ledSize);
    if (image.isNull())
        image = canvas::placeholderPicture(m.name, ledSize);
    panel->setPicture(image, true);
}

void LayoutCanvas::centreCurrentCard()
{
    const QSize viewport = scroll_->viewport()->size();
    QWidget* current = nullptr;
    if (const auto card = model_.findCard(currentCard_))
        current = builtPanel(card.record->panelName);
    if (!current || emptyScreen_->isVisible()) {
        box_->resize(viewport);
        emptyScreen_->setGeometry(QRect(QPoint(0, 0), viewport));
        if (!current)
            return;
    }
    box_->resize(viewport.expandedTo(current->size()));
    current->move(canvas::centredPosition(viewport, current->size()));
}

bool LayoutCanvas::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize)
        centreCurrentCard();
    return QWidget::eventFilter(watched, event);
}

void LayoutCanvas::showContextMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    QAction* remove = menu.addAction(fixedtext::deleteObject());
    if (menu.exec(globalPos) == remove)
        emit deleteRequested();
}

void LayoutCanvas::retranslate()
{
    enlarge_->setToolTip(fixedtext::enlargeHint());
    narrow_->setToolTip(fixedtext::narrowHint());
}

void LayoutCanvas::dropFrame()
{
    if (frame_) {
        frame_->hide();
        frame_->deleteLater();
    }
    frame_ = nullptr;
}

void LayoutCanvas::unmarkMaterial()
{
    if (currentMaterial_)
        currentMaterial_->setMarked(false);
    currentMaterial_ = nullptr;
}

void LayoutCanvas::showCard(const QString& cardName)
{
    dropFrame();
    raiseCard(cardName);
}

void LayoutCanvas::raiseCard(const QString& cardName)
{
    const auto card = model_.findCard(cardName);
    if (!card)
        return;
    if (cardName != currentCard_)
        dropFrame();
    currentCard_ = cardName;
    readyCard(*card.record);
    setZoomLabel(canvas::zoomFactorOfCard(card.record->zoom));
    for (const QString& name : std::as_const(builtCards_)) {
        if (QWidget* p = builtPanel(name))
            p->setVisible(name == card.record->panelName);
    }
    if (QWidget* p = builtPanel(card.record->panelName))
        p->raise();
    emptyScreen_->setVisible(false);
    centreCurrentCard();
}

void LayoutCanvas::showPage(const QString& cardName, const QString& pageName)
{
    dropFrame();
    raisePage(cardName, pageName);
}

void LayoutCanvas::raisePage(const QString& cardName, const QString& pageName)
{
    raiseCard(cardName);
    const auto page = model_.findPage(cardName, pageName);
    if (!page)
        return;
    if (QWidget* p = builtPanel(page.record->panelName)) {
        p->show();
        p->raise();
    }
}

void LayoutCanvas::showRegion(const QString& cardName, const QString& pageName, const QString& regionName)
{
    raisePage(cardName, pageName);
    const auto region = model_.findRegion(cardName, pageName, regionName);
    if (!region)
        return;
    auto* panel = panelAs<RegionPanel>(panels_, region.record->panelName);
    if (!panel)
        return;
    unmarkMaterial();
    panel->show();
    panel->raise();
    for (QObject* child : panel->children()) {
        if (auto* m = qobject_cast<MaterialPanel*>(child))
            m->hide();
    }
    // A frame that lost the focus is on its way out; this region gets a new one.
    if (!frame_ || frame_->target() != panel || frame_->isHidden())
        putFrameOn(panel, nullptr, false);
}

void LayoutCanvas::showMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                                const QString& name)
{
    raisePage(cardName, pageName);
    const auto region = model_.findRegion(cardName, pageName, regionName);
    const auto material = model_.findMaterial(cardName, pageName, regionName, name);
    if (!region || !material)
        return;
    dropFrame();
    if (QWidget* r = builtPanel(region.record->panelName)) {
        r->show();
        r->raise();
    }
    auto* panel = panelAs<MaterialPanel>(panels_, material.record->panelName);
    if (!panel)
        return;
    unmarkMaterial();
    paintMaterial(panel, *material.record);
    panel->show();
    panel->raise();
    panel->setMarked(true);
    currentMaterial_ = panel;
}

void LayoutCanvas::placeRegion(const QString& cardName, const QString& pageName, const QString& regionName)
{
    const auto region = model_.findRegion(cardName, pageName, regionName);
    if (!region)
        return;
    auto* panel = panelAs<RegionPanel>(panels_, region.record->panelName);
    if (!panel)
        return;
    layoutRegion(panel, *region.record, cardZoom(cardName));
    panel->setColour(canvas::regionColor(region.record->name, areaWord()));
    if (frame_ && frame_->target() == panel)
        frame_->setGeometry(panel->geometry());
    for (const TFodder& m : model_.materials()) {
        if (m.cardName == cardName && m.pageName == pageName && m.regionName == regionName) {
            if (auto* mp = panelAs<MaterialPanel>(panels_, m.panelName))
                paintMaterial(mp, m);
        }
    }
}

void LayoutCanvas::refreshMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                                   const QString& name)
{
    const auto material = model_.findMaterial(cardName, pageName, regionName, name);
    if (!material)
        return;
    if (auto* panel = panelAs<MaterialPanel>(panels_, material.record->panelName))
        paintMaterial(panel, *material.record);
}

bool LayoutCanvas::showImageOnMaterial(const QString& path)
{
    if (!currentMaterial_ || path.isEmpty())
        return false;
    QImage image(path);
    if (image.isNull())
        return false;
    currentMaterial_->setPicture(image.convertToFormat(QImage::Format_RGB32), false);
    return true;
}

void LayoutCanvas::zoomStep(bool narrow)
{
    const double a = canvas::zoomStep(zoomFactor(), narrow);
    // The frame was made for the old zoom; the selected region gets a new one.
    const QPointer<RegionPanel> framed = frame_ ? qobject_cast<RegionPanel*>(frame_->target()) : nullptr;
    const bool frameHadKeyboard = frame_ && frame_->hasFocus();
    dropFrame();
    const auto card = model_.findCard(currentCard_);
    if (card) {
        card.record->zoom = canvas::zoomTenths(a);
        if (card.record->width > 0 && card.record->height > 0)
            layoutCard(*card.record, true);
    }
    setZoomLabel(a);
    centreCurrentCard();
    if (framed)
        putFrameOn(framed, nullptr, frameHadKeyboard);
    if (card)
        emit zoomChanged(currentCard_, card.record->zoom);
}

const TRegion* LayoutCanvas::regionOfPanel(const QString& panelName) const
{
    for (const TRegion& r : model_.regions()) {
        if (r.panelName == panelName)
            return &r;
    }
    return nullptr;
}

const TFodder* LayoutCanvas::materialOfPanel(const QString& panelName) const
{
    for (const TFodder& m : model_.materials()) {
        if (m.panelName == panelName)
            return &m;
    }
    return nullptr;
}

void LayoutCanvas::putFrameOn(RegionPanel* panel, const QPoint* pressAt, bool onCanvas)
{
    dropFrame();
    const QString panelName = panel->objectName();
    const int z = zoom_;
    frame_ = new DragFrame(panel, z, [this, panelName, z](canvas::SyncMode mode, const QRect& rect) {
        QRect placed = rect;
        const Found<TRegion> region = canvas::syncRegionGeometry(model_, mode, panelName, placed, z);
        if (!region)
            return rect;
        if (mode != canvas::SyncMode::FrameMade) {
            const TRegion r = *region.record;
            emit regionGeometryChanged(r.cardName, r.pageName, r.name);
        }
        return placed;
    }, onCanvas);
    if (pressAt)
        frame_->beginDragAt(*pressAt);
}

void LayoutCanvas::regionPressed(RegionPanel* panel, const QPoint& pos, Qt::MouseButton button)
{
    const TRegion* region = regionOfPanel(panel->objectName());
    if (!region)
        return;
    const TRegion r = *region;
    unmarkMaterial();
    if (r.cardName != currentCard_)
        showCard(r.cardName);
    putFrameOn(panel, button == Qt::LeftButton ? &pos : nullptr, true);
    emit regionClicked(r.cardName, r.pageName, r.name);
}

void LayoutCanvas::materialPressed(MaterialPanel* panel)
{
    const TFodder* material = materialOfPanel(panel->objectName());
    if (!material)
        return;
    const TFodder m = *material;
    unmarkMaterial();
    dropFrame();
    emit materialClicked(m.cardName, m.pageName, m.regionName, m.name);
    emit statusMessage(messageText(QStringLiteral("warn_material_layer_drag")));
}

void LayoutCanvas::materialDoubleClick(MaterialPanel* panel)
{
    const TFodder* material = materialOfPanel(panel->objectName());
    if (!material)
        return;
    const TFodder m = *material;
    emit materialDoubleClicked(m.cardName, m.pageName, m.regionName, m.name);
}

} // namespace ledsign
