#include "textprograminbox.h"

#include "model/codec.h"
#include "cardwire.h"

#include <QRegularExpression>

namespace ledsign::card {

namespace {

// Text-program frame, relative to the comma after the material id.
constexpr int kDisplayMode = 1;
constexpr int kDisplaySpeed = 2;
constexpr int kRemainTime = 3;
constexpr int kKindByte = 16;         // 0x03
constexpr int kSignature = 20;        // "all"
constexpr int kTextLength = 23;       // LE32: text bytes + 1
constexpr int kText = 28;
constexpr quint8 kTextProgramMark = 0x03;
constexpr int kMaxIdLength = 32;
// A text program names a material by its 9-digit id alone; a playbill's entry
// runs its id, type and place together into 32 characters.
constexpr int kMaxEntryIdLength = 16;

const QByteArray kEndMarker("-1,");

bool isDigits(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

} // namespace

bool TextProgramInbox::isTextProgramDescription(const QByteArray& description)
{
    TextProgramInbox probe;
    QString ignored;
    return probe.takeDescription(description, ignored);
}

bool TextProgramInbox::takeDescription(const QByteArray& description, QString& error)
{
    static const QRegularExpression times(QStringLiteral("^([0-2][0-9]:[0-5][0-9])-([0-2][0-9]:[0-5][0-9])$"));
    const QString text = codec::decode(description);
    const qsizetype firstComma = text.indexOf(u',');
    if (firstComma <= 0 || !isDigits(text.left(firstComma))) {
        error = QStringLiteral("text program without a first page id");
        return false;
    }
    QList<TextProgramPage> pages;
    qsizetype at = firstComma;
    while (at < text.size()) {
        if (text[at] != u',') {
            error = QStringLiteral("page %1 does not start with a comma").arg(pages.size() + 1);
            return false;
        }
        const qsizetype stop = text.indexOf(u'.', at);
        const QRegularExpressionMatch m = times.match(stop < 0 ? QString() : text.mid(at + 1, stop - at - 1));
        if (!m.hasMatch()) {
            error = QStringLiteral("page %1 has no times HH:mm-HH:mm").arg(pages.size() + 1);
            return false;
        }
        TextProgramPage page;
        page.startTime = m.captured(1);
        page.endTime = m.captured(2);
        at = stop + 1;
        while (at < text.size() && text[at] != u',') {
            const qsizetype end = text.indexOf(u';', at);
            if (end < 0) {
                error = QStringLiteral("material entry without its semicolon");
                return false;
            }
            const QStringList fields = text.mid(at, end - at).split(u'#');
            bool numeric = false;
            const int playTimes = fields.size() == 3 ? fields[1].toInt(&numeric) : 0;
            if (fields.size() != 3 || !isDigits(fields[0]) || fields[0].size() > kMaxEntryIdLength || !numeric
                || playTimes < 0) {
                error = QStringLiteral("material entry \"%1\" is not id#times#tag").arg(text.mid(at, end - at));
                return false;
            }
            page.entries.append({fields[0], playTimes, fields[2]});
            at = end + 1;
        }
        if (page.entries.isEmpty()) {
            error = QStringLiteral("page %1 has no material").arg(pages.size() + 1);
            return false;
        }
        pages.append(page);
    }
    if (pages.isEmpty()) {
        error = QStringLiteral("text program without pages");
        return false;
    }
    m_firstPageId = text.left(firstComma);
    m_pages = pages;
    m_received.clear();
    return true;
}

const TextProgramEntry* TextProgramInbox::entry(const QString& id, bool* lastOfPage) const
{
    for (const TextProgramPage& page : m_pages) {
        for (int i = 0; i < page.entries.size(); ++i) {
            if (page.entries[i].id == id) {
                *lastOfPage = i == page.entries.size() - 1;
                return &page.entries[i];
            }
        }
    }
    return nullptr;
}

TextMaterialVerdict TextProgramInbox::takeMaterialFrame(const QByteArray& f)
{
    TextMaterialVerdict v;
    auto fail = [&v](const QString& why) {
        v.error = why;
        return v;
    };
    if (!hasDescription())
        return fail(QStringLiteral("text material before any text-program description"));
    if (!wire::frameProblem(f).isEmpty() || wire::command(f) != wire::cmd::kMaterial)
        return fail(QStringLiteral("not a well-formed material frame"));
    const qsizetype comma = f.indexOf(',', wire::kDataAt);
    if (comma <= wire::kDataAt || comma - wire::kDataAt > kMaxIdLength)
        return fail(QStringLiteral("material id missing"));
    auto at = [&f, comma](int offset) { return wire::byteAt(f, comma + offset); };
    if (f.size() < comma + kText + 2 || at(kKindByte) != kTextProgramMark || f.mid(comma + kSignature, 3) != "all")
        return fail(QStringLiteral("not a text-program text frame"));
    const quint32 length = wire::le32(f, comma + kTextLength);
    const qsizetype textEnd = comma + kText + qsizetype(length) - 1;
    const qsizetype rest = f.size() - textEnd;
    if (length < 1 || (rest != 2 && rest != 2 + kEndMarker.size()))
        return fail(QStringLiteral("text length does not fit the frame"));

    TextProgramMaterial m;
    m.id = QString::fromLatin1(f.mid(wire::kDataAt, comma - wire::kDataAt));
    m.displayMode = at(kDisplayMode);
    m.displaySpeed = at(kDisplaySpeed);
    m.remainTime = at(kRemainTime);
    m.cardText = f.mid(comma + kText, qsizetype(length) - 1);
    m.text = codec::decode(m.cardText);
    m.endMarker = rest != 2;
    if (m.endMarker && f.mid(textEnd, kEndMarker.size()) != kEndMarker)
        return fail(QStringLiteral("three stray bytes before the trailer"));

    bool lastOfPage = false;
    if (!entry(m.id, &lastOfPage))
        return fail(QStringLiteral("material %1 is not in the text program").arg(m.id));
    if (m.endMarker != lastOfPage)
        return fail(lastOfPage ? QStringLiteral("last material %1 of its page without the end marker").arg(m.id)
                               : QStringLiteral("material %1 carries the end marker but is not last of its page").arg(m.id));
    const bool wasComplete = complete();
    m_received.insert(m.id, m);
    v.ok = true;
    v.id = m.id;
    v.endMarker = m.endMarker;
    v.completesProgram = !wasComplete && complete();
    return v;
}

int TextProgramInbox::expectedCount() const
{
    int n = 0;
    for (const TextProgramPage& page : m_pages)
        n += int(page.entries.size());
    return n;
}

QList<TextProgramMaterial> TextProgramInbox::materials() const
{
    QList<TextProgramMaterial> out;
    for (const TextProgramPage& page : m_pages) {
        for (const TextProgramEntry& e : page.entries) {
            const auto it = m_received.constFind(e.id);
            if (it != m_received.constEnd())
                out.append(*it);
        }
    }
    return out;
}

QString TextProgramInbox::summary() const
{
    QString out;
    for (int p = 0; p < m_pages.size(); ++p) {
        out += QStringLiteral("page %1 %2-%3\n").arg(p + 1).arg(m_pages[p].startTime, m_pages[p].endTime);
        for (const TextProgramEntry& e : m_pages[p].entries) {
            const auto it = m_received.constFind(e.id);
            out += QStringLiteral("  material %1 times=%2 %3\n")
                       .arg(e.id)
                       .arg(e.playTimes)
                       .arg(it == m_received.constEnd() ? QStringLiteral("(missing)") : it->text);
        }
    }
    return out;
}

} // namespace ledsign::card
