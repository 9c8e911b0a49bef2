#include "bearertoken.h"

#include <QFile>

namespace ledsign::service {

bool readTokenFile(const QString& path, QByteArray& token, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the token file %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.read(kTokenMaxLength + 2).trimmed();
    if (bytes.size() < kTokenMinLength || bytes.size() > kTokenMaxLength) {
        error = QStringLiteral("the token in %1 must be %2 to %3 characters long")
                    .arg(path)
                    .arg(kTokenMinLength)
                    .arg(kTokenMaxLength);
        return false;
    }
    for (const char c : bytes) {
        if (uchar(c) <= ' ' || uchar(c) >= 0x7F) {
            error = QStringLiteral("the token in %1 must be printable ASCII without blanks").arg(path);
            return false;
        }
    }
    token = bytes;
    return true;
}

bool bearerMatches(const QByteArray& authorization, const QByteArray& token)
{
    static const QByteArray scheme("Bearer ");
    if (token.isEmpty() || !authorization.startsWith(scheme))
        return false;
    const QByteArray given = authorization.mid(scheme.size());
    // Every byte of the longer of the two is looked at, whatever differs.
    const qsizetype n = std::max(given.size(), token.size());
    unsigned diff = unsigned(given.size() ^ token.size());
    for (qsizetype i = 0; i < n; ++i) {
        const uchar a = i < given.size() ? uchar(given[i]) : 0;
        const uchar b = i < token.size() ? uchar(token[i]) : 0;
        diff |= unsigned(a ^ b);
    }
    return diff == 0;
}

} // namespace ledsign::service
