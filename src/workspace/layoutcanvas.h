// The layout canvas: a scroll box that shows the current card as a black
// LED panel at the card's zoom, with its pages, regions and materials as
// nested panels, and under it the zoom bar. Region panels are moved and
// resized with the drag frame; materials show their picture and are
// selected by a click.
//
// How the main window wires it:
//   - after the records change (start-up, add, delete, open, paste, size
//     change): syncWithModel() makes and frees panels to match the lists;
//   - tree click: showCard(card), showPage(card, page),
//     showRegion(card, page, region), showMaterial(card, page, region, name);
//   - property editor's regionGeometryChanged -> placeRegion(...);
//     materialChanged -> refreshMaterial(...); nodeRenamed -> syncWithModel();
//   - regionClicked -> select the region's tree node and show its rows
//     (the frame is already on the panel);
//   - materialClicked -> select the material's node, show its rows, and
//     switch the commands to the material row; statusMessage -> status
//     panel 4;
//   - materialDoubleClicked -> open the material's editor;
//   - regionGeometryChanged -> mark the card modified and refresh the
//     region rows of the property editor (the record is already updated);
//   - deleteRequested -> the "delete object" command for the selected node;
//   - the image-group list's selection -> showImageOnMaterial(path);
//   - setPictureSource() replaces the renderer of material pictures.
#pragma once

#include "editing/canvaspicture.h"
#include "workspace/dragframe.h"
#include "model/projectmodel.h"
#include "model/projectoutline.h"

#include <QHash>
#include <QPointer>
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

    // Makes a panel for every card, page, region and material that has
    // none, frees the panels whose record is gone, and lays every panel out
    // from its record. A card without a panel name gets "pnCard" + the next
    // panel number.
    void syncWithModel();

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

    // Panels by their record's panel name (null when none), the frame, and
    // the parts of the canvas, for the window and for tests.
    QWidget* panel(const QString& panelName) const;
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
    // What layoutCard does for every card, in one pass over the lists.
    void layoutAllCards(const ProjectOutline& outline);
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

    QHash<QString, QPointer<QWidget>> panels_; // by panel name
    QString currentCard_;
    QPointer<MaterialPanel> currentMaterial_;
    QPointer<DragFrame> frame_;
    int zoom_ = 10; // the current zoom in tenths
};

} // namespace ledsign
