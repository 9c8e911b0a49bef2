#include "model/inifile.h"

#include "model/atomicfile.h"
#include "model/codec.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace ledsign {

namespace {
// Names compare without regard to case: the index holds folded names.
QString folded(const QString& name)
{
    return name.toCaseFolded();
}

// The first of equal names is the one found.
void addFirst(QHash<QString, qsizetype>& index, const QString& name, qsizetype at)
{
    if (!index.contains(name))
        index.insert(name, at);
}

QString unquote(const QString& value)
{
    if (value.size() >= 2
        && ((value.startsWith(u'"') && value.endsWith(u'"'))
            || (value.startsWith(u'\'') && value.endsWith(u'\''))))
        return value.mid(1, value.size() - 2);
    return value;
}
// A value that the reader would change (outer blanks are trimmed, one pair of
// outer quotes is removed) is written inside quotes, so it reads back as it was.
QString quotedForWriting(const QString& value)
{
    if (value.isEmpty())
        return value;
    const QChar first = value.front();
    const QChar last = value.back();
    const bool changedOnRead = first.isSpace() || last.isSpace() || first == u'"' || first == u'\''
        || last == u'"' || last == u'\'';
    return changedOnRead ? u'"' + value + u'"' : value;
}
} // namespace

bool parseWholeInt(const QString& text, int* out)
{
    bool ok = false;
    const QString t = text.trimmed();
    int v = t.toInt(&ok, 10);
    if (!ok && (t.startsWith(u'$') || t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))) {
        v = t.mid(t.startsWith(u'$') ? 1 : 2).toInt(&ok, 16);
    }
    if (ok && out)
        *out = v;
    return ok;
}

void IniFile::clear()
{
    sections_.clear();
    sectionIndex_.clear();
    problem_.clear();
}

void IniFile::Section::reindex()
{
    firstEntry.clear();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (!entries.at(i).isComment)
            addFirst(firstEntry, folded(entries.at(i).key), i);
    }
}

void IniFile::reindexSections()
{
    sectionIndex_.clear();
    for (qsizetype i = 0; i < sections_.size(); ++i)
        addFirst(sectionIndex_, folded(sections_.at(i).name), i);
}

bool IniFile::load(const QString& path)
{
    error_.clear();
    clear();
    if (!QFileInfo::exists(path))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = file.errorString();
        return false;
    }
    return read(file);
}

bool IniFile::read(QIODevice& device)
{
    error_.clear();
    const QByteArray bytes = device.readAll();
    if (device.isSequential() == false && !device.atEnd()) {
        error_ = device.errorString();
        return false;
    }
    parse(bytes);
    return true;
}

void IniFile::parse(const QByteArray& bytes)
{
    clear();
    const DecodedText decoded = decodeStoredText(bytes);
    encoding_ = decoded.encoding;
    problem_ = decoded.problem;
    const QString& text = decoded.text;
    Section* current = nullptr;
    const auto lines = QStringView(text).split(u'\n');
    for (QStringView lineView : lines) {
        QString line = lineView.toString();
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[')) {
            const qsizetype close = trimmed.indexOf(u']');
            const QString name = (close > 0 ? trimmed.mid(1, close - 1) : trimmed.mid(1)).trimmed();
            current = &sectionForWriting(name);
            continue;
        }
        if (!current)
            continue; // lines before the first section are not reachable by any look-up
        if (trimmed.isEmpty())
            continue;
        if (trimmed.startsWith(u';')) {
            current->entries.append(Entry{{}, {}, line, true});
            continue;
        }
        if (line.contains(QChar(0))) {
            // A NUL never belongs to a name or value; the file is not text.
            if (problem_.isEmpty())
                problem_ = QStringLiteral("NUL characters");
            continue;
        }
        const qsizetype eq = trimmed.indexOf(u'=');
        Entry entry;
        if (eq < 0) {
            entry.key = trimmed;
        } else {
            entry.key = trimmed.left(eq).trimmed();
            entry.value = unquote(trimmed.mid(eq + 1).trimmed());
        }
        if (entry.key.isEmpty())
            continue;
        addFirst(current->firstEntry, folded(entry.key), current->entries.size());
        current->entries.append(entry);
    }
}

