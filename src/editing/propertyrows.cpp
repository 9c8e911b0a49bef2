#include "editing/propertyrows.h"

#include "language/language.h"

namespace ledsign {

namespace {

QStringList optionList(int sub, int fontCount)
{
    QStringList list = GetLgList(kOptionCategory, sub);
    if (sub == kFontOptionSub) {
        while (list.size() > qMax(0, fontCount))
            list.removeLast();
    }
    return list;
}

void makeButton(PropertyRows& rows, int row)
{
    if (row >= 0 && row < rows.size())
        rows[row].style = RowStyle::Button;
}

} // namespace

QString textAt(const QStringList& list, qsizetype i)
{
    return i >= 0 && i < list.size() ? list.at(i) : QString();
}

PropertyRows fillEditor(const QList<QPair<QString, QString>>& labelsAndValues, const QString& choiceSpec,
                        int fontCount, int buttonRowA, int buttonRowB)
{
    PropertyRows rows;
    for (const auto& [label, value] : labelsAndValues)
        rows.append(PropertyRow{label, value, RowStyle::Plain, {}, false});

    const QStringList entries = choiceSpec.split(QLatin1Char(','));
    for (const QString& entry : entries) {
        const QStringList parts = entry.split(QLatin1Char(';'));
        if (parts.size() < 2)
            continue;
        bool rowOk = false;
        const int row = parts.first().trimmed().toInt(&rowOk);
        if (!rowOk || row < 0 || row >= rows.size())
            continue;
        QStringList choices;
        bool subOk = false;
        const int sub = parts.size() == 2 ? parts.at(1).trimmed().toInt(&subOk) : -1;
        if (subOk) {
            choices = optionList(sub, fontCount);
        } else {
            // A single text that is not a sub number (a card offering one
            // glyph size) is a literal choice, not an option list.
            for (qsizetype i = 1; i < parts.size(); ++i) {
                if (!parts.at(i).isEmpty())
                    choices << parts.at(i);
            }
        }
        if (choices.isEmpty())
            continue;
        rows[row].style = RowStyle::Choice;
        rows[row].choices = choices;
    }
    makeButton(rows, buttonRowB);
    makeButton(rows, buttonRowA);
    return rows;
}

void setRowChoices(PropertyRows& rows, int row, int selected, const QString& choices)
{
    if (row < 0 || row >= rows.size())
        return;
    PropertyRow& r = rows[row];
    r.style = RowStyle::Choice;
    r.choices = choices.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (selected >= 0 && selected < r.choices.size())
        r.value = r.choices.at(selected);
}

int choicePosition(const PropertyRow& row, const QString& text)
{
    return static_cast<int>(row.choices.indexOf(text));
}

} // namespace ledsign
