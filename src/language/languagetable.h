// One language table: the ordered rows of every category (0 to 17), each
// row a category, a sub-list number, a language key, the text shown and an
// optional item list. Tables are read from the tab-separated data files
// compiled into the program; look-ups take the first matching row.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <utility>

class QIODevice;

namespace ledsign {

struct rLgMap {
    int sub = 0;
    int category = 0;
    QString key;
    QString text;
    QStringList items;
};

class LanguageTable {
public:
    static constexpr int kCategoryCount = 18;

    LanguageTable() = default;

    // The built-in table of a language (0 simplified Chinese, 1 traditional
    // Chinese, 2 English; any other index gives English). A damaged data file
    // gives an empty table, whose look-ups all return empty texts.
    static LanguageTable builtIn(int language);
    // Name of the data file of a language inside the compiled-in resources.
    static QString resourcePath(int language);
    // The program's own messages (not part of the card's language tables),
    // in the same format; built-in tables end with them.
    static QString ownMessagesPath(int language);

    // Appends a row to its category; a category outside 0..17 adds nothing.
    void addLgMap(int category, int sub, const QString& key, const QString& text,
                  const QString& itemsCommaText = QString());

    // Reads rows from the data format: one row per line, five tab-separated
    // fields "category, sub, key, text, items (comma text)"; "\\", "\t" and
    // "\n" escape a backslash, tab and line break. The row of category 0 with
    // key "frmMain" gets the version text appended. On a malformed line the
    // table is left empty and false is returned with errorString() set.
    bool read(QIODevice& device, const QString& versionText);
    bool read(const QByteArray& utf8, const QString& versionText);
    bool load(const QString& path, const QString& versionText);
    QString errorString() const { return m_error; }

    // First row of the category whose key equals `key` exactly.
    QString text(int category, const QString& key) const;
    // First row of the category whose trimmed key equals a component or
    // action name; nullptr when none. Windows take captions and hints this way.
    const rLgMap* rowForName(int category, const QString& name) const;
    // Empty key: texts of all rows of the category with the given sub.
    // Otherwise: items of the first such row whose TEXT equals `key`.
    QStringList list(int category, int sub, const QString& key = QString()) const;
    // Position `index` of list(category, sub); empty when out of range.
    QString optionText(int category, int sub, int index) const;

    // Rows of one category in table order; empty for a category outside 0..17.
    const QList<rLgMap>& rows(int category) const;
    // Number of rows of all categories.
    int rowCount() const { return int(m_order.size()); }
    // Row `i` (0 <= i < rowCount()) in the order the rows were added.
    const rLgMap& rowInOrder(int i) const;

    // Appends every row of `other`, in its order.
    void appendRows(const LanguageTable& other);

private:
    void clear();

    std::array<QList<rLgMap>, kCategoryCount> m_rows;
    // Category and position of every row, in the order of adding.
    QList<std::pair<int, qsizetype>> m_order;
    QString m_error;
};

} // namespace ledsign
