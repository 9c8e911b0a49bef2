#include "support/testsupport.h"

#include <QFile>

namespace ledsign::test {

QString binDir() { return QStringLiteral(LEDSIGN_BIN_DIR); }
QString sourceDir() { return QStringLiteral(LEDSIGN_SOURCE_DIR); }

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray hex(const char* text)
{
    QByteArray compact = QByteArray(text).replace(' ', "");
    return QByteArray::fromHex(compact);
}

} // namespace ledsign::test
