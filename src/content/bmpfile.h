// The bitmaps the cards' pictures are usually kept in (uncompressed 24-bit
// BMP, as table pieces and most image groups are) read straight into a
// 24-bit picture: one read of the file and a copy per row. Any other file,
// or a BMP of another kind, is left to Qt's image readers.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace ledsign {

// The picture of an uncompressed 24-bit BMP file's bytes; a null image when
// the bytes are any other kind of file or BMP. An uncompressed BMP of any
// depth whose bytes end before its last row is damaged: null, with `damage`
// saying so (Qt's reader would fill the missing rows with whatever memory
// held).
QImage readPlainBmp(const QByteArray& bytes, QString* damage = nullptr);

} // namespace ledsign
