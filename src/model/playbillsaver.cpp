#include "model/playbillsaver.h"

#include "language/language.h"
#include "model/cardtie.h"
#include "model/imagefiles.h"
#include "model/playbillwriter.h"

#include <QFileInfo>

namespace ledsign {

PlaybillSaver::PlaybillSaver(ProjectModel& model, const DataFolder& folders, PlaybillSaveDialogs& dialogs)
    : model_(model)
    , folders_(folders)
    , dialogs_(dialogs)
{
}

QString PlaybillSaver::fileFilter()
{
    return QStringLiteral("prg(*.prg)");
}

QString PlaybillSaver::dialogTitle(const QString& cardName)
{
    return messageText("object_card") + QLatin1Char('[') + cardName + QStringLiteral("] ") + messageText("object_playbill")
        + messageText("action_save");
}

bool PlaybillSaver::writePlaybill(const QString& cardName, const QString& path, bool quiet)
{
    PlaybillWriter writer(model_, folders_);
    if (!writer.write(cardName, path)) {
        error_ = writer.errorString();
        dialogs_.showMessage(messageText("object_playbill") + QLatin1Char('[') + path + QStringLiteral("] ") + error_);
        return false;
    }
    error_.clear();
    // A picture that could not be copied beside the playbill (full disk,
    // refused write) would be missing when the file is next read.
    if (!writer.warnings().isEmpty())
        dialogs_.showMessage(writer.warnings().join(QLatin1Char('\n')));
    if (!quiet) {
        dialogs_.showMessage(messageText("object_card") + QLatin1Char('[') + cardName + QLatin1Char(']')
                             + messageText("object_playbill") + QLatin1Char('[') + path + QLatin1Char(']')
                             + messageText("action_saved"));
    }
    if (const auto card = model_.findCard(cardName)) {
        card.record->programFile = path;
        card.record->modified = 0;
    }
    QString copyError;
    copyIntoFolder(path, folders_.programFolder(), &copyError);
    return true;
}

QString PlaybillSaver::askFileName(const QString& cardName, bool* refused)
{
    *refused = false;
    QString path = dialogs_.askSaveFileName(dialogTitle(cardName), folders_.programFolder(), fileFilter());
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".prg");
    // Another card's playbill would be written over: the operator is told whose.
    const QStringList sharing = cardsSharingPlaybill(model_, cardName, path);
    QString question = messageText("dlg_overwrite_exist_program_file");
    if (!sharing.isEmpty())
        question = sharedPlaybillText(QStringList{cardName} + sharing, path) + QLatin1Char('\n') + question;
    if ((QFileInfo::exists(path) || !sharing.isEmpty()) && !dialogs_.askYesNo(question)) {
        *refused = true;
        return {};
    }
    return path;
}

PlaybillSaver::Result PlaybillSaver::savePlaybills(int mode, const QString& selectedCard)
{
    error_.clear();
    if (mode != kSaveAllModified && (selectedCard.isEmpty() || !model_.findCard(selectedCard))) {
        dialogs_.showMessage(QStringLiteral("请选择要保存的控制卡！"));
        return Result::NothingSelected;
    }

    if (mode == kSaveSelectedAs) {
        bool refused = false;
        const QString path = askFileName(selectedCard, &refused);
        if (path.isEmpty())
            return refused ? Result::Stopped : Result::Done;
        return writePlaybill(selectedCard, path, false) ? Result::Done : Result::Failed;
    }

    Result result = Result::Done;
    QStringList names;
    for (const TFIXModem& c : model_.cards())
        names << c.name;
    for (const QString& name : names) {
        if (mode == kSaveSelected && name != selectedCard)
            continue;
        if (model_.pageNames(name).isEmpty())
            continue;
        const auto card = model_.findCard(name);
        if (!card)
            continue;
        const bool modified = card.record->modified != 0;
        QString file = card.record->programFile;
        if (!file.isEmpty() && !QFileInfo(file).isFile())
            file.clear();
        // Two cards must never write over one file: the operator learns why
        // a file name is asked for.
        if (!file.isEmpty() && modified) {
            const QStringList sharing = cardsSharingPlaybill(model_, name, file);
            if (!sharing.isEmpty()) {
                dialogs_.showMessage(sharedPlaybillText(QStringList{name} + sharing, file));
                file.clear();
            }
        }
        const bool quiet = mode == kSaveSelected;
        bool wrote = false;
        if (file.isEmpty()) {
            bool refused = false;
            file = askFileName(name, &refused);
            if (refused)
                return Result::Stopped;
            if (file.isEmpty())
                continue;
            wrote = true;
        } else if (modified) {
            wrote = true;
        }
        if (!wrote)
            continue;
        if (!writePlaybill(name, file, quiet)) {
            result = Result::Failed;
            continue;
        }
        if (mode == kSaveSelected)
            dialogs_.showMessage(file);
    }
    return result;
}

} // namespace ledsign
