// The property editor: a two-column value list (label, value) that shows
// the rows of the selected object, with drop-down lists on choice rows and
// a "..." button on dialog rows. Every edit goes to PropertySession; what
// it changed is reported with the signals below.
//
// How the main window wires it:
//   - tree click: showCard(node text), showPage(card, page),
//     showRegion(card, page, region), showMaterial(card, page, region, name);
//     the language switch calls reshow();
//   - the canvas's regionGeometryChanged -> refreshRegionRows();
//   - rowApplied(row, renamed) -> the document makes the change a step;
//   - nodeRenamed(level, old, new) -> the selected tree node's text becomes
//     `new`, and the canvas syncs its panels;
//   - the canvas follows the records through the project document's
//     signals (regionGeometryChanged and materialChanged say the same);
//   - dialogRequested(request) -> open the page or date-time dialog, then
//     call acceptPlayByWeek / acceptPlayByDate / acceptCountTime. The
//     animation's open-file dialog is opened here.
#pragma once

#include "editing/propertysession.h"

#include <QTableWidget>

#include <functional>

namespace ledsign {

struct AppSettings;
class PropertyRowDelegate;

class PropertyEditor : public QTableWidget {
    Q_OBJECT
public:
    // Chooses a file: (file dialog filter such as "gif(*.gif)", start file)
    // -> path, empty when cancelled.
    using FileChooser = std::function<QString(const QString& filter, const QString& startFile)>;

    PropertyEditor(ProjectModel& model, const AppSettings& settings, QWidget* parent = nullptr);
    ~PropertyEditor() override;

    PropertySession& session() { return session_; }

    bool showCard(const QString& nodeText);
    bool showPage(const QString& cardName, const QString& pageName);
    bool showRegion(const QString& cardName, const QString& pageName, const QString& regionName);
    bool showMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                      const QString& name);
    bool reshow();
    void clearRows();

    // Rows 2 to 5 of the region rows show the record again.
    void refreshRegionRows();

    // Results of the dialogs the window opened for dialogRequested.
    void acceptPlayByWeek(bool byWeek, const QString& cycle);
    void acceptPlayByDate(int choice, const QString& dateText);
    void acceptCountTime(const QString& text);

    // The "..." button of a row, as if clicked.
    void clickEditButton(int row);
    // Replaces the open-file dialog (tests, other front ends).
    void setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }

    // Types a value into a row, as the user would.
    void editRow(int row, const QString& text);
    QString rowValue(int row) const;

signals:
    void cardModified(const QString& cardName);
    void nodeRenamed(int level, const QString& oldName, const QString& newName);
    void regionGeometryChanged(const QString& cardName, const QString& pageName, const QString& regionName);
    void materialChanged(const QString& cardName, const QString& pageName, const QString& regionName,
                         const QString& name, bool rerender);
    void dialogRequested(const ledsign::DialogRequest& request);
    // A card's entry in the card list changed (its internal code).
    void cardListChanged(const QString& cardName);
    // A typed value was refused; the row shows the old one again.
    void valueRefused(const QString& message);
    // A row or a dialog's result was applied to the records (which may or
    // may not have changed); `row` is the row typed in or clicked.
    void rowApplied(int row, bool renamed);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The label column fits the widest label; the values take the rest.
    void fitColumns();
    void fillFromSession();
    void showRows(const QList<int>& rows);
    void onItemChanged(QTableWidgetItem* item);
    void report(const RowChange& change);

    PropertySession session_;
    PropertyRowDelegate* delegate_ = nullptr;
    FileChooser fileChooser_;
    bool filling_ = false;
    int lastRow_ = -1;
};

} // namespace ledsign

Q_DECLARE_METATYPE(ledsign::DialogRequest)
