// The API's token: read from a file (surrounding blanks and line breaks
// dropped), and compared with a request's "Authorization: Bearer ..." in
// time that does not depend on where the two differ.
#pragma once

#include <QByteArray>
#include <QString>

namespace ledsign::service {

inline constexpr qsizetype kTokenMinLength = 16;
inline constexpr qsizetype kTokenMaxLength = 4096;

// False with `error` when the file cannot be read, or holds a token shorter
// than 16 or longer than 4096 characters, or with blanks inside.
bool readTokenFile(const QString& path, QByteArray& token, QString& error);

// The header's value is "Bearer " and exactly the token.
bool bearerMatches(const QByteArray& authorization, const QByteArray& token);

} // namespace ledsign::service
