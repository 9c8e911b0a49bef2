#include "content/ui/savepathprompt.h"

#include "language/language.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace ledsign {

QString askSavePath(QWidget* parent, const QString& filter, const QString& defaultSuffix)
{
    QString path = QFileDialog::getSaveFileName(parent, QString(), QString(), filter, nullptr,
                                                QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + defaultSuffix;
    if (QFileInfo::exists(path)
        && QMessageBox::question(parent, parent ? parent->windowTitle() : QString(),
                                 messageText(QStringLiteral("dlg_overwrite_exist_program_file")))
            != QMessageBox::Yes)
        return {};
    return path;
}

} // namespace ledsign
