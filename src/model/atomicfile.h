// Writing a file so that a crash or a full disk never leaves half of it:
// the bytes go to a temporary file beside the target, which is flushed to
// disk and then renamed over the target.
//
// A target that is a symbolic link is written where the link points (the
// link stays a link), and the file keeps its permissions. The temporary
// file is named "NAME.ledsign-PID.XXXXXX"; a save removes those in the
// target's folder that programs no longer running left behind (killed
// inside their write). The folder is read again only when it changed since
// our last save there.
#pragma once

#include <QByteArray>
#include <QString>

namespace ledsign {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// The file a write to `path` changes: `path` with its symbolic links followed
// (also when the last one points at a file not made yet).
QString atomicWriteTarget(const QString& path);

// The marker between a target's name and the process number in the name of
// its temporary files.
inline constexpr char kAtomicTempMarker[] = ".ledsign-";

} // namespace ledsign
