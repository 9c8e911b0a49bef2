// Streams of a compound file (the container of ".xls" workbooks): a header,
// a sector allocation table, a directory of named streams, and a mini stream
// that holds the small ones. Only reading; every offset and chain is checked,
// so a damaged file gives an error, never a read outside the bytes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ledsign {

// The bytes of the first stream whose name is one of `names` (compared
// without case). False with `error` when the file is no compound file, is
// damaged or has no such stream.
bool readCompoundStream(const QByteArray& file, const QStringList& names, QByteArray* stream,
                        QString* error = nullptr);

} // namespace ledsign
