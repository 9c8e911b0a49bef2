#include "content/cardtextcoder.h"

#include "content/colortable.h"
#include "content/fonttable.h"
#include "content/fontsizetable.h"
#include "content/markupsplit.h"

namespace ledsign {

namespace {

const QString kSpaceEscape = QStringLiteral("※☆");
const QString kCodeEnd = QStringLiteral("#^");
const QString kSizeEnd = QStringLiteral("#~");
constexpr QChar kRunEnd = QLatin1Char(';');
constexpr int kFieldCount = 4;

} // namespace

QString cardTextCodes(const QString& markup, int contentAttributeCode)
{
    QString escaped = markup;
    escaped.replace(QLatin1Char(' '), kSpaceEscape);

    QString out;
    for (const QString& run : delimitedSplit(escaped, QLatin1Char('>'))) {
        out += kCodeEnd + QString::number(contentAttributeCode) + kCodeEnd;
        const QStringList items = delimitedSplit(run, QLatin1Char('^'));
        if (items.size() < kFieldCount)
            return {};
        // A colour name outside the table writes no colour code at all; the
        // card then keeps the colour it has.
        const int color = colorCodeOfProgramName(items.at(0));
        if (color != 0)
            out += QString::number(color) + kCodeEnd;
        out += QString::number(cardFontCodeOfName(items.at(1))) + kCodeEnd;
        out += QString::number(sizeCodeOfPointText(items.at(2))) + kSizeEnd;
        QString text = items.at(3);
        text.replace(kSpaceEscape, QStringLiteral(" "));
        out += text + kRunEnd;
    }
    if (out.endsWith(kRunEnd))
        out.chop(1);
    return out;
}

} // namespace ledsign
