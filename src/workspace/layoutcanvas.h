// The layout canvas: a scroll box that shows the current card as a black
// LED panel at the card's zoom, with its pages, regions and materials as
// nested panels, and under it the zoom bar. Region panels are moved and
// resized with the drag frame; materials show their picture and are
// selected by a click.
//
// Panels are made only for the cards that are shown: the current card and
// the few shown before it (kept so that going back is quick; the oldest is
// freed beyond that). A card is built when it is shown or when one of its
// panels is asked for; kept cards are laid out again when they are next
// shown. So start-up with thousands of cards makes the panels of one.
//
// How the main window wires it:
//   - after the records change (start-up, add, delete, open, paste, size
//     change): syncWithModel() names the records' panels and makes and
//     frees the panels of the built cards to match the lists;
//   - tree click: showCard(card), showPage(card, page),
//     showRegion(card, page, region), showMaterial(card, page, region, name);
//   - the project document's regionChanged -> placeRegion(...);
//     materialChanged -> refreshMaterial(...); records that came, went or
//     were renamed -> syncWithModel();
//   - regionClicked -> select the region's tree node and show its rows
//     (the frame is already on the panel);
//   - materialClicked -> select the material's node, show its rows, and
//     switch the commands to the material row; statusMessage -> status
//     panel 4;
//   - materialDoubleClicked -> open the material's editor;
//   - regionGeometryChanged -> refresh the region rows of the property
//     editor (the record is already updated); once the mouse lets go the
//     document makes the drag one step;
//   - deleteRequested -> the "delete object" command for the selected node;
//   - the image-group list's selection -> showImageOnMaterial(path);
//   - setPictureSource() replaces the renderer of material pictures.
#pragma once

#include "editing/canvaspicture.h"
#include "workspace/dragframe.h"
#include "model/projectmodel.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <functional>

class QLabel;
class QScrollArea;
class QToolButton;

namespace ledsign {

class CardPanel;
class MaterialPanel;
class PagePanel;
class RegionPanel;

class LayoutCanvas : public QWidget {
    Q_OBJECT
public:
    // The picture of a material at its region's size in LED pixels; a null
    // image leaves the material's own picture (its file, or its name). The
    // canvas starts with the renderer's canvas picture.
    using PictureSource = std::function<QImage(const TFodder&, const TFIXModem&, QSize ledSize)>;

    explicit LayoutCanvas(ProjectModel& model, QWidget* parent = nullptr);
    ~LayoutCanvas() override;

    void setPictureSource(PictureSource source);

    // Gives every record a panel name of its own (a card without one gets
    // "pnCard" + the next panel number, and so on), then, for the built
    // cards, makes the panels that are missing, frees those whose record is
    // gone and lays the current card out from its records.
    void syncWithModel();
    // The zoom buttons' hints in the current language.
    void retranslate();

    // The card becomes current: its zoom goes into the zoom label, its panel
    // is shown and centred, every other card panel is hidden. Showing a card
    // or a page takes the drag frame away.
    void showCard(const QString& cardName);
    void showPage(const QString& cardName, const QString& pageName);
    // Also hides the region's materials and puts the drag frame on it,
    // without the keyboard focus (that stays with the tree).
    void showRegion(const QString& cardName, const QString& pageName, const QString& regionName);
    // The material's panel comes to the front with its picture and marks.
    void showMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                      const QString& name);

