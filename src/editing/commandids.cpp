#include "editing/commandids.h"

#include "model/materialkinds.h"

#include <array>

namespace ledsign {

namespace {

struct ActionRow {
    ActionId id;
    const char* name;
    const char* caption; // built-in caption (simplified Chinese), UTF-8
};

// In the order of ActionId.
constexpr std::array<ActionRow, kActionCount> kActions{{
    {ActionId::File, "actFile", "文件(&F)"},
    {ActionId::NewPrg, "actNewPrg", "新建"},
    {ActionId::InsertPrg, "actInsertPrg", "打开"},
    {ActionId::SavePrg, "actSavePrg", "保存"},
    {ActionId::SaveFileAs, "actSaveFileAs", "另存为..."},
    {ActionId::Export2UDisk, "actExport2UDisk", "导出到U盘"},
    {ActionId::Exit, "actExit", "退出"},
    {ActionId::ItemEdit, "actItemEdit", "显示项编辑(&E)"},
    {ActionId::SglTxt, "actSglTxt", "单行文本"},
    {ActionId::MulText, "actMulText", "多行文本"},
    {ActionId::DateTime, "actDateTime", "时间"},
    {ActionId::AddTime, "actAddTime", "正计时"},
    {ActionId::DelTime, "actDelTime", "倒计时"},
    {ActionId::Colck, "actColck", "表盘"},
    {ActionId::Table, "actTable", "表格"},
    {ActionId::Picture, "actPicture", "图片组"},
    {ActionId::Movie, "actMovie", "动画"},
    {ActionId::InnerInfo, "actInnerInfo", "内码文字"},
    {ActionId::CallNo, "actCallNo", "排队信息"},
    {ActionId::CollectData, "actCollectData", "实时采集"},
    {ActionId::TxtSet, "actTxtSet", "远程服务器文本"},
    {ActionId::SoftTools, "actSoftTools", "软件工具(&T)"},
    {ActionId::Bmp, "actBmp", "画图"},
    {ActionId::Note, "actNote", "记事本"},
    {ActionId::MovieTool, "actMovieTool", "动画制作"},
    {ActionId::CardDo, "actCardDo", "控制卡操作(&O)"},
    {ActionId::Search, "actSearch", "控制卡搜索"},
    {ActionId::Send, "actSend", "发送"},
    {ActionId::SendPrg, "actSendPrg", "发送文字节目单"},
    {ActionId::StopPlay, "actStopPlay", "停止播放"},
    {ActionId::BeginPlay, "actBeginPlay", "开始播放"},
    {ActionId::AdjTime, "actAdjTime", "校正时间"},
    {ActionId::Show, "actShow", "读取显示内容"},
    {ActionId::OffPower, "actOffPower", "关闭电源"},
    {ActionId::OpenPower, "actOpenPower", "打开电源"},
    {ActionId::DelCard, "actDelCard", "删除当前控制卡"},
    {ActionId::PlayPreview, "actPlayPreview", "效果演示(&P)"},
    {ActionId::Preview, "actPreview", "演示预览"},
    {ActionId::AddPrg, "actAddPrg", "添加显示页"},
    {ActionId::DelPrg, "actDelPrg", "删除显示页"},
    {ActionId::CopyPrg, "actCopyPrg", "复制显示页 "},
    {ActionId::PastePrg, "actPastePrg", "粘贴显示页 "},
    {ActionId::AddRgn, "actAddRgn", "添加区域"},
    {ActionId::DelRegion, "actDelRegion", "删除区域"},
    {ActionId::DelFodder, "actDelFodder", "删除素材"},
    {ActionId::Setting, "actSetting", "系统设置(&S)"},
    {ActionId::CmmParaSet, "actCmmParaSet", "通讯及参数配置"},
    {ActionId::ScreenParam, "actScreenParam", "显示屏参数"},
    {ActionId::CommParam, "actCommParam", "通讯参数"},
    {ActionId::Languge, "actLanguge", "语言"},
    {ActionId::SimpleChn, "actSimpleChn", "简体中文"},
    {ActionId::TraditionalChn, "actTraditionalChn", "繁体中文"},
    {ActionId::English, "actEnglish", "英语"},
    {ActionId::PassWord, "actPassWord", "管理员口令"},
    {ActionId::SysHelp, "actSysHelp", "帮助(&H)"},
    {ActionId::Help, "actHelp", "帮助查看"},
    {ActionId::About, "actAbout", "关于..."},
    {ActionId::NewCard, "actNewCard", "新增控制卡"},
    {ActionId::ReName, "actReName", "重命名控制卡"},
}};

struct KindAction {
    ActionId id;
    int kind;
};

constexpr std::array<KindAction, kMaterialKindCount> kAddActions{{
    {ActionId::SglTxt, kSingleText},
    {ActionId::MulText, kMultiText},
    {ActionId::DateTime, kDateTime},
    {ActionId::AddTime, kCountUp},
    {ActionId::DelTime, kCountDown},
    {ActionId::Table, kTable},
    {ActionId::Picture, kImageGroup},
    {ActionId::Movie, kAnimation},
    {ActionId::InnerInfo, kInternalCodeText},
    {ActionId::CallNo, kQueue},
    {ActionId::CollectData, kAcquisition},
    {ActionId::TxtSet, kRemoteText},
}};

const ActionRow& row(ActionId id)
{
    return kActions[static_cast<std::size_t>(id)];
}

} // namespace

QString actionName(ActionId id)
{
    return QString::fromLatin1(row(id).name);
}

std::optional<ActionId> actionByName(const QString& name)
{
    for (const ActionRow& r : kActions) {
        if (name == QLatin1String(r.name))
            return r.id;
    }
    return std::nullopt;
}

QString actionDefaultCaption(ActionId id)
{
    return QString::fromUtf8(row(id).caption);
}

bool isMenuHeading(ActionId id)
{
    switch (id) {
    case ActionId::File:
    case ActionId::ItemEdit:
    case ActionId::SoftTools:
    case ActionId::CardDo:
    case ActionId::PlayPreview:
    case ActionId::Setting:
    case ActionId::Languge:
    case ActionId::SysHelp:
        return true;
    default:
        return false;
    }
}

std::optional<int> materialKindOfAction(ActionId id)
{
    for (const KindAction& k : kAddActions) {
        if (k.id == id)
            return k.kind;
    }
    return std::nullopt;
}

ActionId addActionOfKind(int kind)
{
    for (const KindAction& k : kAddActions) {
        if (k.kind == kind)
            return k.id;
    }
    return ActionId::SglTxt;
}

} // namespace ledsign