QByteArray IniFile::toBytes() const
{
    QString out;
    for (const Section& s : sections_) {
        out += u'[' + s.name + QLatin1String("]\r\n");
        for (const Entry& e : s.entries) {
            if (e.isComment)
                out += e.raw + QLatin1String("\r\n");
            else
                out += e.key + u'=' + quotedForWriting(e.value) + QLatin1String("\r\n");
        }
        out += QLatin1String("\r\n");
    }
    return encodeStoredText(out, encoding_);
}

bool IniFile::write(QIODevice& device) const
{
    const QByteArray bytes = toBytes();
    if (device.write(bytes) != bytes.size())
        return false;
    return true;
}

bool IniFile::save(const QString& path) const
{
    QString error;
    const bool ok = writeFileAtomically(path, toBytes(), &error);
    const_cast<IniFile*>(this)->error_ = error;
    return ok;
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const Section& s : sections_)
        names << s.name;
    return names;
}

bool IniFile::hasSection(const QString& section) const
{
    return findSection(section) != nullptr;
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    const Section* s = findSection(section);
    return s && findEntry(*s, key);
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList result;
    if (const Section* s = findSection(section)) {
        for (const Entry& e : s->entries)
            if (!e.isComment)
                result << e.key;
    }
    return result;
}

QList<std::pair<QString, QString>> IniFile::keyValues(const QString& section) const
{
    QList<std::pair<QString, QString>> result;
    if (const Section* s = findSection(section)) {
        for (const Entry& e : s->entries)
            if (!e.isComment)
                result.append({e.key, e.value});
    }
    return result;
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const
{
    const Section* s = findSection(section);
    if (!s)
        return fallback;
    const Entry* e = findEntry(*s, key);
    return e ? e->value : fallback;
}

int IniFile::intValue(const QString& section, const QString& key, int fallback) const
{
    const Section* s = findSection(section);
    const Entry* e = s ? findEntry(*s, key) : nullptr;
    if (!e)
        return fallback;
    int v = fallback;
    return parseWholeInt(e->value, &v) ? v : fallback;
}

bool IniFile::boolValue(const QString& section, const QString& key, bool fallback) const
{
    return intValue(section, key, fallback ? 1 : 0) != 0;
}

IniFile::Section& IniFile::sectionForWriting(const QString& name)
{
    if (Section* s = findSection(name))
        return *s;
    sectionIndex_.insert(folded(name), sections_.size());
    sections_.append(Section{name, {}, {}});
    return sections_.last();
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    Section& s = sectionForWriting(section);
    const QString name = folded(key);
    const auto it = s.firstEntry.constFind(name);
    if (it != s.firstEntry.cend()) {
        s.entries[it.value()].value = value;
        return;
    }
    s.firstEntry.insert(name, s.entries.size());
    s.entries.append(Entry{key, value, {}, false});
}

void IniFile::appendValue(const QString& section, const QString& key, const QString& value)
{
    Section& s = sectionForWriting(section);
    addFirst(s.firstEntry, folded(key), s.entries.size());
    s.entries.append(Entry{key, value, {}, false});
}

void IniFile::setInt(const QString& section, const QString& key, int value)
{
    setValue(section, key, QString::number(value));
}

void IniFile::setBool(const QString& section, const QString& key, bool value)
{
    setValue(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::removeKey(const QString& section, const QString& key)
{
    Section* s = findSection(section);
    const QString name = folded(key);
    if (!s || !s->firstEntry.contains(name))
        return;
    s->entries.removeIf([&](const Entry& e) { return !e.isComment && folded(e.key) == name; });
    s->reindex();
}

void IniFile::eraseSection(const QString& section)
{
    const QString name = folded(section);
    if (!sectionIndex_.contains(name))
        return;
    sections_.removeIf([&](const Section& s) { return folded(s.name) == name; });
    reindexSections();
}

const IniFile::Section* IniFile::findSection(const QString& name) const
{
    const auto it = sectionIndex_.constFind(folded(name));
    return it == sectionIndex_.cend() ? nullptr : &sections_.at(it.value());
}

IniFile::Section* IniFile::findSection(const QString& name)
{
    const auto it = sectionIndex_.constFind(folded(name));
    return it == sectionIndex_.cend() ? nullptr : &sections_[it.value()];
}

const IniFile::Entry* IniFile::findEntry(const Section& section, const QString& key) const
{
    const auto it = section.firstEntry.constFind(folded(key));
    return it == section.firstEntry.cend() ? nullptr : &section.entries.at(it.value());
}

} // namespace ledsign
