#include "model/tfixmodem.h"

#include <QStringList>

namespace ledsign {

TFIXModem createCard(const TFIXModem& given)
{
    TFIXModem card = given;
    card.headerParts.clear();
    card.headerPartsItem = 0;
    card.materialPackets.clear();
    card.materialPacketsItem = 0;
    card.featureFlags.fill(1);
    card.remoteTextFree = 1;
    card.zoom = 10;
    card.sendCounter = -1;
    card.sendStep = -1;
    card.online = 0;
    card.modified = 0;
    card.frameSerial.clear();
    card.cardType.clear();
    card.socket = nullptr;
    card.lastHeard = QDateTime();
    card.timeoutDays = 0;
    card.counters.fill(0);
    return card;
}

int colorTypeFromDepthText(const QString& text)
{
    const QString t = text.trimmed();
    if (t == QLatin1String("2"))
        return kColorDual;
    if (t == QLatin1String("3"))
        return kColorTri;
    return kColorSingle;
}

QString depthTextFromColorType(int colorType)
{
    if (colorType == kColorDual)
        return QStringLiteral("2");
    if (colorType == kColorTri)
        return QStringLiteral("3");
    return QStringLiteral("1");
}

bool isUnsetInternalCode(const QString& code)
{
    const QStringList parts = code.split(QLatin1Char('_'));
    if (parts.size() != 8)
        return false;
    for (const QString& p : parts) {
        if (p.trimmed() != QLatin1String("255"))
            return false;
    }
    return true;
}

} // namespace ledsign
