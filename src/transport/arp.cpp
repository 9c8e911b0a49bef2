#include "transport/arp.h"

#include "transport/datagram.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace ledsign {

namespace {

QString readTable()
{
    QFile file(QString::fromLatin1(kArpTablePath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll());
}

} // namespace

bool findArpEntry(const QString& tableText, const QString& address, ArpEntry& out)
{
    const QString wanted = address.trimmed();
    if (wanted.isEmpty())
        return false;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList lines = tableText.split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) { // the first line is the heading
        const QStringList fields = lines[i].split(blanks, Qt::SkipEmptyParts);
        if (fields.size() < 6 || fields[0] != wanted)
            continue;
        bool ok = false;
        const int flags = fields[2].toInt(&ok, 16);
        out.address = fields[0];
        out.mac = fields[3];
        out.device = fields[5];
        out.complete = ok && (flags & 0x2) != 0;
        return true;
    }
    return false;
}

QString macOfAddress(const QString& address, const QString& tableText)
{
    ArpEntry entry;
    if (!findArpEntry(tableText, address, entry) || !entry.complete)
        return {};
    const QStringList parts = entry.mac.split(QLatin1Char(':'));
    if (parts.size() != 6)
        return {};
    QStringList decimal;
    for (const QString& part : parts) {
        bool ok = false;
        const int v = part.toInt(&ok, 16);
        if (!ok || v < 0 || v > 255)
            return {};
        decimal << QString::number(v);
    }
    return decimal.join(QLatin1Char(':'));
}

QString macOfAddress(const QString& address)
{
    return macOfAddress(address, readTable());
}

QStringList arpDeleteCommand(const QString& address, const QString& tableText)
{
    // Only a plain dotted address ever reaches the command line.
    if (!datagram::ipFromText(address))
        return {};
    ArpEntry entry;
    if (!findArpEntry(tableText, address, entry))
        return {};
    static const QRegularExpression deviceName(QStringLiteral("^[A-Za-z0-9_.:@-]+$"));
    if (!deviceName.match(entry.device).hasMatch())
        return {};
    return {QStringLiteral("ip"), QStringLiteral("neigh"), QStringLiteral("del"), entry.address,
            QStringLiteral("dev"), entry.device};
}

void clearArpEntry(const QString& address)
{
    const QStringList command = arpDeleteCommand(address, readTable());
    if (command.isEmpty())
        return;
    QProcess::startDetached(command.first(), command.mid(1));
}

} // namespace ledsign