    // The region panel follows its record (after a typed change).
    void placeRegion(const QString& cardName, const QString& pageName, const QString& regionName);
    // The material's picture is made again.
    void refreshMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                         const QString& name);

    // Shows an image file on the current material's panel at its own size
    // times the zoom (an image group's chosen file). A file that does not
    // load is ignored. False when nothing was shown.
    bool showImageOnMaterial(const QString& path);

    // The zoom buttons: one step larger or smaller for the current card.
    void zoomStep(bool narrow);
    double zoomFactor() const;
    int zoomTenths() const;
    QString zoomLabelText() const;
    QString currentCardName() const { return currentCard_; }

    // Panels by their record's panel name (null when no record has it; the
    // card holding it is built and laid out first), the frame, and the parts
    // of the canvas, for the window and for tests.
    QWidget* panel(const QString& panelName);
    // How many cards have their panels made.
    qsizetype builtCardCount() const { return builtCards_.size(); }
    DragFrame* dragFrame() const { return frame_; }
    QScrollArea* scrollBox() const { return scroll_; }
    QToolButton* enlargeButton() const { return enlarge_; }
    QToolButton* narrowButton() const { return narrow_; }

signals:
    void regionClicked(const QString& cardName, const QString& pageName, const QString& regionName);
    void materialClicked(const QString& cardName, const QString& pageName, const QString& regionName,
                         const QString& name);
    void materialDoubleClicked(const QString& cardName, const QString& pageName, const QString& regionName,
                               const QString& name);
    void regionGeometryChanged(const QString& cardName, const QString& pageName, const QString& regionName);
    void statusMessage(const QString& text);
    void zoomChanged(const QString& cardName, int zoomTenths);
    void deleteRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int cardZoom(const QString& cardName) const;
    void layoutCard(const TFIXModem& card, bool zoomCommand);
    // Names every record's panel; records of one list never share a name.
    void nameRecords();
    // Makes (or moves under the right parent) the panels of the records of
    // these cards (by name) and returns the names of those panels.
    QSet<QString> buildPanels(const QHash<QString, const TFIXModem*>& cards);
    // The card's panels exist and are laid out; it becomes the most
    // recently shown of the built cards. False for a card without a panel name.
    bool readyCard(const TFIXModem& card);
    void freeOldestCards();
    void freeCardPanels(const QString& cardPanelName);
    void freePanel(QWidget* panel);
    const TFIXModem* cardOfPanelName(const QString& panelName) const;
    QWidget* builtPanel(const QString& panelName) const { return panels_.value(panelName).data(); }
    void layoutRegion(RegionPanel* panel, const TRegion& region, int zoomTenths);
    void paintMaterial(MaterialPanel* panel, const TFodder& material);
    void paintMaterial(MaterialPanel* panel, const TFodder& material, const TRegion* region);
    void centreCurrentCard();
    void showContextMenu(const QPoint& globalPos);
    // `onCanvas`: the operator works on the canvas, so the frame takes the
    // keyboard; a frame for a tree selection leaves it to the tree.
    void putFrameOn(RegionPanel* panel, const QPoint* pressAt, bool onCanvas);
    void raiseCard(const QString& cardName);
    void raisePage(const QString& cardName, const QString& pageName);
    void dropFrame();
    void unmarkMaterial();
    void regionPressed(RegionPanel* panel, const QPoint& pos, Qt::MouseButton button);
    void materialPressed(MaterialPanel* panel);
    void materialDoubleClick(MaterialPanel* panel);
    const TRegion* regionOfPanel(const QString& panelName) const;
    const TFodder* materialOfPanel(const QString& panelName) const;
    void setZoomLabel(double factor);

    ProjectModel& model_;
    PictureSource pictureSource_;
    QScrollArea* scroll_ = nullptr;
    QWidget* box_ = nullptr;        // the scroll box's contents
    QWidget* emptyScreen_ = nullptr; // shown while there is no card
    QToolButton* enlarge_ = nullptr;
    QToolButton* narrow_ = nullptr;
    QLabel* zoomLabel_ = nullptr;

    QHash<QString, QPointer<QWidget>> panels_; // by panel name, built cards only
    QStringList builtCards_;  // card panel names, the least recently shown first
    QSet<QString> staleCards_; // built cards to lay out again before they are shown
    QString currentCard_;
    QPointer<MaterialPanel> currentMaterial_;
    QPointer<DragFrame> frame_;
    int zoom_ = 10; // the current zoom in tenths
};

} // namespace ledsign
