// Lenient date parser, with the C locale and a Chinese one.
#include <QLocale>

#include "fuzzsupport.h"
#include "model/codec.h"
#include "model/lenientdate.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = codec::decode(fuzz::bytesOf(data, size));
    static const QLocale c = QLocale::c();
    static const QLocale zh(QLocale::Chinese, QLocale::China);
    for (const QLocale* locale : {&c, &zh}) {
        const LenientDate date = parseLenientDate(text, *locale);
        if (date.ok)
            LEDSIGN_FUZZ_CHECK(date.value.isValid());
    }
    return 0;
}
