#include "cardface.h"

#include "model/codec.h"

#include <QRegularExpression>

namespace ledsign::card {

namespace {

int high(char b) { return (quint8(b) >> 4) & 0x0F; }
int low(char b) { return quint8(b) & 0x0F; }

QString two(qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

// Digits in one colour, everything else in the other.
QList<TextRun> coloured(const QString& text, int digitColor, int charColor, int fontCode, int sizeCode)
{
    QList<TextRun> runs;
    for (const QChar c : text) {
        const int colour = c.isDigit() ? digitColor : charColor;
        if (runs.isEmpty() || runs.last().color != colour)
            runs.append({QString(), colour, fontCode, sizeCode});
        runs.last().text += c;
    }
    return runs;
}

const char* const kWeekCn[7] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
const char* const kWeekEn[7] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};

} // namespace

bool readTimeBlock(const QByteArray& c, TimeBlock& out)
{
    if (c.size() != 7)
        return false;
    out.timeFormat = quint8(c[0]);
    out.displayFormat = quint8(c[1]);
    out.lead = (quint8(c[2]) & 0x80) != 0;
    out.diffHours = quint8(c[2]) & 0x7F;
    out.diffMinutes = quint8(c[3]) & 0x7F;
    out.digitColor = high(c[4]);
    out.charColor = low(c[4]);
    out.fontCode = high(c[5]);
    out.sizeCode = low(c[5]);
    out.twoDigitYear = low(c[6]) == 1;
    return true;
}

QList<TextRun> clockRuns(const TimeBlock& b, const QDateTime& cardNow)
{
    const qint64 diff = (qint64(b.diffHours) * 60 + b.diffMinutes) * 60;
    const QDateTime t = cardNow.addSecs(b.lead ? diff : -diff);
    const QDate d = t.date();
    const QTime tm = t.time();
    const QString year = b.twoDigitYear ? two(d.year() % 100) : QString::number(d.year()).rightJustified(4, u'0');
    const bool words = b.displayFormat != 2 && b.displayFormat != 3;
    const int week = d.dayOfWeek() % 7;
    QString date, time, hm;
    if (b.displayFormat == 2) {
        date = year + u'-' + two(d.month()) + u'-' + two(d.day());
    } else if (b.displayFormat == 3) {
        date = two(d.month()) + u'/' + two(d.day()) + u'/' + year;
    } else {
        date = year + QStringLiteral("年") + two(d.month()) + QStringLiteral("月") + two(d.day()) + QStringLiteral("日");
    }
    if (words) {
        time = two(tm.hour()) + QStringLiteral("时") + two(tm.minute()) + QStringLiteral("分") + two(tm.second()) + QStringLiteral("秒");
        hm = two(tm.hour()) + QStringLiteral("时") + two(tm.minute()) + QStringLiteral("分");
    } else {
        time = two(tm.hour()) + u':' + two(tm.minute()) + u':' + two(tm.second());
        hm = two(tm.hour()) + u':' + two(tm.minute());
    }
    const QString weekText = words ? QString::fromUtf8(kWeekCn[week]) : QString::fromLatin1(kWeekEn[week]);
    auto unit = [words](const QString& v, const QString& u) { return words ? v + u : v; };
    QString text;
    switch (b.timeFormat) {
    case 2: text = date; break;
    case 3: text = time; break;
    case 4: text = hm; break;
    case 5: text = weekText; break;
    case 6: text = unit(year, QStringLiteral("年")); break;
    case 7: text = unit(two(d.month()), QStringLiteral("月")); break;
    case 8: text = unit(two(d.day()), QStringLiteral("日")); break;
    case 9: text = unit(two(tm.hour()), QStringLiteral("时")); break;
    case 10: text = unit(two(tm.minute()), QStringLiteral("分")); break;
    case 11: text = unit(two(tm.second()), QStringLiteral("秒")); break;
    default: text = date + u'\n' + time + u'\n' + weekText; break; // everything: as many lines as fit
    }
    return coloured(text, b.digitColor, b.charColor, b.fontCode, b.sizeCode);
}

bool readCountBlock(const QByteArray& c, CountBlock& out)
{
    if (c.size() != 14)
        return false;
    out.timeFormat = quint8(c[0]);
    out.displayFormat = quint8(c[1]);
    out.accumulative = quint8(c[2]) != 0;
    out.digitColor = high(c[4]);
    out.charColor = low(c[4]);
    out.fontCode = high(c[5]);
    out.sizeCode = low(c[5]);
    const QDate date{2000 + quint8(c[13]), quint8(c[12]), quint8(c[11])};
    const QTime time{quint8(c[9]), quint8(c[8]), quint8(c[7])};
    out.target = QDateTime(date, time);
    return date.isValid() && time.isValid();
}

QList<TextRun> countRuns(const CountBlock& b, bool up, const QDateTime& now)
{
    qint64 s = up ? b.target.secsTo(now) : now.secsTo(b.target);
    s = std::max<qint64>(0, s);
    const qint64 m = s / 60, h = s / 3600, d = s / 86400;
    const bool acc = b.accumulative;
    const QString D = QStringLiteral("天"), H = QStringLiteral("时"), M = QStringLiteral("分"), S = QStringLiteral("秒");
    QString text;
    switch (b.timeFormat) {
    case 2: text = QString::number(acc ? h : h % 24) + H + two((s - 3600 * h) / 60) + M + two((s - 3600 * h) % 60) + S; break;
    case 3: text = QString::number(acc ? h : h % 24) + H + two(acc ? m - 60 * h : (m - 60 * h) % 60) + M; break;
    case 4: text = QString::number(d) + D; break;
    case 5: text = QString::number(acc ? h : h % 24) + H; break;
    case 6: text = QString::number(acc ? m : m % 60) + M; break;
    case 7: text = QString::number(acc ? s : s % 60) + S; break;
    case 8: text = QString::number(acc ? m : m % 60) + M + two(acc ? s - 60 * m : (s - 60 * m) % 60) + S; break;
    default: {
        const qint64 r = s - 86400 * d;
        text = QString::number(d) + D + QString::number(r / 3600) + H + two((r % 3600) / 60) + M + two((r % 3600) % 60) + S;
        break;
    }
    }
    return coloured(text, b.digitColor, b.charColor, b.fontCode, b.sizeCode);
}

bool readAcquisitionBlock(const QByteArray& c, AcquisitionBlock& out)
{
    if (c.size() != 17)
        return false;
    out.dataType = quint8(c[0]);
    out.registerByte = quint8(c[1]);
    out.refreshSeconds = quint8(c[2]);
    const int a = quint8(c[3]);
    out.align = (a & 0x80) == 0 ? Align::Left : (a & 1) ? Align::Right : Align::Centre;
    out.leftShift = (a >> 4) & 7;
    out.rightShift = (a >> 1) & 7;
    out.color = high(c[4]);
    out.fontCode = high(c[5]);
    out.sizeCode = low(c[5]);
    QByteArray unit = c.mid(7, 10);
    const qsizetype zero = unit.indexOf('\0');
    if (zero >= 0)
        unit.truncate(zero);
    out.unit = codec::decode(unit);
    return true;
}

QString acquisitionText(const AcquisitionBlock& b, const QString& value)
{
    bool ok = false;
    const double v = value.trimmed().toDouble(&ok);
    QString shown = value.trimmed();
    if (ok) {
        switch (b.dataType) {
        case 3: shown = QString::number(qint16(std::clamp(std::llround(v), -32768LL, 32767LL))); break;
        case 4: shown = QString::number(qint32(std::clamp(std::llround(v), -2147483648LL, 2147483647LL))); break;
        case 5: shown = QString::number(v, 'f', 1); break;
        case 6: shown = QString::number(v, 'f', 2); break;
        default: break;
        }
    }
    return shown + b.unit;
}

bool readQueueBlock(const QByteArray& c, QueueBlock& out)
{
    if (c.size() != 8)
        return false;
    out.window = quint8(c[0]);
    out.fontCode = high(c[1]);
    out.sizeCode = low(c[1]);
    out.flashes = quint8(c[2]);
    out.pairing = quint8(c[3]);
    return true;
}

QList<TextRun> queueRuns(const QueueBlock& b, const QString& text)
{
    constexpr int R = 1, G = 2, Y = 3;
    struct Pair {
        int a, b;
    };
    // 1..6 digits / other characters; 7..12 first line / others; 13..18
    // last line / others; 19..21 alternating lines; 22..24 all one colour.
    static constexpr Pair kPairs[] = {{G, R}, {G, Y}, {R, G}, {R, Y}, {Y, G}, {Y, R}};
    static constexpr Pair kLines[] = {{R, G}, {R, Y}, {G, R}, {G, Y}, {Y, G}, {Y, R}};
    static constexpr Pair kAlternate[] = {{R, G}, {G, R}, {G, Y}};
    const int p = b.pairing;
    if (p >= 1 && p <= 6)
        return coloured(text, kPairs[p - 1].a, kPairs[p - 1].b, b.fontCode, b.sizeCode);
    const QStringList lines = text.split(u'\n');
    QList<TextRun> runs;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        int colour = p == 23 ? G : p == 24 ? Y : R;
        if (p >= 7 && p <= 12)
            colour = i == 0 ? kLines[p - 7].a : kLines[p - 7].b;
        else if (p >= 13 && p <= 18)
            colour = i == lines.size() - 1 ? kLines[p - 13].a : kLines[p - 13].b;
        else if (p >= 19 && p <= 21)
            colour = i % 2 == 0 ? kAlternate[p - 19].a : kAlternate[p - 19].b;
        runs.append({lines[i] + (i + 1 < lines.size() ? QStringLiteral("\n") : QString()), colour, b.fontCode,
                     b.sizeCode});
    }
    return runs;
}

