// The rows of the property editor: a label, a value and an edit style per
// row, and how a choice specification ("row;sub" or "row;text;text;...",
// entries joined by ",") turns rows into drop-down rows.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace ledsign {

enum class RowStyle {
    Plain,  // free text
    Choice, // a drop-down list; a value may still be typed
    Button, // a "..." button that opens a dialog; a value may still be typed
};

struct PropertyRow {
    QString label;
    QString value;
    RowStyle style = RowStyle::Plain;
    QStringList choices;
    bool readOnly = false; // rows whose typed text no rule would apply
};

using PropertyRows = QList<PropertyRow>;

// The option list of category 11 with that sub in the current language.
inline constexpr int kOptionCategory = 11;
inline constexpr int kLabelCategory = 2;
inline constexpr int kFontOptionSub = 0;

// Builds the rows from label/value pairs and gives them their styles:
// every entry of `choiceSpec` with exactly two parts gives its row the
// category-11 option list of that sub (fonts cut to `fontCount`); an entry
// of three or more parts gives its row the non-empty texts after the row
// number. Entries with fewer than two parts, or naming a row that does not
// exist, are skipped. Then `buttonRowB` and `buttonRowA` (-1 for none) get
// the button style.
PropertyRows fillEditor(const QList<QPair<QString, QString>>& labelsAndValues, const QString& choiceSpec,
                        int fontCount, int buttonRowA = -1, int buttonRowB = -1);

// Makes `row` a choice row with the ";"-separated `choices` and shows the
// choice at position `selected`; a position outside the list leaves the
// value as it was.
void setRowChoices(PropertyRows& rows, int row, int selected, const QString& choices);

// Position of the text among the row's choices; -1 when it is none of them.
int choicePosition(const PropertyRow& row, const QString& text);

// Text at position i of a list, empty outside it.
QString textAt(const QStringList& list, qsizetype i);

} // namespace ledsign
