// The status text of a command whose function is not part of this version
// yet (sending, card search, preview, the parameter and editor windows):
// the command's caption and a note in the current language.
#pragma once

#include <QString>

namespace ledsign {

QString laterVersionText(const QString& caption);

} // namespace ledsign
