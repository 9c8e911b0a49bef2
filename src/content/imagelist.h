// The image-group file list: the "*.bmp" files of a folder and the ordered
// image files of an image-group material, with adding, inserting and
// deleting as the image-group panel offers them. A file already listed is
// skipped; a missing file is reported and skipped.
#pragma once

#include "model/tfodder.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ledsign {

struct ImageListRow {
    int number = 0; // running number shown in the list, 1, 2, 3, ...
    QString path;
};

// The rows of the material's image list, numbered from 1.
QList<ImageListRow> imageListRows(const TFodder& material);

// Names of the "*.bmp" files of a folder (any case of the extension), sorted.
QStringList bmpFilesIn(const QString& folder);

bool imageListContains(const TFodder& material, const QString& path);

// Appends folder/name for every name, in order, that is not listed yet.
// Returns the paths added (each one is shown on the canvas).
QStringList appendImageFiles(TFodder& material, const QString& folder, const QStringList& names,
                             const MessageSink& report = {});

// Inserts the files not listed yet before row `row` (0-based), in order.
// `lastRow` receives the row of the last file inserted (-1 when none).
QStringList insertImageFiles(TFodder& material, int row, const QString& folder, const QStringList& names,
                             const MessageSink& report = {}, int* lastRow = nullptr);

// Removes the given rows (0-based, any order, duplicates and rows outside the
// list ignored), from the last to the first. Returns how many went.
int deleteImageRows(TFodder& material, QList<int> rows);

void clearImageList(TFodder& material);

} // namespace ledsign
