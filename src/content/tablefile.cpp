#include "content/tablefile.h"

#include "language/language.h"
#include "model/atomicfile.h"
#include "model/codec.h"

#include <QBuffer>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QtEndian>

namespace ledsign {

namespace {

constexpr char kPropPrefix[] = "CellProperties.";

QByteArray alignmentName(CellAlignment a)
{
    switch (a) {
    case CellAlignment::Centre:
        return "taCenter";
    case CellAlignment::Right:
        return "taRightJustify";
    case CellAlignment::Left:
        break;
    }
    return "taLeftJustify";
}

bool alignmentOfName(const QByteArray& name, CellAlignment* a)
{
    if (name == "taLeftJustify")
        *a = CellAlignment::Left;
    else if (name == "taCenter")
        *a = CellAlignment::Centre;
    else if (name == "taRightJustify")
        *a = CellAlignment::Right;
    else
        return false;
    return true;
}

class RecordWriter {
public:
    explicit RecordWriter(QByteArray& out) : out_(out) {}

    void begin(const char* className)
    {
        out_.append(kPropertyRecordSignature, 4);
        shortString(className);
        out_.append('\0'); // object name: empty
    }
    void end()
    {
        out_.append('\0'); // end of properties
        out_.append('\0'); // end of sub-records
    }
    void integer(const QByteArray& name, qint64 v)
    {
        shortString(name);
        if (v >= -128 && v <= 127) {
            out_.append(char(tabletag::kInt8));
            out_.append(char(qint8(v)));
        } else if (v >= -32768 && v <= 32767) {
            out_.append(char(tabletag::kInt16));
            appendLe<qint16>(qint16(v));
        } else {
            out_.append(char(tabletag::kInt32));
            appendLe<qint32>(qint32(v));
        }
    }
    void boolean(const QByteArray& name, bool v)
    {
        shortString(name);
        out_.append(char(v ? tabletag::kTrue : tabletag::kFalse));
    }
    // An empty text is left out.
    void text(const QByteArray& name, const QString& v)
    {
        if (v.isEmpty())
            return;
        shortString(name);
        const quint8 tag = textTagFor(v);
        out_.append(char(tag));
        if (tag == tabletag::kShortText) {
            const QByteArray b = v.toLatin1();
            out_.append(char(b.size()));
            out_.append(b);
        } else if (tag == tabletag::kLongText) {
            const QByteArray b = v.toLatin1();
            appendLe<qint32>(qint32(b.size()));
            out_.append(b);
        } else if (tag == tabletag::kUtf8Text) {
            const QByteArray b = v.toUtf8();
            appendLe<qint32>(qint32(b.size()));
            out_.append(b);
        } else {
            appendLe<qint32>(qint32(v.size()));
            for (QChar ch : v)
                appendLe<quint16>(ch.unicode());
        }
    }
    void identifier(const QByteArray& name, const QByteArray& v)
    {
        shortString(name);
        out_.append(char(tabletag::kIdentifier));
        shortString(v);
    }
    void color(const QByteArray& name, TableColor v)
    {
        const QByteArray n = tableColorName(v);
        if (!n.isEmpty())
            identifier(name, n);
        else {
            shortString(name);
            out_.append(char(tabletag::kInt32));
            appendLe<qint32>(qint32(v));
        }
    }
    void set(const QByteArray& name, const QList<QByteArray>& members)
    {
        shortString(name);
        out_.append(char(tabletag::kSet));
        for (const QByteArray& m : members)
            shortString(m);
        out_.append('\0');
    }

private:
    void shortString(const QByteArray& s)
    {
        const QByteArray b = s.left(255);
        out_.append(char(b.size()));
        out_.append(b);
    }
    template<typename T> void appendLe(T v)
    {
        char buf[sizeof(T)];
        qToLittleEndian<T>(v, buf);
        out_.append(buf, sizeof(T));
    }

