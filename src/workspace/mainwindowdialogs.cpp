#include "workspace/mainwindowdialogs.h"

#include "content/colortable.h"
#include "content/fontsizetable.h"
#include "content/fonttable.h"
#include "content/tablepieces.h"
#include "content/ui/datetimedialog.h"
#include "content/ui/internalcodeeditor.h"
#include "content/ui/playweekdialog.h"
#include "content/ui/richtexteditor.h"
#include "content/ui/tableeditor.h"
#include "language/language.h"
#include "workspace/bindofferdialog.h"
#include "model/materialkinds.h"

#include <QFileDialog>
#include <QMessageBox>

namespace ledsign {

namespace {

bool fileListChanged(const TFodder& a, const TFodder& b)
{
    if (a.fileList.size() != b.fileList.size())
        return true;
    for (qsizetype i = 0; i < a.fileList.size(); ++i) {
        if (a.fileList.at(i).path != b.fileList.at(i).path)
            return true;
    }
    return false;
}

} // namespace

QtMainWindowDialogs::QtMainWindowDialogs(QWidget* parent)
    : parent_(parent)
{
}

QString QtMainWindowDialogs::title() const
{
    return messageText(QStringLiteral("action_confirm"));
}

QString QtMainWindowDialogs::askSaveFileName(const QString& title, const QString& folder, const QString& filter)
{
    QFileDialog dialog(parent_, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("prg"));
    // The saver asks about an existing file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool QtMainWindowDialogs::askYesNo(const QString& question)
{
    return QMessageBox::question(parent_, title(), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void QtMainWindowDialogs::showMessage(const QString& text)
{
    QMessageBox::information(parent_, parent_ ? parent_->windowTitle() : QString(), text);
}

MainWindowDialogs::Answer QtMainWindowDialogs::askYesNoCancel(const QString& question)
{
    switch (QMessageBox::question(parent_, title(), question,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString QtMainWindowDialogs::askOpenFileName(const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent_, title, folder, filter);
}

std::optional<NewCardInput> QtMainWindowDialogs::askNewCard(const QString& proposedName,
                                                            const std::function<QString(const QString&)>& check)
{
    if (!newCardWindow_)
        return std::nullopt;
    return newCardWindow_(proposedName, check);
}

bool QtMainWindowDialogs::editText(TFodder& material, int regionWidth)
{
    RichTextEditor editor(material.kind == kMultiText, material.content, material.textParam1, material.textParam2,
                          material.textParam3, regionWidth, parent_);
    editor.exec();
    // The editor writes its text back however it is closed.
    material.content = editor.content();
    material.textParam1 = editor.lineSpacing();
    material.textParam2 = editor.verticalAlignment();
    material.textParam3 = editor.yOffset();
    return editor.changed();
}

bool QtMainWindowDialogs::editTable(TFodder& material, const DataFolder& folders, QSize region)
{
    TableEditor editor(material, folders, region.width(), region.height(), parent_);
    if (editor.exec() != QDialog::Accepted)
        return false;
    const TFodder before = material;
    applyTableEdit(material, editor.editResult());
    // Opened and closed without an edit: the pieces are drawn again, but
    // the playbill has nothing new to save.
    return editor.tableChanged() || material.tableParam1 != before.tableParam1
        || material.tableParam2 != before.tableParam2 || material.displayMode != before.displayMode
        || material.remainTime != before.remainTime || fileListChanged(before, material);
}

bool QtMainWindowDialogs::editInternalCode(TFodder& material)
{
    InternalCodeEditor editor(material.content, cardFontName(material.fontCode),
                              pointSizeOfSizeCode(material.sizeCode, 12), screenColor(material.charColor),
                              parent_);
    editor.exec();
    material.content = editor.content();
    return editor.changed();
}

std::optional<QString> QtMainWindowDialogs::askPlayWeek(const QString& value, const QStringList& texts,
                                                        const QString& note)
{
    PlayWeekDialog dialog(value, texts, parent_);
    dialog.setNote(note);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.value();
}

std::optional<QPair<int, QString>> QtMainWindowDialogs::askPlayDate(const DialogRequest& request)
{
    DateTimeDialog dialog(request.text, true, parent_);
    dialog.setChoice(request.choice);
    dialog.setNote(request.note);
    if (request.items.size() >= 3)
        dialog.setChoiceTexts(request.items.at(0), request.items.at(1), request.items.at(2));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return QPair<int, QString>(dialog.choice(), dialog.value());
}

std::optional<QString> QtMainWindowDialogs::askCountTime(const QString& value)
{
    DateTimeDialog dialog(value, false, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.value();
}

std::optional<BindChoice> QtMainWindowDialogs::askBindCard(const BindOffer& offer)
{
    BindOfferDialog dialog(offer, parent_);
    dialog.exec();
    return dialog.choice();
}

} // namespace ledsign
