// The commands of the main window, one per action, with the action names the
// language table keys their captions by, and the material kind each add
// command creates.
#pragma once

#include <QString>

#include <optional>

namespace ledsign {

enum class ActionId : int {
    // File
    File,
    NewPrg,
    InsertPrg,
    SavePrg,
    SaveFileAs,
    Export2UDisk,
    Exit,
    // Edit: the material adds
    ItemEdit,
    SglTxt,
    MulText,
    DateTime,
    AddTime,
    DelTime,
    Colck,
    Table,
    Picture,
    Movie,
    InnerInfo,
    CallNo,
    CollectData,
    TxtSet,
    // Tools
    SoftTools,
    Bmp,
    Note,
    MovieTool,
    // Card operations
    CardDo,
    Search,
    Send,
    SendPrg,
    StopPlay,
    BeginPlay,
    AdjTime,
    Show,
    OffPower,
    OpenPower,
    DelCard,
    // Preview
    PlayPreview,
    Preview,
    // Tree objects
    AddPrg,
    DelPrg,
    CopyPrg,
    PastePrg,
    AddRgn,
    DelRegion,
    DelFodder,
    // Settings
    Setting,
    CmmParaSet,
    ScreenParam,
    CommParam,
    Languge,
    SimpleChn,
    TraditionalChn,
    English,
    PassWord,
    // Help
    SysHelp,
    Help,
    About,
    NewCard,
    ReName,
};

inline constexpr int kActionCount = static_cast<int>(ActionId::ReName) + 1;

// The action's name ("actNewPrg"): its object name and its language key.
QString actionName(ActionId id);
// The action of a name; nothing for a name no action has.
std::optional<ActionId> actionByName(const QString& name);

// The built-in caption of an action, used when the language table has no
// row for it (copy and paste page, the screen parameter request, ...).
QString actionDefaultCaption(ActionId id);

// Headings of the main menu; they carry no command.
bool isMenuHeading(ActionId id);

// The material kind an add command creates; nothing for other actions and
// for the hidden clock.
std::optional<int> materialKindOfAction(ActionId id);
// The add command of a material kind.
ActionId addActionOfKind(int kind);

} // namespace ledsign
