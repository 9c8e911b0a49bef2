#include "editing/stepfiles.h"

#include "model/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace ledsign {

namespace {

std::optional<QByteArray> readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

} // namespace

void StepFiles::watch(const QString& folder, const QStringList& watched)
{
    folder_ = folder;
    listed_.clear();
    watchedBytes_.clear();
    files_.clear();
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files);
    for (const QFileInfo& info : entries)
        listed_.insert(info.absoluteFilePath(), {info.size(), info.lastModified()});
    for (const QString& path : watched) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (watchedBytes_.contains(absolute))
            continue;
        if (const auto bytes = readAll(absolute))
            watchedBytes_.insert(absolute, *bytes);
    }
}

void StepFiles::settle()
{
    files_.clear();
    const QFileInfoList entries = QDir(folder_).entryInfoList(QDir::Files);
    QSet<QString> present;
    for (const QFileInfo& info : entries) {
        const QString path = info.absoluteFilePath();
        present.insert(path);
        const auto was = listed_.constFind(path);
        const bool isNew = was == listed_.cend();
        // A watched file is compared by its bytes: two writes within the
        // clock's resolution keep its time.
        const bool changed = !isNew
            && (watchedBytes_.contains(path) || was->size != info.size() || was->modified != info.lastModified());
        if (!isNew && !changed)
            continue;
        File file;
        file.path = path;
        file.after = readAll(path);
        if (!isNew) {
            // A changed file that was not watched has no old bytes to go
            // back to: it is left as it is.
            const auto old = watchedBytes_.constFind(path);
            if (old == watchedBytes_.cend())
                continue;
            file.before = *old;
        }
        if (file.before == file.after)
            continue;
        files_ << file;
    }
    for (auto it = watchedBytes_.cbegin(); it != watchedBytes_.cend(); ++it) {
        if (!present.contains(it.key()) && QFileInfo(it.key()).absolutePath() == QFileInfo(folder_).absoluteFilePath())
            files_ << File{it.key(), it.value(), std::nullopt};
    }
    listed_.clear();
    watchedBytes_.clear();
}

QStringList StepFiles::paths() const
{
    QStringList list;
    for (const File& f : files_)
        list << f.path;
    return list;
}

bool StepFiles::put(bool after, QString* error) const
{
    bool ok = true;
    for (const File& f : files_) {
        const std::optional<QByteArray>& bytes = after ? f.after : f.before;
        QString why;
        if (bytes) {
            if (!writeFileAtomically(f.path, *bytes, &why)) {
                ok = false;
                if (error)
                    *error = why;
            }
        } else if (QFile::exists(f.path) && !QFile::remove(f.path)) {
            ok = false;
            if (error)
                *error = f.path;
        }
    }
    return ok;
}

bool StepFiles::undo(QString* error) const
{
    return put(false, error);
}

bool StepFiles::redo(QString* error) const
{
    return put(true, error);
}

void StepFiles::absorb(const StepFiles& later)
{
    for (const File& f : later.files_) {
        auto it = std::find_if(files_.begin(), files_.end(), [&](const File& mine) { return mine.path == f.path; });
        if (it == files_.end())
            files_ << f;
        else
            it->after = f.after;
    }
}

} // namespace ledsign
