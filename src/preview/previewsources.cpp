#include "preview/previewsources.h"

#include "content/displaytext.h"
#include "content/previewconversion.h"
#include "content/shortrunmarkup.h"
#include "content/textlayout.h"
#include "model/materialkinds.h"

namespace ledsign {

namespace {
const QString kPreviewQueueNumber = QStringLiteral("0001");
} // namespace

PreviewConversion standardPreviewConversion()
{
    return [](const TFodder& material, int width, int height) {
        MaterialPictures out;
        const PreviewPictures p = previewConversion(material, width, height, -1);
        out.ok = p.ok;
        out.pictures = p.pictures;
        out.imageFiles = p.imageFiles;
        if (material.kind == kQueue) {
            // The card shows the number the caller system gives it; the
            // preview shows a first one.
            out.pictures = layoutAttributeText(parseShortRuns(queueDisplayText(material, kPreviewQueueNumber)),
                                               {width, height, kAttributeCentred, true});
        }
        return out;
    };
}

LiveRenderer standardLiveRenderer()
{
    return [](const TFodder& material, const QDateTime& now, const QDateTime& target, const QSize& size) {
        TFodder shown = material;
        if (material.kind == kCountUp || material.kind == kCountDown)
            shown.content = target.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        DisplayTextContext ctx;
        ctx.clock = [now] { return now; };
        const QString text = materialDisplayText(shown, ctx);
        const PreviewPictures p = previewConversion(shown, size.width(), size.height(), 0, text);
        return p.pictures.isEmpty() ? QImage() : p.pictures.first();
    };
}

} // namespace ledsign
