#include "protocol/textprogramsend.h"

#include "model/codec.h"
#include "protocol/frame.h"
#include "protocol/textprogram.h"

namespace ledsign {

namespace {
constexpr int kQueuedTypeCodeLimit = 10;
}

TextProgramDescription buildTextProgramDescription(ProjectModel& model, const QStringList& pageIds)
{
    TextProgramDescription out;
    bool first = true;
    for (const QString& pageId : pageIds) {
        const TProgram* page = nullptr;
        for (const TProgram& p : model.pages())
            if (p.textProgramPage == 1 && p.id == pageId)
                page = &p;
        if (!page)
            continue;
        if (first)
            out.text += page->id;
        first = false;
        out.text += u',' + page->startTime + u'-' + page->endTime + u'.';
        TFodder* last = nullptr;
        for (TFodder& m : model.materials()) {
            if (m.kind != kTextProgramKind || m.spare1C != pageId)
                continue;
            out.text += m.id + u'#' + QString::number(m.playTimes) + u'#' + m.spare28 + u';';
            out.materialIds << m.id;
            m.downloadFlags[0] = 0;
            m.downloadFlags[1] = 0;
            last = &m;
        }
        if (!last)
            return {false, {}, {}};
        last->downloadFlags[1] = 1;
    }
    out.ok = !out.materialIds.isEmpty();
    return out;
}

QByteArray textProgramDescriptionFrame(const QString& description, quint32 serial)
{
    const QByteArray data = codec::encode(description);
    if (data.size() + frame::kEmptyFrameSize > kTextFrameLimit)
        return {};
    return frame::build(frame::cmd::kHeader, data, serial);
}

TFodder* nextWaitingTextMaterial(ProjectModel& model)
{
    for (TFodder& m : model.materials()) {
        if (m.kind == kTextProgramKind && m.typeCode < kQueuedTypeCodeLimit && m.downloadFlags[0] == 0)
            return &m;
    }
    return nullptr;
}

} // namespace ledsign
