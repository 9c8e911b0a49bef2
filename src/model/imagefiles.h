// The image files of a material, and the small path helpers around them:
// the base name of a stored path and copying a file into a working folder.
#pragma once

#include "model/tfodder.h"

#include <QString>

namespace ledsign {

// The part after the last "\" or "/": paths written by the Windows program
// and our own read alike. Spaces are kept.
QString baseName(const QString& path);

// folder + "/" + name.
QString pathInFolder(const QString& folder, const QString& name);

// The message shown for an image file that does not exist:
// "file[path]dose not exist!Please confirm!" in English.
QString missingFileMessage(const QString& path);

// Appends the file to the material's list with number = count + 1. A path
// that does not exist as given is tried again with every "※" turned back
// into a space (the protected form of a space). A missing file is reported
// to `report` and nothing is added; the return value says whether it was.
bool addImageFile(TFodder& material, const QString& path, const MessageSink& report = {});

// The same, inserted at `index` (clamped to the list); the number is still
// count + 1, the others are not renumbered.
bool insertImageFile(TFodder& material, qsizetype index, const QString& path,
                     const MessageSink& report = {});

// Copies the file to folder + "/" + its base name (or `targetName`),
// replacing an existing file; the replacement is atomic. Copying a file onto
// itself succeeds without touching it.
bool copyIntoFolder(const QString& path, const QString& folder, QString* error = nullptr);
bool copyIntoFolder(const QString& path, const QString& folder, const QString& targetName,
                    QString* error = nullptr);

} // namespace ledsign
