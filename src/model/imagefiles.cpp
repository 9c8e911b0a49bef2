#include "model/imagefiles.h"

#include "language/language.h"
#include "model/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ledsign {

namespace {

const QChar kProtectedSpace(0x203B); // "※"

// The path to use for a stored name: as given when it exists, else with
// protected spaces restored; empty when neither exists.
QString existingPath(const QString& path)
{
    if (!path.isEmpty() && QFileInfo(path).isFile())
        return path;
    QString restored = path;
    restored.replace(kProtectedSpace, QLatin1Char(' '));
    if (restored != path && QFileInfo(restored).isFile())
        return restored;
    return {};
}

bool placeImageFile(TFodder& material, qsizetype index, const QString& path, const MessageSink& report)
{
    const QString found = existingPath(path);
    if (found.isEmpty()) {
        QString shown = path;
        shown.replace(kProtectedSpace, QLatin1Char(' '));
        if (report)
            report(missingFileMessage(shown));
        return false;
    }
    TFileInfo info;
    info.number = static_cast<qint32>(material.fileList.size() + 1);
    info.path = found;
    material.fileList.insert(qBound<qsizetype>(0, index, material.fileList.size()), info);
    return true;
}

} // namespace

QString baseName(const QString& path)
{
    const qsizetype cut = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

QString pathInFolder(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString missingFileMessage(const QString& path)
{
    return messageText(QStringLiteral("object_file")) + QLatin1Char('[') + path
        + QLatin1Char(']') + messageText(QStringLiteral("action_not_exist"))
        + messageText(QStringLiteral("action_confirm"));
}

bool addImageFile(TFodder& material, const QString& path, const MessageSink& report)
{
    return placeImageFile(material, material.fileList.size(), path, report);
}

bool insertImageFile(TFodder& material, qsizetype index, const QString& path, const MessageSink& report)
{
    return placeImageFile(material, index, path, report);
}

bool copyIntoFolder(const QString& path, const QString& folder, QString* error)
{
    return copyIntoFolder(path, folder, baseName(path), error);
}

bool copyIntoFolder(const QString& path, const QString& folder, const QString& targetName, QString* error)
{
    const QString target = pathInFolder(folder, targetName);
    const QFileInfo source(path);
    const QFileInfo dest(target);
    // Replacing the file by itself would first remove it. The same path
    // needs no look at the links (every playbill read from its folder).
    const bool samePath = QDir::cleanPath(source.absoluteFilePath()) == QDir::cleanPath(dest.absoluteFilePath());
    if (source.exists() && (samePath || (dest.exists() && source.canonicalFilePath() == dest.canonicalFilePath()))) {
        if (error)
            error->clear();
        return true;
    }
    if (!QDir().mkpath(folder.isEmpty() ? QStringLiteral(".") : folder)) {
        if (error)
            *error = QStringLiteral("%1: cannot create the folder").arg(folder);
        return false;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, in.errorString());
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, in.errorString());
        return false;
    }
    if (!writeFileAtomically(target, bytes, error)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(target, *error);
        return false;
    }
    return true;
}

} // namespace ledsign
