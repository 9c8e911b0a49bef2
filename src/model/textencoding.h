// How a stored text file is encoded, told by its byte-order mark: files
// this program writes are GB18030 without a mark, but an operator's text
// editor may save one as UTF-8 or UTF-16 with a mark. Reading keeps the
// encoding so that a file is written back the way it came.
#pragma once

#include <QByteArray>
#include <QString>

namespace ledsign {

enum class TextEncoding {
    Local,   // GB18030, no mark
    Utf8,    // UTF-8 with its mark
    Utf16LE, // UTF-16 little-endian with its mark
    Utf16BE, // UTF-16 big-endian with its mark
    // UTF-16 without a mark, told by the zero bytes of its Latin
    // characters (section names, keys and numbers); written back without one.
    Utf16LEUnmarked,
    Utf16BEUnmarked,
};

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Local;
    // Empty when every byte decoded; otherwise why the text cannot be
    // trusted (bytes that are no character, NUL characters of an unmarked
    // wide encoding).
    QString problem;
};

DecodedText decodeStoredText(const QByteArray& bytes);
// The text in the encoding, with the mark of that encoding in front.
QByteArray encodeStoredText(const QString& text, TextEncoding encoding);

} // namespace ledsign
