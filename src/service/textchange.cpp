#include "service/textchange.h"

#include "content/colortable.h"

#include <QSet>

namespace ledsign {

int colorCodeOfText(const QString& text)
{
    const QString t = text.trimmed();
    for (int code = 1; code <= kColorCount; ++code) {
        if (t.compare(programColorName(code), Qt::CaseInsensitive) == 0 || t == markupColorName(code))
            return code;
    }
    bool ok = false;
    const int code = t.toInt(&ok);
    return ok && code >= 1 && code <= kColorCount ? code : 0;
}

Outcome readTextChange(const QJsonObject& body, TextChange& out)
{
    static const QSet<QString> known{QStringLiteral("text"), QStringLiteral("color"), QStringLiteral("font"),
                                     QStringLiteral("size")};
    for (auto it = body.constBegin(); it != body.constEnd(); ++it) {
        if (!known.contains(it.key()))
            return Outcome::refuse(Refusal::BadInput,
                                   QStringLiteral("unknown field \"%1\" (text, color, font and size are known)").arg(it.key()));
    }
    const QJsonValue text = body.value(QStringLiteral("text"));
    if (!text.isString())
        return Outcome::refuse(Refusal::BadInput, QStringLiteral("\"text\" must be a string"));
    out = TextChange{text.toString(), {}, {}, {}};

    const QJsonValue color = body.value(QStringLiteral("color"));
    if (!color.isUndefined()) {
        const int code = color.isDouble() ? (color.toDouble() == color.toInt() ? color.toInt() : 0)
                                          : colorCodeOfText(color.toString());
        if (code < 1 || code > kColorCount)
            return Outcome::refuse(Refusal::BadInput,
                                   QStringLiteral("\"color\" must be red, green, yellow, blue, purple, aqua, white or 1..7"));
        out.color = code;
    }
    const QJsonValue font = body.value(QStringLiteral("font"));
    if (!font.isUndefined()) {
        const QString name = font.toString().trimmed();
        if (!font.isString() || name.isEmpty() || name.size() > kTextChangeFontNameMax)
            return Outcome::refuse(Refusal::BadInput,
                                   QStringLiteral("\"font\" must be a font name of 1 to %1 characters").arg(kTextChangeFontNameMax));
        out.font = name;
    }
    const QJsonValue size = body.value(QStringLiteral("size"));
    if (!size.isUndefined()) {
        const double points = size.toDouble(-1);
        if (!size.isDouble() || points != std::floor(points) || points < kTextChangeSizeMin || points > kTextChangeSizeMax)
            return Outcome::refuse(Refusal::BadInput, QStringLiteral("\"size\" must be a whole number of points, %1 to %2")
                                                          .arg(kTextChangeSizeMin)
                                                          .arg(kTextChangeSizeMax));
        out.pointSize = int(points);
    }
    return Outcome::done();
}

} // namespace ledsign
