// The communication-mode text follows the language: the mode is stored as the
// language text of the choice ("Network", "串口", ...) or the literal "485",
// so a new table re-derives it from the serial-port setting.
#pragma once

#include <QString>

namespace ledsign {

class LanguageTable;

inline const QString kCommMode485 = QStringLiteral("485");

// No serial port configured means network mode; otherwise the mode is the
// serial-port text unless it is "485", which no table translates.
QString normalizedCommMode(const QString& commMode, const QString& commParam01,
                           const LanguageTable& table);

} // namespace ledsign
