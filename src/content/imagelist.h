// The image-group file list: the picture files of a folder and the ordered
// image files of an image-group material, with adding, inserting and
// deleting as the image-group panel offers them. A file already listed is
// skipped; a missing file is reported and skipped.
#pragma once

#include "model/tfodder.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace ledsign {

struct ImageListRow {
    int number = 0; // running number shown in the list, 1, 2, 3, ...
    QString path;
};

// The rows of the material's image list, numbered from 1.
QList<ImageListRow> imageListRows(const TFodder& material);

// Whether the name ends in an extension of the picture files an image group
// takes (BMP, PNG, JPEG, GIF: any case), for which a reader is installed.
// Every one is converted for the card like a bitmap; a GIF gives its first
// frame.
bool isImageFileName(const QString& name);

// Names of the picture files of a folder, sorted without regard to case.
QStringList imageFilesIn(const QString& folder);

// The local picture files among dropped or pasted addresses, in order.
QStringList imageFilesOf(const QList<QUrl>& urls);

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
