// The property editor without its window: which object is shown, the rows
// of that object (labels, values, choices, "..." buttons), and what a typed
// value or a dialog's result does to the records. The editor window shows
// these rows and forwards every edit here; what the result asks for (mark
// the card modified, rename the tree node, move the region panel, render the
// material again) the window passes on with its signals.
#pragma once

#include "editing/propertyrows.h"
#include "editing/selection.h"
#include "model/projectmodel.h"

#include <QString>
#include <QStringList>

namespace ledsign {

struct AppSettings;

// The object shown: its level and the names along its tree path.
struct PropertyTarget {
    NodeLevel level = NodeLevel::None;
    QString cardName;
    QString pageName;
    QString regionName;
    QString materialName;
    QString nodeText; // the tree node's text (a card node may carry more than the name)
};

// What applying a row or a dialog result did.
struct RowChange {
    bool cardModified = false;    // the owning card must be marked modified
    bool renamed = false;         // the tree node's text becomes `nodeText`
    QString oldName;
    QString nodeText;
    bool geometryChanged = false; // the region panel must follow the record
    bool rerender = false;        // the material must be rendered again
    bool redraw = false;          // the material panel must be redrawn
    QList<int> rowsRewritten;     // rows whose value or choices changed
    bool cardListChanged = false; // the card list (not the playbill) holds what changed
    QString message;              // why a typed value was refused
};

// What a "..." button asks for.
enum class DialogKind {
    None,
    CountTime,     // date-time dialog for a count's begin or end time
    PlayByWeek,    // the page's play-by-week dialog
    PlayByDate,    // the date-time dialog with the page's three choices
    AnimationFile, // open-file dialog for a GIF
};

struct DialogRequest {
    DialogKind kind = DialogKind::None;
    int row = -1;
    QString text;          // what the dialog starts from
    QStringList items;     // play by week: the 14 items; play by date: the 3 choice captions
    QString note;          // the dialog's note (pages)
    int choice = 0;        // play by date: 0 every day, 1 before the date, 2 after it
    bool choiceHidden = false; // count time: the three-way choice and the note are hidden
    int windowHeight = 0;  // count time: 220
    QString filter;        // animation: "gif(*.gif)|*.gif"
    QString startFile;     // animation: the current file when it exists
};

// Texts of the page rows that the page dialogs use, by position in the
// category-2 list of sub 2.
enum PageText : int {
    kPageTextBeforeDate = 6,
    kPageTextAfterDate = 7,
    kPageTextBefore = 8,
    kPageTextAfter = 9,
    kPageTextEveryday = 10,
    kPageTextNote = 11,
};

class PropertySession {
public:
    PropertySession(ProjectModel& model, const AppSettings& settings);

    // Show an object: find its record by the names of its tree path and fill
    // the rows. False (and nothing shown) when there is no such record.
    // Showing a single text, multi text, image group or table sets
    // `cardModified` in `change` when given.
    bool showCard(const QString& nodeText);
    bool showPage(const QString& cardName, const QString& pageName);
    bool showRegion(const QString& cardName, const QString& pageName, const QString& regionName);
    // Showing a material's rows changes nothing: its card stays as it was.
    bool showMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                      const QString& name);
    // Rebuilds the rows of the shown object (after a language switch).
    bool reshow();
    void clear();

    const PropertyTarget& target() const { return target_; }
    const PropertyRows& rows() const { return rows_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }

    // Set while rows are being filled by the system; edits that arrive
    // meanwhile are ignored.
    bool busy() const { return busy_; }
    class BusyScope {
    public:
        explicit BusyScope(PropertySession& s) : s_(s), was_(s.busy_) { s_.busy_ = true; }
        ~BusyScope() { s_.busy_ = was_; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        PropertySession& s_;
        bool was_;
    };

    // The row `row` now reads `text`: store it in the row and apply it to
    // the record. Nothing happens while busy, with nothing shown, or when
    // the shown record no longer exists.
    RowChange applyRowChange(int row, const QString& text);

    // When region rows are shown, rows 2 to 5 show the region's geometry
    // again (after a drag on the canvas). Returns the rows rewritten.
    QList<int> refreshRegionRows();

    // The dialog the "..." button of a row opens; kind None for rows
    // without one.
    DialogRequest editButtonClick(int row) const;

    // Results of the dialogs.
    // Count time: the dialog's text goes into row 9 and is applied.
    RowChange acceptCountTime(const QString& text);
    // Play by week: by week with `cycle` the day digits ("1;3;5"), or every
    // day with `cycle` the every-day text.
    RowChange acceptPlayByWeek(bool byWeek, const QString& cycle);
    // Play by date: choice 0 every day, 1 before the date, 2 after it; the
    // date is refused when it does not read as a date.
    RowChange acceptPlayByDate(int choice, const QString& dateText);
    // Animation file: an empty path (the dialog was cancelled) leaves the
    // material without a file.
    RowChange acceptAnimationFile(const QString& path);

    // The records shown (null when none, or when gone from their list).
    TFodder* currentMaterial();
    TRegion* currentRegion();
    TProgram* currentPage();
    TFIXModem* currentCard();

private:
    RowChange applyCard(int row);
    RowChange applyPage(int row);
    RowChange applyRegion(int row);
    RowChange applyMaterial(int row);
    RowChange rename(int row);
    RowChange changeInternalCode(int row);
    int internalCodeRow() const;
    QString pageDateRowText(const TProgram& page) const;
    void fillMaterialRows(TFodder& material, const TFIXModem* card);

    ProjectModel& model_;
    const AppSettings& settings_;
    PropertyTarget target_;
    PropertyRows rows_;
    bool busy_ = false;
};

// Number of rows of a material kind's editor.
int materialRowCount(int kind);

} // namespace ledsign
