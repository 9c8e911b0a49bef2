#include "content/ui/animationchooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace ledsign {

std::optional<QString> chooseAnimationFile(QWidget* parent, const QString& current)
{
    const QString start = QFileInfo(current).isFile() ? current : QString();
    const QString path = QFileDialog::getOpenFileName(parent, QString(), start, QString::fromLatin1(kAnimationFilter));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

} // namespace ledsign
