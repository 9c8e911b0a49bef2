// The frames of an animation file (GIF and any other format with several
// images), decoded in memory in play order as 24-bit pictures.
#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace ledsign {

// The file an animation material's `content` names: as written, or with "\"
// turned into "/" when only that form exists. Empty when neither exists.
QString animationFilePath(const QString& content);

// Every frame in order (at most `maxFrames` when that is not negative).
// Fails with an error text when the file is missing or unreadable; a file
// with no frames gives no pictures and fails too.
bool decodeAnimationFrames(const QString& path, QList<QImage>& frames, QString* error = nullptr,
                           int maxFrames = -1);

// Frame 0 of the file; a null image when there is none.
QImage firstAnimationFrame(const QString& path);

} // namespace ledsign