    QByteArray& out_;
};

void writeCellProperties(RecordWriter& w, const TableCellProperties& p)
{
    const QByteArray pre(kPropPrefix);
    w.begin(kCellPropertiesRecordClass);
    w.boolean(pre + "IsBaseCell", p.isBaseCell);
    w.integer(pre + "CellSpanX", p.cellSpanX);
    w.integer(pre + "CellSpanY", p.cellSpanY);
    w.integer(pre + "OwnerCol", p.ownerCol);
    w.integer(pre + "OwnerRow", p.ownerRow);
    w.identifier(pre + "Alignment", alignmentName(p.alignment));
    w.color(pre + "BorderColor", p.borderColor);
    w.integer(pre + "BorderWidth", p.borderWidth);
    w.color(pre + "BrushColor", p.brushColor);
    w.identifier(pre + "BrushStyle", p.brushStyle);
    w.color(pre + "FontColor", p.fontColor);
    w.text(pre + "FontName", p.fontName);
    w.integer(pre + "FontSize", p.fontSize);
    QList<QByteArray> style;
    if (p.bold)
        style << "fsBold";
    if (p.italic)
        style << "fsItalic";
    if (p.underline)
        style << "fsUnderline";
    if (p.strikeOut)
        style << "fsStrikeOut";
    w.set(pre + "FontStyle", style);
    w.identifier(pre + "Editor", p.editor);
    w.boolean(pre + "ReadOnly", p.readOnly);
    w.identifier(pre + "VAlignment", p.vAlignment);
    w.boolean(pre + "WordWrap", p.wordWrap);
    w.integer(pre + "NodeLevel", p.nodeLevel);
    w.boolean("HasGraphic", false);
    w.end();
}

QString joinNumbers(const QList<int>& values)
{
    QStringList parts;
    for (int v : values)
        parts << QString::number(v);
    return parts.join(QLatin1Char(','));
}

// ---- reading ----

struct Value {
    enum Kind { Integer, Boolean, Text, Identifier, Set } kind = Integer;
    qint64 integer = 0;
    bool boolean = false;
    QString text;
    QByteArray identifier;
    QList<QByteArray> members;
};

struct Property {
    QByteArray name;
    Value value;
};

struct Record {
    QByteArray className;
    QList<Property> properties;
};

class RecordReader {
public:
    explicit RecordReader(const QByteArray& bytes) : b_(bytes) {}

    qsizetype remaining() const { return b_.size() - pos_; }
    const QString& error() const { return error_; }

    bool readRecord(Record& rec)
    {
        const qsizetype start = pos_;
        if (remaining() < 4 || b_.mid(pos_, 4) != QByteArray(kPropertyRecordSignature)) {
            return fail(QStringLiteral("no property record at byte %1").arg(start));
        }
        pos_ += 4;
        QByteArray objectName;
        if (!shortString(rec.className) || !shortString(objectName))
            return false;
        while (true) {
            quint8 len = 0;
            if (!byte(len))
                return false;
            if (len == 0)
                break;
            --pos_;
            Property p;
            if (!shortString(p.name) || !value(p.value))
                return false;
            rec.properties.append(p);
        }
        quint8 children = 0;
        if (!byte(children))
            return false;
        if (children != 0)
            return fail(QStringLiteral("unexpected sub-record at byte %1").arg(pos_ - 1));
        return true;
    }

private:
    bool fail(const QString& why)
    {
        if (error_.isEmpty())
            error_ = why;
        return false;
    }
    bool need(qint64 n)
    {
        if (n < 0 || n > remaining())
            return fail(QStringLiteral("the file ends too early (byte %1)").arg(pos_));
        return true;
    }
    bool byte(quint8& v)
    {
        if (!need(1))
            return false;
        v = quint8(b_.at(pos_++));
        return true;
    }
    template<typename T> bool le(T& v)
    {
        if (!need(sizeof(T)))
            return false;
        v = qFromLittleEndian<T>(b_.constData() + pos_);
        pos_ += sizeof(T);
        return true;
    }
    bool bytes(qint64 n, QByteArray& out)
    {
        if (!need(n))
            return false;
        out = b_.mid(pos_, n);
        pos_ += n;
        return true;
    }
    bool shortString(QByteArray& out)
    {
        quint8 n = 0;
        return byte(n) && bytes(n, out);
    }
    bool value(Value& v)
    {
        const qsizetype at = pos_;
        quint8 tag = 0;
        if (!byte(tag))
            return false;
        switch (tag) {
        case tabletag::kInt8: {
            qint8 x = 0;
            v.kind = Value::Integer;
            if (!le(x))
                return false;
            v.integer = x;
            return true;
        }
        case tabletag::kInt16: {
            qint16 x = 0;
            v.kind = Value::Integer;
            if (!le(x))
                return false;
            v.integer = x;
            return true;
        }
        case tabletag::kInt32: {
            qint32 x = 0;
            v.kind = Value::Integer;
            if (!le(x))
                return false;
            v.integer = x;
            return true;
        }
        case tabletag::kFalse:
        case tabletag::kTrue:
            v.kind = Value::Boolean;
            v.boolean = tag == tabletag::kTrue;
            return true;
        case tabletag::kShortText: {
            QByteArray raw;
            v.kind = Value::Text;
            if (!shortString(raw))
                return false;
            v.text = codec::decode(raw);
            return true;
        }
        case tabletag::kLongText:
        case tabletag::kUtf8Text:
        case tabletag::kWideText: {
            qint32 n = 0;
            QByteArray raw;
            v.kind = Value::Text;
            if (!le(n))
                return false;
            const qint64 size = tag == tabletag::kWideText ? qint64(n) * 2 : qint64(n);
            if (!bytes(size, raw))
                return false;
            if (tag == tabletag::kLongText)
                v.text = codec::decode(raw);
            else if (tag == tabletag::kUtf8Text)
                v.text = QString::fromUtf8(raw);
            else
                v.text = QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.constData()), n);
            return true;
        }
        case tabletag::kIdentifier:
            v.kind = Value::Identifier;
            return shortString(v.identifier);
        case tabletag::kSet:
            v.kind = Value::Set;
            while (true) {
                QByteArray m;
                if (!shortString(m))
                    return false;
                if (m.isEmpty())
                    return true;
                v.members.append(m);
            }
        default:
            return fail(QStringLiteral("unknown value tag %1 at byte %2")
                            .arg(QString::number(tag, 16).rightJustified(2, QLatin1Char('0')))
                            .arg(at));
        }
    }

