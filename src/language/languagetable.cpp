#include "language/languagetable.h"

#include "language/commatext.h"

#include <QBuffer>
#include <QFile>

// The data files live in a static library: register them explicitly so that
// the linker keeps them. Must be called outside any namespace.
static void initLanguageResources()
{
    Q_INIT_RESOURCE(language);
}

namespace ledsign {

namespace {

constexpr int kFieldCount = 5;
const QString kMainCaptionKey = QStringLiteral("frmMain");

QString unescape(QStringView field)
{
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c != u'\\' || i + 1 == field.size()) {
            out += c;
            continue;
        }
        const QChar next = field[++i];
        if (next == u't')
            out += u'\t';
        else if (next == u'n')
            out += u'\n';
        else
            out += next;
    }
    return out;
}

bool toInt(QStringView field, int& value)
{
    bool ok = false;
    value = field.toInt(&ok);
    return ok;
}

const QList<rLgMap>& emptyRows()
{
    static const QList<rLgMap> none;
    return none;
}

} // namespace

QString LanguageTable::resourcePath(int language)
{
    switch (language) {
    case 0:
        return QStringLiteral(":/language/simplified.tsv");
    case 1:
        return QStringLiteral(":/language/traditional.tsv");
    default:
        return QStringLiteral(":/language/english.tsv");
    }
}

QString LanguageTable::ownMessagesPath(int language)
{
    QString path = resourcePath(language);
    path.replace(QLatin1String(".tsv"), QLatin1String("-own.tsv"));
    return path;
}

LanguageTable LanguageTable::builtIn(int language)
{
    initLanguageResources();
    LanguageTable table;
    if (!table.load(resourcePath(language), QStringLiteral(LEDSIGN_VERSION_TEXT)))
        return table;
    // Our own messages come after the card's rows, so they can never shadow
    // one of them (look-ups take the first match).
    LanguageTable own;
    if (own.load(ownMessagesPath(language), QString()))
        table.appendRows(own);
    return table;
}

void LanguageTable::appendRows(const LanguageTable& other)
{
    for (int i = 0; i < other.rowCount(); ++i) {
        const rLgMap& row = other.rowInOrder(i);
        m_rows[row.category].append(row);
        m_order.append({row.category, m_rows[row.category].size() - 1});
    }
}

void LanguageTable::clear()
{
    for (auto& list : m_rows)
        list.clear();
    m_order.clear();
}

void LanguageTable::addLgMap(int category, int sub, const QString& key, const QString& text,
                             const QString& itemsCommaText)
{
    if (category < 0 || category >= kCategoryCount)
        return;
    rLgMap row;
    row.sub = sub;
    row.category = category;
    row.key = key;
    row.text = text;
    row.items = parseCommaText(itemsCommaText);
    m_rows[category].append(row);
    m_order.append({category, m_rows[category].size() - 1});
}

bool LanguageTable::read(const QByteArray& utf8, const QString& versionText)
{
    clear();
    m_error.clear();
    const QString all = QString::fromUtf8(utf8);
    const QStringList lines = all.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QStringView line = lines[n];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QList<QStringView> fields = line.split(u'\t');
        int category = 0;
        int sub = 0;
        if (fields.size() != kFieldCount || !toInt(fields[0], category) || !toInt(fields[1], sub)) {
            m_error = QStringLiteral("language data line %1: expected category, sub, key, text "
                                     "and items separated by tabs")
                          .arg(n + 1);
            clear();
            return false;
        }
        const QString key = unescape(fields[2]);
        QString text = unescape(fields[3]);
        if (category == 0 && key == kMainCaptionKey)
            text += versionText;
        addLgMap(category, sub, key, text, unescape(fields[4]));
    }
    return true;
}

bool LanguageTable::read(QIODevice& device, const QString& versionText)
{
    if (!device.isOpen() && !device.open(QIODevice::ReadOnly)) {
        clear();
        m_error = device.errorString();
        return false;
    }
    return read(device.readAll(), versionText);
}

bool LanguageTable::load(const QString& path, const QString& versionText)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        clear();
        m_error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    return read(file, versionText);
}

const QList<rLgMap>& LanguageTable::rows(int category) const
{
    if (category < 0 || category >= kCategoryCount)
        return emptyRows();
    return m_rows[category];
}

const rLgMap& LanguageTable::rowInOrder(int i) const
{
    const auto& [category, index] = m_order.at(i);
    return m_rows[category].at(index);
}

QString LanguageTable::text(int category, const QString& key) const
{
    for (const rLgMap& row : rows(category)) {
        if (row.key == key)
            return row.text;
    }
    return QString();
}

const rLgMap* LanguageTable::rowForName(int category, const QString& name) const
{
    for (const rLgMap& row : rows(category)) {
        if (row.key.trimmed() == name)
            return &row;
    }
    return nullptr;
}

QStringList LanguageTable::list(int category, int sub, const QString& key) const
{
    QStringList result;
    for (const rLgMap& row : rows(category)) {
        if (row.sub != sub)
            continue;
        if (key.isEmpty())
            result.append(row.text);
        else if (row.text == key)
            return row.items;
    }
    return result;
}

QString LanguageTable::optionText(int category, int sub, int index) const
{
    const QStringList options = list(category, sub);
    if (index < 0 || index >= options.size())
        return QString();
    return options.at(index);
}

} // namespace ledsign
