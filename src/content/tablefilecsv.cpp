#include "content/tablefilecsv.h"

#include "language/language.h"
#include "model/codec.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace ledsign {

namespace {

QString decodeText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? codec::decode(bytes) : text;
}

QChar detectSeparator(const QString& text)
{
    const QString first = text.left(text.indexOf(QLatin1Char('\n')));
    const qsizetype commas = first.count(QLatin1Char(','));
    const qsizetype semis = first.count(QLatin1Char(';'));
    const qsizetype tabs = first.count(QLatin1Char('\t'));
    if (tabs > commas && tabs >= semis)
        return QLatin1Char('\t');
    if (semis > commas)
        return QLatin1Char(';');
    return QLatin1Char(',');
}

} // namespace

QList<QStringList> parseCsv(const QByteArray& bytes)
{
    QString text = decodeText(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QChar sep = detectSeparator(text);
    QList<QStringList> rows;
    QStringList row;
    QString value;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    value += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                value += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && value.isEmpty()) {
            quoted = true;
            any = true;
        } else if (c == sep) {
            row << value;
            value.clear();
            any = true;
        } else if (c == QLatin1Char('\n')) {
            row << value;
            rows << row;
            row.clear();
            value.clear();
            any = false;
        } else {
            value += c;
            any = true;
        }
    }
    if (any || !value.isEmpty() || !row.isEmpty()) {
        row << value;
        rows << row;
    }
    return rows;
}

TableFileKind tableFileKind(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("tbl"))
        return TableFileKind::Table;
    if (ext == QLatin1String("csv") || ext == QLatin1String("txt"))
        return TableFileKind::Csv;
    if (ext == QLatin1String("xls"))
        return TableFileKind::Xls;
    if (ext == QLatin1String("xlsx") || ext == QLatin1String("ods"))
        return TableFileKind::Spreadsheet;
    return TableFileKind::Unknown;
}

namespace {
constexpr int kTableTextCategory = 6;
}

QString spreadsheetRefusedMessage()
{
    return messageText(QStringLiteral("warn_xls_only"));
}

bool importCsvTable(const QByteArray& bytes, const QString& fontName, TableModel& table, QString* error)
{
    QList<QStringList> rows = parseCsv(bytes);
    while (!rows.isEmpty() && std::all_of(rows.last().begin(), rows.last().end(),
                                          [](const QString& v) { return v.trimmed().isEmpty(); }))
        rows.removeLast();
    int cols = 0;
    for (const QStringList& r : rows)
        cols = std::max(cols, int(r.size()));
    if (rows.isEmpty() || cols == 0) {
        if (error)
            *error = GetLgText(kTableTextCategory, QStringLiteral("warn_table_no_values"));
        return false;
    }
    if (cols + 1 > kMaxTableColumns || rows.size() + 1 > kMaxTableRows) {
        if (error)
            *error = GetLgText(kTableTextCategory, QStringLiteral("warn_table_too_large"))
                         .arg(rows.size())
                         .arg(cols)
                         .arg(kMaxTableRows - 1)
                         .arg(kMaxTableColumns - 1);
        return false;
    }
    TableModel t = TableModel::create(int(rows.size()), kDefaultRowHeight, cols, kDefaultColumnWidth, fontName);
    t.backgroundIndex = table.backgroundIndex;
    t.lineWidthIndex = table.lineWidthIndex;
    t.lineColorIndex = table.lineColorIndex;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            t.setText(c + 1, r + 1, rows[r][c]);
    table = t;
    return true;
}

} // namespace ledsign