    const QByteArray& b_;
    qsizetype pos_ = 0;
    QString error_;
};

bool asInt(const Value& v, int* out)
{
    if (v.kind != Value::Integer)
        return false;
    *out = int(v.integer);
    return true;
}

bool asColor(const Value& v, TableColor* out)
{
    if (v.kind == Value::Integer) {
        *out = TableColor(quint32(qint32(v.integer)));
        return true;
    }
    return v.kind == Value::Identifier && tableColorOfName(v.identifier, out);
}

// Applies one cell property; unknown names and values of the wrong kind are
// passed over so that a property the editor does not know cannot spoil a file.
void applyCellProperty(TableCellProperties& p, const QByteArray& fullName, const Value& v)
{
    if (!fullName.startsWith(kPropPrefix))
        return;
    const QByteArray n = fullName.mid(int(sizeof(kPropPrefix)) - 1);
    if (n == "IsBaseCell" && v.kind == Value::Boolean)
        p.isBaseCell = v.boolean;
    else if (n == "CellSpanX")
        asInt(v, &p.cellSpanX);
    else if (n == "CellSpanY")
        asInt(v, &p.cellSpanY);
    else if (n == "OwnerCol")
        asInt(v, &p.ownerCol);
    else if (n == "OwnerRow")
        asInt(v, &p.ownerRow);
    else if (n == "Alignment" && v.kind == Value::Identifier)
        alignmentOfName(v.identifier, &p.alignment);
    else if (n == "BorderColor")
        asColor(v, &p.borderColor);
    else if (n == "BorderWidth")
        asInt(v, &p.borderWidth);
    else if (n == "BrushColor")
        asColor(v, &p.brushColor);
    else if (n == "BrushStyle" && v.kind == Value::Identifier)
        p.brushStyle = v.identifier;
    else if (n == "FontColor")
        asColor(v, &p.fontColor);
    else if (n == "FontName" && v.kind == Value::Text)
        p.fontName = v.text;
    else if (n == "FontSize")
        asInt(v, &p.fontSize);
    else if (n == "FontStyle" && v.kind == Value::Set) {
        p.bold = v.members.contains("fsBold");
        p.italic = v.members.contains("fsItalic");
        p.underline = v.members.contains("fsUnderline");
        p.strikeOut = v.members.contains("fsStrikeOut");
    } else if (n == "Editor" && v.kind == Value::Identifier)
        p.editor = v.identifier;
    else if (n == "ReadOnly" && v.kind == Value::Boolean)
        p.readOnly = v.boolean;
    else if (n == "VAlignment" && v.kind == Value::Identifier)
        p.vAlignment = v.identifier;
    else if (n == "WordWrap" && v.kind == Value::Boolean)
        p.wordWrap = v.boolean;
    else if (n == "NodeLevel")
        asInt(v, &p.nodeLevel);
}

const Value* find(const Record& rec, const char* name)
{
    for (const Property& p : rec.properties) {
        if (p.name == name)
            return &p.value;
    }
    return nullptr;
}

QList<int> numberList(const Value* v)
{
    QList<int> out;
    if (!v || v->kind != Value::Text)
        return out;
    for (const QString& part : v->text.split(QLatin1Char(','))) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        out.append(ok ? n : -1);
    }
    return out;
}

constexpr int kTableTextCategory = 6;

QString damaged(const QString& why)
{
    return GetLgText(kTableTextCategory, QStringLiteral("warn_table_damaged")).arg(why);
}

} // namespace

