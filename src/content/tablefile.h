// The table file (".tbl"): a sequence of property records ("TPF0", class
// name, empty object name, named tagged values, two closing zero bytes) - one
// grid record, then the cell records column by column, each followed by its
// cell-properties record when the cell has properties. Writer and reader face
// each other here; the reader refuses truncated or damaged files with a
// message and leaves the table it was given untouched.
#pragma once

#include "content/tablemodel.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace ledsign {

// Value tags of a property record.
namespace tabletag {
inline constexpr quint8 kInt8 = 0x02;
inline constexpr quint8 kInt16 = 0x03;
inline constexpr quint8 kInt32 = 0x04;
inline constexpr quint8 kShortText = 0x06;
inline constexpr quint8 kIdentifier = 0x07;
inline constexpr quint8 kFalse = 0x08;
inline constexpr quint8 kTrue = 0x09;
inline constexpr quint8 kSet = 0x0B;
inline constexpr quint8 kLongText = 0x0C;
inline constexpr quint8 kWideText = 0x12;
inline constexpr quint8 kUtf8Text = 0x14;
} // namespace tabletag

inline constexpr char kPropertyRecordSignature[] = "TPF0";
inline constexpr char kGridRecordClass[] = "TGridPropIO";
inline constexpr char kCellRecordClass[] = "TGridCellIO";
inline constexpr char kCellPropertiesRecordClass[] = "TGridCellPropIO";

// The tag a text is written with: 06 / 0C for ASCII, 14 when its UTF-8 form
// is shorter than twice its UTF-16 length, 12 otherwise.
quint8 textTagFor(const QString& text);

class TableFileWriter {
public:
    // `gridId` is the meaningless "ID" property of the grid record.
    static QByteArray write(const TableModel& table, qint32 gridId = 0);
    static bool write(const TableModel& table, QIODevice& device, QString* error = nullptr);
    // Saved atomically: a failed save leaves the old file as it was.
    static bool write(const TableModel& table, const QString& path, QString* error = nullptr);
};

class TableFileReader {
public:
    // On success `table` holds the file's grid and cells (its editor-wide
    // settings - background, line width and colour - are kept); on failure it
    // is unchanged and `error` says why.
    static bool read(const QByteArray& bytes, TableModel& table, QString* error = nullptr);
    static bool read(QIODevice& device, TableModel& table, QString* error = nullptr);
    static bool read(const QString& path, TableModel& table, QString* error = nullptr);
};

} // namespace ledsign
