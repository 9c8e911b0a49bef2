#include "protocol/downloaddescription.h"

#include "model/codec.h"

namespace ledsign {

namespace {
QByteArray threeDigits(int v) { return QString::asprintf("%.3d", v).toLatin1(); }
} // namespace

QByteArray descriptionPageHead(const TProgram& page)
{
    return ',' + codec::encode(page.startTime) + '-' + codec::encode(page.endTime) + '.';
}

QByteArray descriptionMaterialEntry(const TFodder& m, const TRegion& r)
{
    QByteArray e = codec::encode(m.id);
    e.append(char(quint8(m.typeCode & 0xFF)));
    e += threeDigits(r.left / 8) + threeDigits(r.top) + threeDigits(r.width / 8) + threeDigits(r.height);
    e += "1" "0000" "00000";
    e += "#0" + QByteArray::number(m.playTimes) + '#' + codec::encode(m.spare28) + ';';
    return e;
}

void PlaybillDescription::appendPage(const TProgram& page)
{
    if (text.isEmpty())
        text = codec::encode(page.id);
    pageTimeOffsets << text.size() + 1; // just after the comma
    text += descriptionPageHead(page);
}

void PlaybillDescription::appendMaterial(const TFodder& material, const TRegion& region)
{
    text += descriptionMaterialEntry(material, region);
}

QByteArray descriptionWithPageTimes(const PlaybillDescription& description, const PageTimeBuffer& times)
{
    QByteArray out = description.text;
    for (int k = 0; k < description.pageTimeOffsets.size(); ++k) {
        const qsizetype at = description.pageTimeOffsets.at(k);
        const qsizetype n = qMin<qsizetype>(PageTimeBuffer::kRecordSize, out.size() - at);
        if (n > 0)
            out.replace(at, n, times.record(k).left(n));
    }
    return out;
}

} // namespace ledsign
