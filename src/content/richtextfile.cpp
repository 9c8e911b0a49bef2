#include "content/richtextfile.h"

#include "model/atomicfile.h"
#include "model/codec.h"

#include <QFile>
#include <QHash>
#include <QFileInfo>
#include <QList>
#include <QStringDecoder>

#include <cctype>

namespace ledsign {

namespace {

const QChar kOpenQuote(0x201C);
const QChar kCloseQuote(0x201D);
const QChar kLineSeparator(0x2028);
constexpr int kMaxGroupDepth = 200;

// ---- writing ----

QByteArray escapeRtfText(const QString& text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\n' || ch == kLineSeparator) {
            out += "\\line ";
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u >= 0x80) {
            // GBK bytes for a reader that knows the code page, \u for the rest.
            QString one(ch);
            if (ch.isHighSurrogate() && i + 1 < text.size()) {
                one += text.at(i + 1);
                ++i;
            }
            for (QChar part : one) {
                out += "\\u" + QByteArray::number(qint16(part.unicode())) + '?';
            }
        }
    }
    return out;
}

QByteArray hexEscaped(const QString& text)
{
    QByteArray out;
    for (char c : codec::encode(text)) {
        const quint8 b = quint8(c);
        if (b >= 0x80 || b == '\\' || b == '{' || b == '}' || b == ';')
            out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

// ---- reading ----

struct RtfState {
    int font = 0;
    int halfPoints = 24;
    int color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int skipAfterUnicode = 1;
    enum Destination { Body, FontTable, ColorTable, Skip } destination = Body;
};

class RtfReader {
public:
    RtfReader(const QByteArray& rtf, RichTextDocument& doc) : in_(rtf), doc_(doc) {}

    bool run(QString* error)
    {
        if (!in_.startsWith("{\\rtf")) {
            if (error)
                *error = QStringLiteral("The file is not rich text (RTF).");
            return false;
        }
        doc_.clear();
        QList<RtfState> stack;
        RtfState st;
        int pendingSkip = 0;
        while (pos_ < in_.size()) {
            const char c = in_.at(pos_++);
            if (c == '{') {
                if (stack.size() >= kMaxGroupDepth) {
                    if (error)
                        *error = QStringLiteral("The rich-text file is nested too deeply.");
                    return false;
                }
                flushFontName(st);
                stack.append(st);
                groupStart_ = true;
                continue;
            }
            if (c == '}') {
                flushFontName(st);
                if (stack.isEmpty())
                    break; // end of the document
                st = stack.takeLast();
                groupStart_ = false;
                continue;
            }
            if (c == '\\') {
                controlWord(st, pendingSkip);
                groupStart_ = false;
                continue;
            }
            groupStart_ = false;
            if (c == '\r' || c == '\n')
                continue;
            if (pendingSkip > 0) {
                --pendingSkip;
                continue;
            }
            addByte(st, c);
        }
        flushRun(st);
        return true;
    }

private:
    TextAttributes attributesOf(const RtfState& st) const
    {
        TextAttributes a = doc_.insertionAttributes();
        if (st.font >= 0 && fonts_.contains(st.font))
            a.fontName = fonts_.value(st.font);
        a.pointSize = st.halfPoints > 0 ? (st.halfPoints + 1) / 2 : a.pointSize;
        if (st.color > 0 && st.color < colors_.size())
            a.color = colors_.at(st.color);
        a.bold = st.bold;
        a.italic = st.italic;
        a.underline = st.underline;
        a.strikeOut = st.strikeOut;
        return a;
    }

    void addByte(RtfState& st, char c)
    {
        if (st.destination == RtfState::Skip)
            return;
        if (st.destination == RtfState::FontTable) {
            if (c == ';')
                flushFontName(st);
            else
                fontBytes_ += c;
            return;
        }
        if (st.destination == RtfState::ColorTable) {
            if (c == ';') {
                colors_.append(colorSet_ ? QColor(red_, green_, blue_) : QColor());
                red_ = green_ = blue_ = 0;
                colorSet_ = false;
            }
            return;
        }
        startText(st);
        bytes_ += c;
    }

    void addText(RtfState& st, const QString& text)
    {
        if (st.destination != RtfState::Body)
            return;
        startText(st);
        decodeBytes();
        text_ += text;
    }

    // Begins text in the state's look, ending the run before it when the look changed.
    void startText(const RtfState& st)
    {
        const TextAttributes a = attributesOf(st);
        if (haveRun_ && !(a == runAttributes_))
            flushRun(st);
        if (!haveRun_) {
            runAttributes_ = a;
            haveRun_ = true;
        }
        if (breakPending_) {
            decodeBytes();
            text_ += QLatin1Char('\n');
            breakPending_ = false;
        }
    }

    void decodeBytes()
    {
        if (!bytes_.isEmpty()) {
            text_ += codec::decode(bytes_);
            bytes_.clear();
        }
    }

    void flushRun(const RtfState&)
    {
        decodeBytes();
        if (haveRun_ && !text_.isEmpty()) {
            doc_.append(restoreQuotes(text_), runAttributes_);
            for (int b = firstUnaligned_; b < doc_.blockCount(); ++b)
                doc_.setAlignment(b, alignments_.value(b, ParagraphAlignment::Left));
            firstUnaligned_ = doc_.blockCount() - 1;
        }
        text_.clear();
        haveRun_ = false;
    }

    void flushFontName(RtfState& st)
    {
        if (st.destination == RtfState::FontTable && !fontBytes_.isEmpty()) {
            QString name = codec::decode(fontBytes_).trimmed();
            if (name.endsWith(QLatin1Char(';')))
                name.chop(1);
            if (!name.isEmpty())
                fonts_.insert(st.font, name);
        }
        fontBytes_.clear();
    }

    void paragraphEnd(RtfState& st)
    {
        // The break is written when more text follows, so that a final \par
        // leaves no empty line behind.
        if (breakPending_) {
            startText(st);
        }
        breakPending_ = true;
        ++paragraph_;
        alignments_[paragraph_] = alignment_;
    }

    void controlWord(RtfState& st, int& pendingSkip)
    {
        if (pos_ >= in_.size())
            return;
        const char first = in_.at(pos_);
        if (!std::isalpha(static_cast<unsigned char>(first))) {
            ++pos_;
            switch (first) {
            case '\'': {
                const QByteArray hex = in_.mid(pos_, 2);
                pos_ += 2;
                bool ok = false;
                const int v = hex.toInt(&ok, 16);
                if (!ok)
                    return;
                if (pendingSkip > 0) {
                    --pendingSkip;
                    return;
                }
                addByte(st, char(v));
                return;
            }
            case '*':
                st.destination = RtfState::Skip;
                return;
            case '~':
                addText(st, QStringLiteral(" "));
                return;
            case '\\':
            case '{':
            case '}':
                addByte(st, first);
                return;
            case '\r':
            case '\n':
                paragraphEnd(st);
                return;
            default:
                return;
            }
        }
        qsizetype end = pos_;
        while (end < in_.size() && std::isalpha(static_cast<unsigned char>(in_.at(end))))
            ++end;
        const QByteArray word = in_.mid(pos_, end - pos_);
        bool hasParam = false;
        int param = 0;
        qsizetype numEnd = end;
        if (numEnd < in_.size() && (in_.at(numEnd) == '-' || std::isdigit(static_cast<unsigned char>(in_.at(numEnd))))) {
            ++numEnd;
            while (numEnd < in_.size() && std::isdigit(static_cast<unsigned char>(in_.at(numEnd))) && numEnd - end < 11)
                ++numEnd;
            param = in_.mid(end, numEnd - end).toInt(&hasParam);
        }
        pos_ = numEnd;
        if (pos_ < in_.size() && in_.at(pos_) == ' ')
            ++pos_;
        handleWord(st, word, hasParam, param, pendingSkip);
    }

    void handleWord(RtfState& st, const QByteArray& w, bool hasParam, int param, int& pendingSkip)
    {
        const int p = hasParam ? param : 1;
        if (w == "fonttbl") {
            st.destination = RtfState::FontTable;
        } else if (w == "colortbl") {
            st.destination = RtfState::ColorTable;
        } else if (w == "stylesheet" || w == "info" || w == "pict" || w == "header" || w == "footer"
                   || w == "footnote" || w == "object" || w == "listtable" || w == "listoverridetable"
                   || w == "generator" || w == "themedata" || w == "latentstyles" || w == "field"
                   || w == "fldinst" || w == "xmlnstbl" || w == "rsidtbl" || w == "datastore") {
            if (groupStart_ || st.destination != RtfState::Body)
                st.destination = RtfState::Skip;
        } else if (w == "f") {
            if (st.destination == RtfState::FontTable)
                flushFontName(st);
            st.font = param;
        } else if (w == "red") {
            red_ = param;
            colorSet_ = true;
        } else if (w == "green") {
            green_ = param;
            colorSet_ = true;
        } else if (w == "blue") {
            blue_ = param;
            colorSet_ = true;
        } else if (w == "fs") {
            st.halfPoints = hasParam ? param : 24;
        } else if (w == "cf") {
            st.color = param;
        } else if (w == "b") {
            st.bold = p != 0;
        } else if (w == "i") {
            st.italic = p != 0;
        } else if (w == "ul") {
            st.underline = p != 0;
        } else if (w == "ulnone") {
            st.underline = false;
        } else if (w == "strike") {
            st.strikeOut = p != 0;
        } else if (w == "plain") {
            const int font = st.font;
            const auto dest = st.destination;
            const int uc = st.skipAfterUnicode;
            st = RtfState{};
            st.font = font;
            st.destination = dest;
            st.skipAfterUnicode = uc;
        } else if (w == "pard") {
            alignment_ = ParagraphAlignment::Left;
            alignments_[paragraph_] = alignment_;
        } else if (w == "ql" || w == "qr" || w == "qc" || w == "qj") {
            alignment_ = w == "qr" ? ParagraphAlignment::Right
                : w == "qc"        ? ParagraphAlignment::Centre
                                   : ParagraphAlignment::Left;
            alignments_[paragraph_] = alignment_;
        } else if (w == "par") {
            if (st.destination == RtfState::Body)
                paragraphEnd(st);
        } else if (w == "line") {
            addText(st, QString(kLineSeparator));
        } else if (w == "tab") {
            addText(st, QStringLiteral("\t"));
        } else if (w == "uc") {
            st.skipAfterUnicode = qBound(0, param, 4);
        } else if (w == "u") {
            addText(st, QString(QChar(char16_t(quint16(qint16(param))))));
            pendingSkip = st.skipAfterUnicode;
        } else if (w == "emdash") {
            addText(st, QString(QChar(0x2014)));
        } else if (w == "lquote") {
            addText(st, QString(QChar(0x2018)));
        } else if (w == "rquote") {
            addText(st, QString(QChar(0x2019)));
        } else if (w == "ldblquote") {
            addText(st, QString(kOpenQuote));
        } else if (w == "rdblquote") {
            addText(st, QString(kCloseQuote));
        } else if (w == "bullet") {
            addText(st, QString(QChar(0x2022)));
        }
    }

    const QByteArray& in_;
    RichTextDocument& doc_;
    qsizetype pos_ = 0;
    bool groupStart_ = false;
    QHash<int, QString> fonts_;
    QByteArray fontBytes_;
    QList<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;
    QByteArray bytes_;
    QString text_;
    TextAttributes runAttributes_;
    bool haveRun_ = false;
    bool breakPending_ = false;
    int paragraph_ = 0;
    int firstUnaligned_ = 0;
    ParagraphAlignment alignment_ = ParagraphAlignment::Left;
    QHash<int, ParagraphAlignment> alignments_;
};

} // namespace

QString protectQuotes(const QString& text)
{
    QString out = text;
    out.replace(kOpenQuote, QLatin1String("?*"));
    out.replace(kCloseQuote, QLatin1String("*?"));
    return out;
}

QString restoreQuotes(const QString& text)
{
    QString out = text;
    out.replace(QLatin1String("?*"), QString(kOpenQuote));
    out.replace(QLatin1String("*?"), QString(kCloseQuote));
    return out;
}

QByteArray writeRtf(const RichTextDocument& document)
{
    QStringList fonts;
    QList<QColor> colors;
    auto fontIndex = [&](const QString& name) {
        qsizetype i = fonts.indexOf(name);
        if (i < 0) {
            fonts.append(name);
            i = fonts.size() - 1;
        }
        return int(i);
    };
    auto colorIndex = [&](const QColor& c) {
        if (!c.isValid())
            return 0;
        for (qsizetype i = 0; i < colors.size(); ++i)
            if (colors.at(i).rgb() == c.rgb())
                return int(i) + 1;
        colors.append(c);
        return int(colors.size());
    };

    QByteArray body;
    const int blocks = document.blockCount();
    for (int b = 0; b < blocks; ++b) {
        const RichTextBlock block = document.block(b);
        body += "\\pard";
        body += block.alignment == ParagraphAlignment::Right ? "\\qr"
            : block.alignment == ParagraphAlignment::Centre  ? "\\qc"
                                                             : "\\ql";
        QList<RichTextFragment> fragments = block.fragments;
        if (fragments.isEmpty())
            fragments.append(RichTextFragment{QString(), block.endAttributes, block.endLine});
        for (const RichTextFragment& f : fragments) {
            const TextAttributes& a = f.attributes;
            body += "\\plain\\f" + QByteArray::number(fontIndex(a.fontName)) + "\\fs"
                + QByteArray::number(qMax(1, a.pointSize) * 2) + "\\cf" + QByteArray::number(colorIndex(a.color));
            if (a.bold)
                body += "\\b";
            if (a.italic)
                body += "\\i";
            if (a.underline)
                body += "\\ul";
            if (a.strikeOut)
                body += "\\strike";
            body += ' ';
            body += escapeRtfText(protectQuotes(f.text));
        }
        if (b + 1 < blocks)
            body += "\\par\r\n";
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\r\n{\\fonttbl";
    if (fonts.isEmpty())
        fonts.append(QStringLiteral("Arial"));
    for (qsizetype i = 0; i < fonts.size(); ++i)
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset134 " + hexEscaped(fonts.at(i)) + ";}";
    out += "}\r\n{\\colortbl ;";
    for (const QColor& c : colors)
        out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
            + QByteArray::number(c.blue()) + ';';
    out += "}\r\n";
    out += body;
    out += "\r\n}\r\n";
    return out;
}

bool readRtf(const QByteArray& rtf, RichTextDocument& document, QString* error)
{
    RtfReader reader(rtf, document);
    if (!reader.run(error)) {
        document.clear();
        return false;
    }
    return true;
}

QStringList decodeTextLines(const QByteArray& bytes)
{
    QByteArray raw = bytes;
    QString text;
    if (raw.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(raw.mid(3));
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8.decode(raw);
        if (utf8.hasError())
            text = codec::decode(raw);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char('\n'));
}

QByteArray encodeTextLines(const QStringList& lines)
{
    return codec::encode(lines.join(QLatin1String("\r\n")));
}

bool readFileBytes(const QString& path, QByteArray* bytes, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return false;
    }
    *bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

bool writeFileBytes(const QString& path, const QByteArray& bytes, QString* error)
{
    return writeFileAtomically(path, bytes, error);
}

bool loadTextEditorFile(const QString& path, RichTextDocument& document, const TextAttributes& plainLook,
                        QString* error)
{
    QByteArray bytes;
    if (!readFileBytes(path, &bytes, error))
        return false;
    if (QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0) {
        document.clear();
        const QStringList lines = decodeTextLines(bytes);
        if (!lines.isEmpty())
            document.append(restoreQuotes(lines.join(QLatin1Char('\n'))), plainLook);
        return true;
    }
    return readRtf(bytes, document, error);
}

} // namespace ledsign
