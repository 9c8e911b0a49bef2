// Writing a file so that a crash or a full disk never leaves half of it:
// the bytes go to a temporary file beside the target, which is flushed to
// disk and then renamed over the target.
#pragma once

#include <QByteArray>
#include <QString>

namespace ledsign {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace ledsign
