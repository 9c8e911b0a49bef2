#include "exportparams.h"

#include "config/scanmodes.h"

#include <QStringList>

#include <iterator>

namespace ledsign::cli {

namespace {

// Clock choices of the window, in its order (MHz).
constexpr int kClockMHz[] = {12, 8, 6};

bool number(const QString& text, int low, int high, int& out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

QString squeezed(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (!c.isSpace())
            out += c;
    }
    return out.toUpper();
}

// A scan mode by its name ("1/16(A)", spaces ignored) or its place in the list.
int scanIndex(const QString& value)
{
    const ScanModeTable table = ScanModeTable::forCurrentLanguage();
    int index = -1;
    if (number(value, 0, table.size() - 1, index))
        return index;
    const QString wanted = squeezed(value);
    const QStringList names = table.names();
    for (int i = 0; i < names.size(); ++i) {
        if (squeezed(names[i]) == wanted)
            return i;
    }
    return -1;
}

} // namespace

bool parseExportParameters(const QString& text, int width, int height, int colors, ExportParameters& out,
                           QString& error)
{
    out = ExportParameters();
    out.width = QString::number(width);
    out.height = QString::number(height);
    ScreenParams& s = out.screen;
    s.colorIndex = colors - 1;
    s.address485Index = 0;
    s.baudIndex = 0;
    s.emptyDisplayIndex = 0;

    for (const QString& item : text.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(u'=');
        const QString name = item.left(eq).trimmed().toLower();
        const QString value = eq < 0 ? QString() : item.mid(eq + 1).trimmed();
        if (eq < 0 || value.isEmpty()) {
            error = QStringLiteral("--params: \"%1\" is not NAME=VALUE").arg(item);
            return false;
        }
        bool ok = true;
        int v = 0;
        if (name == QLatin1String("scan")) {
            s.scanIndex = scanIndex(value);
            ok = s.scanIndex >= 0;
        } else if (name == QLatin1String("oe")) {
            ok = number(value, 0, 1, s.oeIndex);
        } else if (name == QLatin1String("data")) {
            ok = number(value, 0, 1, s.dataBitIndex);
        } else if (name == QLatin1String("content")) {
            ok = number(value, 0, 1, s.contentIndex);
        } else if (name == QLatin1String("day")) {
            ok = number(value, 0, 7, s.dayBrightness);
        } else if (name == QLatin1String("night")) {
            ok = number(value, 0, 7, s.nightBrightness);
        } else if (name == QLatin1String("rows")) {
            ok = number(value, 0, screenblock::kRowOrderCount - 1, s.rowOrderIndex);
        } else if (name == QLatin1String("trans")) {
            ok = number(value, 0, 2, s.transIndex);
        } else if (name == QLatin1String("empty")) {
            ok = number(value, 0, 1, s.emptyDisplayIndex);
        } else if (name == QLatin1String("address")) {
            ok = number(value, 1, 99, v);
            s.address485Index = v - 1;
        } else if (name == QLatin1String("clock")) {
            ok = number(value, 0, 100, v);
            const int* at = std::find(std::begin(kClockMHz), std::end(kClockMHz), v);
            ok = ok && at != std::end(kClockMHz);
            s.clockIndex = ok ? int(at - std::begin(kClockMHz)) : -1;
        } else if (name == QLatin1String("baud")) {
            ok = number(value, 0, 10000000, v);
            const int* at = std::find(std::begin(kBlockBaudRates), std::end(kBlockBaudRates), v);
            ok = ok && at != std::end(kBlockBaudRates);
            s.baudIndex = ok ? int(at - std::begin(kBlockBaudRates)) : 0;
        } else {
            error = QStringLiteral("--params: unknown name \"%1\"").arg(name);
            return false;
        }
        if (!ok) {
            error = QStringLiteral("--params: %1=%2 is not one of the choices").arg(name, value);
            return false;
        }
    }
    if (!exportParametersComplete(out)) {
        QStringList missing;
        const struct {
            const char* name;
            int value;
        } needed[] = {{"scan", s.scanIndex}, {"oe", s.oeIndex},       {"day", s.dayBrightness},
                      {"night", s.nightBrightness}, {"data", s.dataBitIndex}, {"clock", s.clockIndex},
                      {"content", s.contentIndex}, {"rows", s.rowOrderIndex}, {"trans", s.transIndex}};
        for (const auto& n : needed) {
            if (n.value < 0)
                missing << QString::fromLatin1(n.name);
        }
        error = QStringLiteral("--params needs %1 as well").arg(missing.join(QStringLiteral(", ")));
        return false;
    }
    return true;
}

QString exportParametersHelp()
{
    return QStringLiteral(
        "  --params LIST      write \"Vk_Param.prg\" too, from NAME=VALUE pairs joined by commas:\n"
        "                       scan=1/16(A)  scan mode by name or place in the list (0 = first)\n"
        "                       oe=0|1  data=0|1  content=0|1   not inverted / inverted\n"
        "                       day=0..7  night=0..7            brightness, 0 brightest\n"
        "                       clock=12|8|6  rows=0..3  trans=0..2\n"
        "                     optional: address=1..99 (1), baud=9600|19200|38400|57600|115200 (9600),\n"
        "                       empty=0|1 (0 black screen, 1 welcome text)\n");
}

} // namespace ledsign::cli
