// The files of the text editors. Rich text is saved as a small RTF of our
// own (font and colour tables, bold, italic, underline, strikeout, size,
// paragraph alignment, text with \u escapes, font names in GBK) and read back with a
// reader for the basic RTF that word processors write; pictures, tables and
// other groups are passed over. Plain text is read as UTF-8 when it is valid
// UTF-8 and as GBK otherwise, and written as GBK with CR LF, as the card
// software on the other side expects.
//
// Curly quotes take a protected form in saved rich text: "“" is written as
// "?*" and "”" as "*?", and opening a file turns them back.
#pragma once

#include "content/richtextdocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ledsign {

// "“" -> "?*" and "”" -> "*?", and back.
QString protectQuotes(const QString& text);
QString restoreQuotes(const QString& text);

// The document as RTF (quotes protected).
QByteArray writeRtf(const RichTextDocument& document);

// Clears the document and loads the RTF into it (quotes restored). Returns
// false, with the document cleared, when the bytes are not RTF.
bool readRtf(const QByteArray& rtf, RichTextDocument& document, QString* error = nullptr);

// Lines of a plain-text file (CR LF, LF or CR).
QStringList decodeTextLines(const QByteArray& bytes);
// GBK lines joined by CR LF.
QByteArray encodeTextLines(const QStringList& lines);

// Reading and writing the files; false with an error text on failure.
bool readFileBytes(const QString& path, QByteArray* bytes, QString* error);
bool writeFileBytes(const QString& path, const QByteArray& bytes, QString* error);

// Loads a file into the rich-text editor's document: a ".txt" file line by
// line in the given look, anything else as RTF; quotes are restored.
bool loadTextEditorFile(const QString& path, RichTextDocument& document, const TextAttributes& plainLook,
                        QString* error = nullptr);

} // namespace ledsign
