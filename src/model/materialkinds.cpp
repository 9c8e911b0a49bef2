#include "model/materialkinds.h"

#include "language/language.h"

#include <array>

namespace ledsign {

namespace {

constexpr std::array<MaterialKindInfo, kMaterialKindCount> kKinds{{
    {kSingleText, "material_single_text", "material_single_text", "pnSglTxt", '8', 1, 1, false},
    {kMultiText, "material_multi_text", "material_multi_text", "pnMulTxt", '8', 1, 1, false},
    {kImageGroup, "material_image_group", "material_image_group", "pnImg", '8', 1, 1, false},
    {kTable, "material_table", "material_table", "pnTbl", '8', 1, 255, false},
    {kDateTime, "material_time", "material_time", "pnDT", '1', 1, 1, false},
    {kRemoteText, "material_remote_text", "material_remote_text", "pnTxtSet", '0', 1, 1, false},
    {kQueue, "material_window_no", "material_call_no", "pnQu", '5', 8, 1, false},
    {kCountUp, "material_is_time", "material_is_time", "pnAT", '4', 1, 1, true},
    {kCountDown, "material_count_down", "material_count_down", "pnDelT", '3', 1, 1, true},
    {kInternalCodeText, "material_code_text", "material_code_text", "pnInner", '7', 1, 1, false},
    {kAcquisition, "material_real_time_acquisition", "material_real_time_acquisition", "pnCData", '6', 1, 1,
     false},
    {kAnimation, "material_animation", "material_animation", "pnMovie", ';', 10, 1, false},
}};

} // namespace

bool isValidMaterialKind(int kind)
{
    return kind >= 0 && kind < kMaterialKindCount;
}

const MaterialKindInfo& materialKindInfo(int kind)
{
    return kKinds[isValidMaterialKind(kind) ? kind : 0];
}

QString materialBaseName(int kind)
{
    return messageText(QString::fromLatin1(materialKindInfo(kind).nameKey));
}

QString materialTypeName(int kind)
{
    return messageText(QString::fromLatin1(materialKindInfo(kind).typeKey));
}

TFodder defaultMaterial(int kind, const QDateTime& now)
{
    const MaterialKindInfo& info = materialKindInfo(kind);
    TFodder m;
    m.kind = info.kind;
    m.typeCode = info.typeCode;
    m.displaySpeed = info.displaySpeed;
    m.remainTime = info.remainTime;
    if (info.contentIsNow)
        m.content = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return m;
}

} // namespace ledsign
