// Text-run markup, parsed alone and loaded into a text document.
#include <QTextDocument>

#include "content/qtrichtextdocument.h"
#include "content/textrunmarkup.h"
#include "fuzzsupport.h"
#include "model/codec.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QString markup = codec::decode(fuzz::bytesOf(data, size));
    const QList<TextRun> runs = parseTextRuns(markup);
    QTextDocument doc;
    QtRichTextDocument rich(&doc);
    const MarkupLoadResult result = loadTextRunMarkup(markup, rich);
    LEDSIGN_FUZZ_CHECK(result.runsLoaded >= 0 && result.runsLoaded <= runs.size() + 1);
    (void)writeTextRunMarkup(rich);
    return 0;
}
