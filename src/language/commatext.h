// Splits a comma text into a list the way the classic string-list reader
// does: items are separated by commas or by blanks, a double-quoted item may
// hold both (a doubled quote stands for one), and a trailing comma adds an
// empty item. Ideographic spaces are not blanks, so they stay inside items.
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign {

QStringList parseCommaText(const QString& text);

} // namespace ledsign
