#include "content/tablepieces.h"

#include "content/fontresolver.h"
#include "content/fonttable.h"
#include "content/tablefile.h"
#include "language/language.h"
#include "model/datafolder.h"
#include "model/tfodder.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>

namespace ledsign {

namespace {

// Left edges of the content columns (and the right edge of the last one).
QList<int> columnEdges(const TableModel& t)
{
    QList<int> x{0};
    for (int c = 1; c < t.columnCount(); ++c)
        x.append(x.last() + t.columnWidth(c));
    return x;
}

QList<int> rowEdges(const TableModel& t)
{
    QList<int> y{0};
    for (int r = 1; r < t.rowCount(); ++r)
        y.append(y.last() + t.rowHeight(r));
    return y;
}

// Width of the content columns that fit in the region; the region's width
// when not even the first one fits (it is cut).
int fittingWidth(const TableModel& t, int regionWidth)
{
    int sum = 0;
    for (int c = 1; c < t.columnCount(); ++c) {
        if (sum + t.columnWidth(c) > regionWidth)
            break;
        sum += t.columnWidth(c);
    }
    return sum > 0 ? sum : std::min(regionWidth, t.contentWidth());
}

int fittingHeight(const TableModel& t, int regionHeight)
{
    int sum = 0;
    for (int r = 1; r < t.rowCount(); ++r) {
        if (sum + t.rowHeight(r) > regionHeight)
            break;
        sum += t.rowHeight(r);
    }
    return sum > 0 ? sum : std::min(regionHeight, t.contentHeight());
}

// Content-pixel rectangle of a span of cells (negative when it reaches into
// the header row or column).
QRect spanRect(const TableModel& t, const CellRange& s, const QList<int>& xs, const QList<int>& ys)
{
    auto colLeft = [&](int c) {
        if (c >= 1)
            return xs[c - 1];
        return -t.columnWidth(0);
    };
    auto rowTop = [&](int r) {
        if (r >= 1)
            return ys[r - 1];
        return -t.rowHeight(0);
    };
    const int left = colLeft(s.left);
    const int top = rowTop(s.top);
    const int right = colLeft(s.right) + t.columnWidth(s.right);
    const int bottom = rowTop(s.bottom) + t.rowHeight(s.bottom);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QColor qcolor(TableColor c)
{
    return QColor::fromRgb(tableColorToRgb(c));
}

} // namespace

void drawTableCellContent(QPainter& p, const TableModel& t, int col, int row, const QRect& rect)
{
    const TableCell& cell = t.cell(col, row);
    const TableCellProperties& props = cell.properties;
    const TableColor bg = cell.hasProperties && props.brushColor != kTableNoColor
        ? props.brushColor
        : backgroundColorOfIndex(t.backgroundIndex);
    p.fillRect(rect, qcolor(bg));
    if (!cell.text.isEmpty()) {
        QFont font;
        const QString name = cell.hasProperties && !props.fontName.isEmpty() ? props.fontName
                                                                               : defaultCardFontName();
        font.setFamilies(cardFontFamilies(name));
        const int points = cell.hasProperties && props.fontSize > 0 ? props.fontSize : kDefaultCellPointSize;
        font.setPixelSize(std::max(1, (points * 96 + 36) / 72));
        font.setBold(cell.hasProperties && props.bold);
        font.setItalic(cell.hasProperties && props.italic);
        font.setUnderline(cell.hasProperties && props.underline);
        font.setStrikeOut(cell.hasProperties && props.strikeOut);
        font.setStyleStrategy(QFont::NoAntialias);
        p.setFont(font);
        // A cell without a font colour of its own is drawn in red.
        const TableColor fg = cell.hasProperties && props.fontColor != kTableNoColor ? props.fontColor
                                                                                     : cardColorOfIndex(0);
        p.setPen(qcolor(fg));
        int flags = Qt::AlignVCenter | Qt::TextSingleLine;
        switch (cell.hasProperties ? props.alignment : CellAlignment::Left) {
        case CellAlignment::Centre:
            flags |= Qt::AlignHCenter;
            break;
        case CellAlignment::Right:
            flags |= Qt::AlignRight;
            break;
        case CellAlignment::Left:
            flags |= Qt::AlignLeft;
            break;
        }
        p.save();
        p.setClipRect(rect);
        p.drawText(rect, flags, cell.text);
        p.restore();
    }
}

namespace {

void drawCell(QPainter& p, const TableModel& t, int col, int row, const QRect& rect)
{
    drawTableCellContent(p, t, col, row, rect);
    // Grid lines on the right and bottom of the cell, inside it.
    const int w = t.lineWidth();
    const QColor line = qcolor(cardColorOfIndex(t.lineColorIndex));
    p.fillRect(QRect(rect.right() - w + 1, rect.top(), w, rect.height()), line);
    p.fillRect(QRect(rect.left(), rect.bottom() - w + 1, rect.width(), w), line);
}

QString suffixed(const char* prefix, int n)
{
    return QString::fromLatin1(prefix) + QString::number(n);
}

} // namespace

QString sheetMergeMessage()
{
    return QStringLiteral("行列合并后已超区域宽，需删除表格重新制作！");
}

QString tableRowsNotSentMessage(int firstRow, int lastRow)
{
    return messageText(QStringLiteral("warn_table_rows_not_sent"))
        .arg(firstRow)
        .arg(lastRow);
}

QString tableMaterialRowsNotSent(const TFodder& material, int regionWidth, int regionHeight)
{
    if (material.fileList.isEmpty() || material.fileList.first().path.isEmpty())
        return {};
    TableModel table;
    if (!TableFileReader::read(tableBaseOfPiece(material.fileList.first().path) + QStringLiteral(".tbl"), table))
        return {};
    const TablePiecePlan plan = planTablePieces(table, tableCutMode(material.displayMode, material.remainTime),
                                                regionWidth, regionHeight);
    return plan.firstUnsentRow > 0 ? tableRowsNotSentMessage(plan.firstUnsentRow, plan.lastUnsentRow) : QString();
}

TableCutMode tableCutMode(int displayMode, int remainTime)
{
    if (remainTime == 0 && displayMode == kDisplayMoveLeft)
        return TableCutMode::HorizontalStrip;
    if (remainTime == 0 && displayMode == kDisplayMoveUp)
        return TableCutMode::VerticalStrip;
    return TableCutMode::Sheets;
}

TablePiecePlan planTablePieces(const TableModel& t, TableCutMode mode, int rw, int rh)
{
    TablePiecePlan plan;
    if (rw <= 0 || rh <= 0 || t.contentWidth() <= 0 || t.contentHeight() <= 0)
        return plan;

    if (mode == TableCutMode::HorizontalStrip) {
        const int width = t.contentWidth();
        const int height = fittingHeight(t, rh);
        const int count = (width + rw - 1) / rw;
        for (int n = 0; n < count; ++n) {
            TablePiece p;
            p.suffix = suffixed("__", n);
            p.area = QRect(n * rw, 0, std::min(rw, width - n * rw), height);
            p.topEdge = true;
            p.leftEdge = p.rightEdge = n == 0;
            plan.pieces.append(p);
        }
        return plan;
    }
    if (mode == TableCutMode::VerticalStrip) {
        const int width = fittingWidth(t, rw);
        const int height = t.contentHeight();
        const int count = (height + rh - 1) / rh;
        for (int n = 0; n < count; ++n) {
            TablePiece p;
            p.suffix = suffixed("__", n);
            p.area = QRect(0, n * rh, width, std::min(rh, height - n * rh));
            p.leftEdge = true;
            p.topEdge = p.rightEdge = n == 0;
            plan.pieces.append(p);
        }
        return plan;
    }

    const int width = fittingWidth(t, rw);
    const QList<int> ys = rowEdges(t);
    const int rows = t.rowCount();
    auto sheet = [&](const char* prefix, int n, int first, int last, int height) {
        TablePiece p;
        p.suffix = suffixed(prefix, n);
        p.area = QRect(0, ys[first - 1], width, height);
        p.topEdge = p.leftEdge = p.rightEdge = p.bottomEdge = true;
        plan.pieces.append(p);
        Q_UNUSED(last);
    };
    int first = 1;
    int sheets = 0;
    while (first < rows && sheets < kMaxFullSheets) {
        int sum = 0;
        int k = first;
        while (k < rows && sum + t.rowHeight(k) < rh) {
            sum += t.rowHeight(k);
            ++k;
        }
        if (k == rows)
            break; // the rest is shorter than the region: the last sheet
        int last = k - 1;
        int height = sum;
        if (sum + t.rowHeight(k) == rh) {
            last = k;
            height = rh;
        }
        if (last < first) { // one row taller than the region: cut at its height
            last = first;
            height = rh;
        }
        sheet("__i", sheets, first, last, height);
        ++sheets;
        for (const CellRange& m : t.merges()) {
            if (m.top <= last && m.bottom > last) {
                plan.message = sheetMergeMessage();
                return plan;
            }
        }
        first = last + 1;
    }
    if (first < rows) {
        // Every row left makes the last sheet; after the last full sheet it
        // can be higher than the region, and what lies below the region's
        // height never reaches the card.
        const int rest = ys.last() - ys[first - 1];
        const bool oneTallRow = first == rows - 1;
        sheet("__j", sheets, first, rows - 1, oneTallRow ? std::min(rest, rh) : rest);
        if (!oneTallRow && rest > rh) {
            int shown = first;
            int sum = 0;
            while (shown < rows && sum + t.rowHeight(shown) <= rh) {
                sum += t.rowHeight(shown);
                ++shown;
            }
            plan.firstUnsentRow = shown;
            plan.lastUnsentRow = rows - 1;
        }
    }
    return plan;
}

QImage drawTablePiece(const TableModel& t, const TablePiece& piece)
{
    QImage image(std::max(1, piece.area.width()), std::max(1, piece.area.height()), QImage::Format_RGB32);
    image.fill(qcolor(backgroundColorOfIndex(t.backgroundIndex)));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.translate(-piece.area.topLeft());
    const QList<int> xs = columnEdges(t);
    const QList<int> ys = rowEdges(t);
    for (int c = 0; c < t.columnCount(); ++c) {
        for (int r = 0; r < t.rowCount(); ++r) {
            const CellRange span = t.spanOf(c, r);
            if (span.left != c || span.top != r)
                continue; // drawn with its merge's top-left cell
            if (span.right < 1 || span.bottom < 1)
                continue; // header only
            const QRect rect = spanRect(t, span, xs, ys);
            if (rect.intersects(piece.area))
                drawCell(p, t, c, r, rect);
        }
    }
    p.resetTransform();
    const int w = t.lineWidth();
    const int h = w / 2;
    const int pw = piece.area.width();
    const int ph = piece.area.height();
    QPen pen(qcolor(cardColorOfIndex(t.lineColorIndex)));
    pen.setWidth(w);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    if (piece.topEdge)
        p.drawLine(h, h, pw, h);
    if (piece.leftEdge)
        p.drawLine(h, h, h, ph);
    if (piece.rightEdge)
        p.drawLine(pw, h, pw, ph);
    if (piece.bottomEdge)
        p.drawLine(h, ph, pw, ph);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

namespace {

// A cut with fewer or other pieces than the one before leaves those files
// behind; a later look at the folder would take them for part of the table.
void removeStalePieces(const QString& basePath, const QStringList& kept)
{
    const QFileInfo base(basePath);
    QDir folder = base.absoluteDir();
    static const QRegularExpression piece(QStringLiteral("^__[ij]?\\d+\\.bmp$"),
                                          QRegularExpression::CaseInsensitiveOption);
    QStringList keptNames;
    for (const QString& file : kept)
        keptNames << QFileInfo(file).fileName();
    const QStringList candidates = folder.entryList({base.fileName() + QStringLiteral("__*")}, QDir::Files);
    for (const QString& name : candidates) {
        if (keptNames.contains(name, Qt::CaseInsensitive))
            continue;
        if (piece.match(name.mid(base.fileName().size())).hasMatch())
            folder.remove(name);
    }
}

} // namespace

TablePiecesResult makeTablePieces(const TableModel& table, const QString& basePath, int displayMode,
                                  int remainTime, int regionWidth, int regionHeight)
{
    TablePiecesResult result;
    QDir().mkpath(QFileInfo(basePath).absolutePath());
    if (!TableFileWriter::write(table, basePath + QStringLiteral(".tbl"), &result.error))
        return result;
    const TablePiecePlan plan =
        planTablePieces(table, tableCutMode(displayMode, remainTime), regionWidth, regionHeight);
    result.message = plan.message;
    if (plan.firstUnsentRow > 0)
        result.unsentRows = tableRowsNotSentMessage(plan.firstUnsentRow, plan.lastUnsentRow);
    for (const TablePiece& piece : plan.pieces) {
        const QString path = basePath + piece.suffix + QStringLiteral(".bmp");
        if (!drawTablePiece(table, piece).save(path, "BMP")) {
            result.error = QStringLiteral("%1: the picture could not be saved").arg(path);
            return result;
        }
        result.files.append(path);
    }
    removeStalePieces(basePath, result.files);
    result.ok = true;
    return result;
}

void applyTableEdit(TFodder& material, const TableEditResult& result)
{
    material.tableParam1 = result.lineColorIndex;
    material.tableParam2 = result.lineWidthIndex;
    material.displayMode = result.displayMode;
    material.remainTime = result.remainTime;
    if (result.pieces.isEmpty())
        return;
    material.fileList.clear();
    for (const QString& path : result.pieces)
        material.fileList.append(TFileInfo{qint32(material.fileList.size() + 1), 0, path});
}

int stopTimeFromText(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

QString tableTimeStamp(const QDateTime& now)
{
    // Characters 3 to 14 of yyMMddHHmmsszzz.
    return now.toString(QStringLiteral("yyMMddHHmmsszzz")).mid(2, 12);
}

QString tableBaseOfPiece(const QString& piecePath)
{
    static const QRegularExpression suffix(QStringLiteral("__[ij]?\\d+\\.bmp$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = suffix.match(piecePath);
    if (m.hasMatch())
        return piecePath.left(m.capturedStart());
    const qsizetype nameStart =
        std::max(piecePath.lastIndexOf(QLatin1Char('/')), piecePath.lastIndexOf(QLatin1Char('\\'))) + 1;
    const qsizetype cut = piecePath.indexOf(QStringLiteral("__"), nameStart);
    if (cut >= 0)
        return piecePath.left(cut);
    return tableBaseOfFile(piecePath);
}

QString tableBaseOfFile(const QString& tablePath)
{
    const qsizetype nameStart =
        std::max(tablePath.lastIndexOf(QLatin1Char('/')), tablePath.lastIndexOf(QLatin1Char('\\'))) + 1;
    const qsizetype dot = tablePath.lastIndexOf(QLatin1Char('.'));
    return dot > nameStart ? tablePath.left(dot) : tablePath;
}

QString tableBasePath(const TFodder& material, const DataFolder& folders, const QDateTime& now)
{
    if (!material.fileList.isEmpty() && !material.fileList.first().path.isEmpty())
        return tableBaseOfPiece(material.fileList.first().path);
    return folders.tableFolder() + QStringLiteral("/t") + tableTimeStamp(now);
}

} // namespace ledsign