quint8 textTagFor(const QString& text)
{
    bool ascii = true;
    for (QChar ch : text) {
        if (ch.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.size() <= 255 ? tabletag::kShortText : tabletag::kLongText;
    return text.toUtf8().size() < 2 * text.size() ? tabletag::kUtf8Text : tabletag::kWideText;
}

QByteArray TableFileWriter::write(const TableModel& table, qint32 gridId)
{
    QByteArray out;
    RecordWriter w(out);
    w.begin(kGridRecordClass);
    w.integer("ColCount", table.columnCount());
    w.integer("RowCount", table.rowCount());
    w.text("ColWidths", joinNumbers(table.columnWidths()));
    w.text("RowHeights", joinNumbers(table.rowHeights()));
    w.boolean("FullGrid", true);
    w.integer("ID", gridId);
    w.end();
    for (int c = 0; c < table.columnCount(); ++c) {
        for (int r = 0; r < table.rowCount(); ++r) {
            const TableCell& cell = table.cell(c, r);
            if (cell.text.isEmpty() && !cell.hasProperties)
                continue;
            w.begin(kCellRecordClass);
            w.integer("Col", c);
            w.integer("Row", r);
            w.text("Cell", cell.text);
            w.boolean("HasProp", cell.hasProperties);
            w.end();
            if (cell.hasProperties)
                writeCellProperties(w, cell.properties);
        }
    }
    return out;
}

bool TableFileWriter::write(const TableModel& table, QIODevice& device, QString* error)
{
    const QByteArray bytes = write(table);
    if (device.write(bytes) != bytes.size()) {
        if (error)
            *error = device.errorString();
        return false;
    }
    return true;
}

bool TableFileWriter::write(const TableModel& table, const QString& path, QString* error)
{
    return writeFileAtomically(path, write(table), error);
}

bool TableFileReader::read(const QByteArray& bytes, TableModel& table, QString* error)
{
    auto refuse = [&](const QString& why) {
        if (error)
            *error = damaged(why);
        return false;
    };
    RecordReader in(bytes);
    Record grid;
    if (!in.readRecord(grid))
        return refuse(in.error());
    if (grid.className != kGridRecordClass)
        return refuse(QStringLiteral("the first record is not a grid record"));
    int cols = 0;
    int rows = 0;
    const Value* colValue = find(grid, "ColCount");
    const Value* rowValue = find(grid, "RowCount");
    if (!colValue || !rowValue || !asInt(*colValue, &cols) || !asInt(*rowValue, &rows))
        return refuse(QStringLiteral("the grid size is missing"));
    if (cols < 2 || rows < 2 || cols > kMaxTableColumns || rows > kMaxTableRows)
        return refuse(QStringLiteral("a grid of %1 x %2 cells is out of range").arg(cols).arg(rows));

    TableModel t;
    t.backgroundIndex = table.backgroundIndex;
    t.lineWidthIndex = table.lineWidthIndex;
    t.lineColorIndex = table.lineColorIndex;
    t.resize(cols, rows);
    const QList<int> widths = numberList(find(grid, "ColWidths"));
    const QList<int> heights = numberList(find(grid, "RowHeights"));
    for (int c = 0; c < cols && c < widths.size(); ++c)
        if (widths[c] >= 0)
            t.setColumnWidth(c, widths[c]);
    for (int r = 0; r < rows && r < heights.size(); ++r)
        if (heights[r] >= 0)
            t.setRowHeight(r, heights[r]);

    while (in.remaining() >= 2) {
        Record rec;
        if (!in.readRecord(rec))
            return refuse(in.error());
        if (rec.className != kCellRecordClass)
            return refuse(QStringLiteral("a record of class %1 where a cell was expected")
                              .arg(QString::fromLatin1(rec.className)));
        int col = -1;
        int row = -1;
        const Value* cv = find(rec, "Col");
        const Value* rv = find(rec, "Row");
        if (!cv || !rv || !asInt(*cv, &col) || !asInt(*rv, &row) || !t.isValidCell(col, row))
            return refuse(QStringLiteral("a cell lies outside the grid"));
        TableCell cell;
        if (const Value* text = find(rec, "Cell"); text && text->kind == Value::Text)
            cell.text = text->text;
        const Value* has = find(rec, "HasProp");
        if (has && has->kind == Value::Boolean && has->boolean) {
            Record props;
            if (!in.readRecord(props))
                return refuse(in.error());
            if (props.className != kCellPropertiesRecordClass)
                return refuse(QStringLiteral("cell (%1, %2) lacks its properties").arg(col).arg(row));
            cell.hasProperties = true;
            cell.properties.ownerCol = col;
            cell.properties.ownerRow = row;
            for (const Property& p : props.properties)
                applyCellProperty(cell.properties, p.name, p.value);
        }
        t.setCell(col, row, cell);
    }
    t.rebuildMergesFromProperties();
    table = t;
    return true;
}

bool TableFileReader::read(QIODevice& device, TableModel& table, QString* error)
{
    const QByteArray bytes = device.readAll();
    return read(bytes, table, error);
}

bool TableFileReader::read(const QString& path, TableModel& table, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return false;
    }
    return read(f, table, error);
}

} // namespace ledsign