bool readInternalCodeBlock(const QByteArray& c, InternalCodeBlock& out)
{
    if (c.size() < 7)
        return false;
    out.width = (quint8(c[0]) | (quint8(c[1]) << 8)) * 8;
    out.height = quint8(c[2]) | (quint8(c[3]) << 8);
    out.color = quint8(c[4]);
    out.fontCode = high(c[5]);
    out.sizeCode = low(c[5]);
    out.text = codec::decode(c.mid(7));
    return true;
}

QList<TextRun> cardTextRuns(const QString& cardText)
{
    static const QRegularExpression head(QStringLiteral("#\\^(\\d+)#\\^(\\d+)#\\^(\\d+)#\\^(\\d+)#~"));
    QList<TextRun> runs;
    QRegularExpressionMatchIterator it = head.globalMatch(cardText);
    QList<QRegularExpressionMatch> heads;
    while (it.hasNext())
        heads.append(it.next());
    for (qsizetype i = 0; i < heads.size(); ++i) {
        const qsizetype from = heads[i].capturedEnd();
        const qsizetype to = i + 1 < heads.size() ? heads[i + 1].capturedStart() : cardText.size();
        QString text = cardText.mid(from, to - from);
        if (i + 1 < heads.size() && text.endsWith(u';'))
            text.chop(1); // the separator of the runs
        runs.append({text, heads[i].captured(2).toInt(), heads[i].captured(3).toInt(), heads[i].captured(4).toInt()});
    }
    if (heads.isEmpty() && !cardText.isEmpty())
        runs.append({cardText, 1, 1, 1});
    return runs;
}

QList<QImage> textPages(const QList<TextRun>& runs, const QSize& size, int planes, int rotateMode)
{
    return drawRotated(rotateMode, size, [&](const QSize& area, bool turned) {
        QList<QImage> out;
        for (const QList<GlyphLine>& page : paginate(layoutLines(runs, area.width(), turned), area.height()))
            out.append(drawLines(page, area, planes));
        return out;
    });
}

} // namespace ledsign::card
