#include "editing/stepcaptions.h"

#include "language/language.h"
#include "language/languagetable.h"

namespace ledsign::stepcaption {

namespace {

constexpr int kActionCategory = 1;
const QString kStepPrefix = QStringLiteral("step_");
const QString kActionPrefix = QStringLiteral("act");

QString key(const char* name)
{
    return kStepPrefix + QLatin1String(name);
}

} // namespace

QString ofAction(ActionId id)
{
    if (materialKindOfAction(id))
        return key("add_material");
    switch (id) {
    case ActionId::AddPrg: return key("add_page");
    case ActionId::DelPrg: return key("delete_page");
    case ActionId::PastePrg: return key("paste_page");
    case ActionId::AddRgn: return key("add_region");
    case ActionId::DelRegion: return key("delete_region");
    case ActionId::DelFodder: return key("delete_material");
    default: return actionName(id);
    }
}

QString moveUp() { return key("move_up"); }
QString moveDown() { return key("move_down"); }
QString rename() { return key("rename"); }
QString editProperties() { return key("edit_properties"); }
QString moveRegion() { return key("move_region"); }
QString resizeRegion() { return key("resize_region"); }
QString editText() { return key("edit_text"); }
QString editTable() { return key("edit_table"); }
QString bindCard() { return key("bind_card"); }
QString editImageGroup() { return key("edit_image_group"); }
QString editMaterial() { return key("edit_material"); }
QString edit() { return key("edit"); }

QString shown(const QString& stepKey)
{
    if (stepKey.startsWith(kStepPrefix))
        return messageText(stepKey);
    if (stepKey.startsWith(kActionPrefix)) {
        if (const rLgMap* row = currentLanguageTable().rowForName(kActionCategory, stepKey))
            return row->text;
        if (const auto id = actionByName(stepKey))
            return actionDefaultCaption(*id);
    }
    return stepKey;
}

QString undoCommand(const QString& stepKey)
{
    if (stepKey.isEmpty())
        return messageText(key("undo_none"));
    return messageText(key("undo")).arg(shown(stepKey));
}

QString redoCommand(const QString& stepKey)
{
    if (stepKey.isEmpty())
        return messageText(key("redo_none"));
    return messageText(key("redo")).arg(shown(stepKey));
}

} // namespace ledsign::stepcaption
