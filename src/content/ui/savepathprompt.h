// Asks where to save an editor's text file: the save dialog, a default
// extension when none is typed, and the overwrite question for an existing file.
#pragma once

#include <QString>

class QWidget;

namespace ledsign {

// The chosen path, or empty when the user cancels or declines to overwrite.
QString askSavePath(QWidget* parent, const QString& filter, const QString& defaultSuffix);

} // namespace ledsign
