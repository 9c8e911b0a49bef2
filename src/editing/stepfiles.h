// The files an edit writes beside the records (a table's file and its
// pictures): what each held before the edit and after it, so that undoing
// the edit puts the old bytes back or removes what it made, and redoing it
// writes its bytes again. A file that was there before the edit and that
// the edit was not known to touch is never removed.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ledsign {

class StepFiles {
public:
    // Before the edit: the files of `folder` (names, sizes and times) and
    // the bytes of the `watched` files that exist.
    void watch(const QString& folder, const QStringList& watched);
    // After the edit: every file of the folder that is new or changed, and
    // the watched files that went.
    void settle();

    bool isEmpty() const { return files_.isEmpty(); }
    QStringList paths() const;

    // Put the files as they were before, or after, the edit. False with
    // `error` naming the file when one could not be written or removed.
    bool undo(QString* error = nullptr) const;
    bool redo(QString* error = nullptr) const;

    // A later edit of the same step: its files join, the earliest bytes of
    // a file standing for "before" and the latest for "after".
    void absorb(const StepFiles& later);

private:
    struct Listed {
        qint64 size = 0;
        QDateTime modified;
    };
    struct File {
        QString path;
        std::optional<QByteArray> before; // none: the file was not there
        std::optional<QByteArray> after;  // none: the edit removed it
    };
    bool put(bool after, QString* error) const;

    QString folder_;
    QHash<QString, Listed> listed_;
    QHash<QString, QByteArray> watchedBytes_;
    QStringList watched_;
    QList<File> files_;
};

} // namespace ledsign
