#include "playoptions.h"

#include <QCommandLineParser>

namespace ledsign::card {

void addPlayOptions(QCommandLineParser& p)
{
    p.addOption({QStringLiteral("acquire-value"),
                 QStringLiteral("The value real-time acquisition materials show (0)."), QStringLiteral("value")});
    p.addOption({QStringLiteral("queue-number"), QStringLiteral("The number queue materials show (0001)."),
                 QStringLiteral("text")});
    p.addOption({QStringLiteral("store"),
                 QStringLiteral("Keep what the card receives (and its clock) in DIR and play it again at start."),
                 QStringLiteral("dir")});
    p.addOption({QStringLiteral("record"),
                 QStringLiteral("Record the panel of each playbill into FILE (then FILE-2, ...): an animated GIF, "
                                "or with .png a numbered sequence."),
                 QStringLiteral("file")});
    p.addOption({QStringLiteral("seconds"), QStringLiteral("Length of the recording in seconds (10)."),
                 QStringLiteral("n")});
    p.addOption({QStringLiteral("record-fps"), QStringLiteral("Pictures per second of the recording (10)."),
                 QStringLiteral("n")});
}

bool readPlayOptions(const QCommandLineParser& p, CardOptions& o, QString& error)
{
    if (p.isSet(QStringLiteral("acquire-value")))
        o.acquiredValue = p.value(QStringLiteral("acquire-value"));
    if (p.isSet(QStringLiteral("queue-number")))
        o.queueNumber = p.value(QStringLiteral("queue-number"));
    o.storeDir = p.value(QStringLiteral("store"));
    o.recordFile = p.value(QStringLiteral("record"));
    if (p.isSet(QStringLiteral("seconds"))) {
        bool ok = false;
        o.recordSeconds = p.value(QStringLiteral("seconds")).toDouble(&ok);
        if (!ok || o.recordSeconds <= 0 || o.recordSeconds > 3600) {
            error = QStringLiteral("--seconds needs a number of seconds from 0 to 3600");
            return false;
        }
    }
    if (p.isSet(QStringLiteral("record-fps"))) {
        bool ok = false;
        o.recordFps = p.value(QStringLiteral("record-fps")).toInt(&ok);
        if (!ok || o.recordFps < 1 || o.recordFps > 50) {
            error = QStringLiteral("--record-fps needs a number from 1 to 50");
            return false;
        }
    }
    if (!o.recordFile.isEmpty() && !o.recordFile.endsWith(QStringLiteral(".gif"), Qt::CaseInsensitive)
        && !o.recordFile.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        error = QStringLiteral("--record needs a FILE ending in .gif or .png");
        return false;
    }
    return true;
}

} // namespace ledsign::card
