#include "config/usbexport.h"

#include "model/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ledsign {

namespace {

QString joinPath(const QString& folder, const char* name)
{
    return QDir(folder).filePath(QString::fromLatin1(name));
}

void say(const UsbExport::Status& status, const char16_t* text)
{
    if (status)
        status(QString::fromUtf16(text));
}

} // namespace

UsbExportStart checkUsbExportStart(bool anyDrive, bool groupSendTicked, const TFIXModem* card, bool hasContent)
{
    UsbExportStart out;
    if (!anyDrive) {
        out.messages << QString::fromUtf16(usbtext::kNoDrive);
        return out;
    }
    if (groupSendTicked) {
        out.messages << QString::fromUtf16(usbtext::kNoGroup);
        out.untickGroup = true;
    }
    if (!card)
        return out;
    // Export mode skips the on-line check, but a network card whose
    // connection is gone is not exported.
    if (card->linkKind == 2 && (!card->socket || card->socket->state() != QAbstractSocket::ConnectedState))
        return out;
    if (isUnsetInternalCode(card->internalCode)) {
        out.messageKey = QStringLiteral("warn_innercode_error");
        return out;
    }
    if (!hasContent) {
        out.messageKey = QStringLiteral("warn_contents_empty_Send");
        return out;
    }
    out.proceed = true;
    return out;
}

bool copyFileSafely(const QString& from, const QString& to, QString* error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = in.errorString();
        return false;
    }
    const QString temp = to + QStringLiteral(".part");
    QFile out(temp);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    bool ok = true;
    for (;;) {
        const QByteArray block = in.read(kUsbCopyBlock);
        if (!block.isEmpty() && out.write(block) != block.size()) {
            ok = false;
            break;
        }
        if (block.size() < kUsbCopyBlock)
            break;
    }
    ok = ok && in.error() == QFileDevice::NoError && out.flush();
    if (ok)
        out.close();
    ok = ok && out.error() == QFileDevice::NoError;
    if (!ok) {
        if (error)
            *error = out.errorString();
        out.close();
        QFile::remove(temp);
        return false;
    }
    // One step replaces the old file: at every moment the drive holds
    // either the previous export or the new one, whole.
    if (::rename(QFile::encodeName(temp).constData(), QFile::encodeName(to).constData()) != 0) {
        if (error)
            *error = QStringLiteral("Cannot rename %1 to %2: %3").arg(temp, to, QString::fromLocal8Bit(std::strerror(errno)));
        QFile::remove(temp);
        return false;
    }
    return true;
}

UsbExport::UsbExport(QString workFolder, QString driveRoot)
    : workFolder_(std::move(workFolder))
    , driveRoot_(std::move(driveRoot))
    , copy_(copyFileSafely)
{
}

QString UsbExport::dataTarget() const { return joinPath(driveRoot_, kUsbDataFileName); }
QString UsbExport::paramTarget() const { return joinPath(driveRoot_, kUsbParamFileName); }

bool UsbExport::attempt(const Builder& data, const Builder& params, const Status& status, QString& error)
{
    // The files on the drive are replaced by renaming over them, never
    // removed first, so an attempt that fails leaves the previous export.
    bool paramsWritten = false;
    if (params) {
        const QByteArray bytes = params();
        if (!bytes.isEmpty()) {
            const QString local = joinPath(workFolder_, kUsbParamFileName);
            QFile::remove(local);
            if (!writeFileAtomically(local, bytes, &error) || !copy_(local, paramTarget(), &error))
                return false;
            paramsWritten = true;
            say(status, usbtext::kParamDone);
        }
    }
    const QByteArray bytes = data ? data() : QByteArray();
    if (bytes.isEmpty()) {
        // Nothing replaces the earlier export, which belongs to another
        // playbill than the one of now: a card must not load it.
        QFile::remove(dataTarget());
        QFile::remove(paramTarget());
        error = QStringLiteral("The playbill data could not be built.");
        return false;
    }
    const QString local = joinPath(workFolder_, kUsbDataFileName);
    QFile::remove(local);
    if (!writeFileAtomically(local, bytes, &error) || !copy_(local, dataTarget(), &error))
        return false;
    say(status, usbtext::kDataDone);
    // Parameters of an earlier export do not belong to this playbill.
    if (!paramsWritten)
        QFile::remove(paramTarget());
    return QFileInfo::exists(dataTarget());
}

UsbExport::Result UsbExport::run(const Builder& data, const Builder& params, const Status& status)
{
    Result result;
    say(status, usbtext::kStart);
    for (int i = 0; i < kUsbExportAttempts; ++i) {
        ++result.attempts;
        QString error;
        if (attempt(data, params, status, error)) {
            result.ok = true;
            result.error.clear();
            return result;
        }
        result.error = error;
    }
    // Every file on the drive is whole (copies are renamed into place), so
    // what an earlier export left there stays usable.
    say(status, usbtext::kFailed);
    return result;
}

} // namespace ledsign
