// An INI file that keeps sections and keys in file order.
//
// Reads like the classic profile functions: section and key names compare
// without regard to case, blanks around names and values are dropped, the
// first of two equal keys wins, and a missing file or key gives the caller's
// default. Text is GB18030, or UTF-8 / UTF-16 when the file starts with their
// byte-order mark (written back the same way); CR LF and LF line ends are
// read, CR LF is written. Look-ups and changes take constant time, so lists
// of many thousand keys load and save in linear time.
// Saving is atomic: the old file stays intact until the new one is complete.
#pragma once

#include "model/textencoding.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class QIODevice;

namespace ledsign {

class IniFile {
public:
    IniFile() = default;

    // A missing file loads as empty and returns true; an unreadable one
    // returns false with errorString() set.
    bool load(const QString& path);
    bool read(QIODevice& device);
    void parse(const QByteArray& bytes);

    bool save(const QString& path) const;
    bool write(QIODevice& device) const;
    QByteArray toBytes() const;

    QString errorString() const { return error_; }
    // Empty when the last load understood every byte; otherwise why not.
    // Such a file must not be written over: what it holds would be lost.
    QString parseProblem() const { return problem_; }
    TextEncoding encoding() const { return encoding_; }

    QStringList sections() const;
    bool hasSection(const QString& section) const;
    bool hasKey(const QString& section, const QString& key) const;
    // Keys of a section in file order (duplicates included).
    QStringList keys(const QString& section) const;
    // Keys and values of a section in file order, duplicates included.
    QList<std::pair<QString, QString>> keyValues(const QString& section) const;

    QString value(const QString& section, const QString& key, const QString& fallback = {}) const;
    // A value that is not a whole integer gives the fallback.
    int intValue(const QString& section, const QString& key, int fallback) const;
    // Booleans are stored as integers: non-zero is true.
    bool boolValue(const QString& section, const QString& key, bool fallback) const;

    void setValue(const QString& section, const QString& key, const QString& value);
    void setInt(const QString& section, const QString& key, int value);
    void setBool(const QString& section, const QString& key, bool value);
    // Adds a line at the end of the section even when a key of the same name
    // (compared without case) is already there, for lists keyed by names that
    // may differ only in case.
    void appendValue(const QString& section, const QString& key, const QString& value);
    void removeKey(const QString& section, const QString& key);
    void eraseSection(const QString& section);
    void clear();

private:
    struct Entry {
        QString key;    // empty for a comment or blank line kept as it was
        QString value;
        QString raw;    // the line itself, for comments
        bool isComment = false;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
        QHash<QString, qsizetype> firstEntry; // folded key -> index of its first entry
        void reindex();
    };

    const Section* findSection(const QString& name) const;
    Section* findSection(const QString& name);
    Section& sectionForWriting(const QString& name);
    const Entry* findEntry(const Section& section, const QString& key) const;
    void reindexSections();

    QList<Section> sections_;
    QHash<QString, qsizetype> sectionIndex_; // folded name -> index in sections_
    TextEncoding encoding_ = TextEncoding::Local;
    QString error_;
    QString problem_;
};

// Parses a whole decimal integer (optional sign, blanks around); false when
// the text is not one.
bool parseWholeInt(const QString& text, int* out);

} // namespace ledsign
