// The one text codec at every byte boundary: GB18030, a superset of GBK.
// Files, frames, packets and datagrams all go through these functions, so a
// GBK file written elsewhere reads and writes back byte for byte.
#pragma once

#include <QByteArray>
#include <QString>

namespace ledsign::codec {

QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);

// Length of the text in stored bytes (a Chinese character counts 2).
qsizetype byteLength(const QString& text);

// The longest prefix of the text whose encoding fits in maxBytes; a
// character is never split.
QString cutToBytes(const QString& text, qsizetype maxBytes);

// The longest prefix of already encoded bytes that does not end inside a
// multi-byte character.
QByteArray cutEncodedToBytes(const QByteArray& bytes, qsizetype maxBytes);

} // namespace ledsign::codec
