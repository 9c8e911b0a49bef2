// Text-program markup, loaded into a text document and written back.
#include <QTextDocument>

#include "content/qtrichtextdocument.h"
#include "content/textprogrammarkup.h"
#include "content/textrunmarkup.h"
#include "fuzzsupport.h"
#include "model/codec.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    QTextDocument doc;
    QtRichTextDocument rich(&doc);
    const MarkupLoadResult result =
        loadTextProgramMarkup(codec::decode(fuzz::bytesOf(data, size)), rich);
    LEDSIGN_FUZZ_CHECK(result.runsLoaded >= 0);
    (void)writeTextProgramMarkup(rich);
    return 0;
}
