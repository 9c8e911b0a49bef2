// Delimited and separator splits. The first byte picks the delimiter.
#include "content/markupsplit.h"
#include "fuzzsupport.h"
#include "model/codec.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QChar delimiter = QChar(data[0]);
    const QString text = codec::decode(fuzz::bytesOf(data + 1, size - 1));
    (void)delimitedSplit(text, delimiter);
    // A quoted field splits back to itself.
    if (!text.isEmpty()) {
        const QStringList quoted = delimitedSplit(quoteForDelimitedSplit(text), QLatin1Char(','));
        LEDSIGN_FUZZ_CHECK(quoted.size() == 1 && quoted.first() == text);
    }
    const qsizetype cut = text.indexOf(QLatin1Char('|'));
    const QString separator = cut > 0 ? text.left(cut) : QStringLiteral("\\~\\");
    (void)separatorSplit(text.mid(cut + 1), separator);
    if (!text.isEmpty())
        LEDSIGN_FUZZ_CHECK(separatorSplit(text, QString()) == QStringList{text});
    (void)markupInt(text, -1);
    return 0;
}
