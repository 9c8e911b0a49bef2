// The scan modes of the LED modules a card can drive: 95 entries, each a
// name shown in the parameter window and the code the card expects in the
// first byte of the screen parameter block.
#pragma once

#include <QList>
#include <QString>

namespace ledsign {

struct ScanMode {
    QString name;
    int code = 0;
};

inline constexpr int kScanModeCount = 95;

class ScanModeTable {
public:
    // `staticName` is the static-scan text of the current language.
    explicit ScanModeTable(const QString& staticName = QString());
    // Built with the static-scan text of the current language.
    static ScanModeTable forCurrentLanguage();

    const QList<ScanMode>& entries() const { return m_entries; }
    int size() const { return int(m_entries.size()); }
    QStringList names() const;

    // Code of the entry at the index; 0 for an index out of range.
    int ScanCodeOfIndex(int index) const;
    // Index of the first entry with the code; 0 when none has it.
    int ScanIndexOfCode(int code) const;

private:
    QList<ScanMode> m_entries;
};

} // namespace ledsign
