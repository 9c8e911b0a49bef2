// Small helpers shared by the test programs.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace ledsign::test {

// Folder of the built programs (ledsign-card, ledsign-cli).
QString binDir();
// Root of the source tree, for seed files kept in the repository.
QString sourceDir();

QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);

// Parses "FE 5C 4B 89" or "fe5c4b89" into bytes; spaces are ignored.
QByteArray hex(const char* text);

} // namespace ledsign::test
