#include "config/scanmodes.h"

#include "language/language.h"

#include <QStringList>

#include <initializer_list>

namespace ledsign {

namespace {

constexpr int kParamCategory = 10;
constexpr int kStaticScanSub = 3;

void addGroup(QList<ScanMode>& out, const QString& prefix, std::initializer_list<int> codes)
{
    char letter = 'A';
    for (int code : codes) {
        out.append({prefix + u'(' + QLatin1Char(letter) + u')', code});
        ++letter;
    }
}

} // namespace

ScanModeTable::ScanModeTable(const QString& staticName)
{
    addGroup(m_entries, QStringLiteral("1/16 "), {1, 16, 47, 48, 120, 121, 122, 123, 124, 125});
    addGroup(m_entries, QStringLiteral("1/8  "), {2, 3, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39});
    addGroup(m_entries, QStringLiteral("1/4  "),
             {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18, 19, 130, 131, 132});
    addGroup(m_entries, QStringLiteral("1/32  "), {50, 51, 52, 53, 54, 55, 56, 57});
    addGroup(m_entries, staticName + u' ', {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 40, 41, 42});
    addGroup(m_entries, QStringLiteral("1/10  "), {60, 61, 62, 63, 64, 65, 66, 67, 68, 69});
    addGroup(m_entries, QStringLiteral("1/12  "), {70, 71, 72, 73});
    addGroup(m_entries, QStringLiteral("1/20  "), {80, 81, 82, 83});
    addGroup(m_entries, QStringLiteral("1/24  "), {90, 91, 92, 93});
    addGroup(m_entries, QStringLiteral("1/5  "), {100, 101, 102, 103, 104, 105, 106, 107});
    addGroup(m_entries, QStringLiteral("1/6  "), {110, 111, 112, 113});
}

ScanModeTable ScanModeTable::forCurrentLanguage()
{
    return ScanModeTable(GetOptionText(kParamCategory, kStaticScanSub, 0));
}

QStringList ScanModeTable::names() const
{
    QStringList out;
    for (const ScanMode& mode : m_entries)
        out << mode.name;
    return out;
}

int ScanModeTable::ScanCodeOfIndex(int index) const
{
    if (index < 0 || index >= m_entries.size())
        return 0;
    return m_entries[index].code;
}

int ScanModeTable::ScanIndexOfCode(int code) const
{
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].code == code)
            return i;
    return 0;
}

} // namespace ledsign
