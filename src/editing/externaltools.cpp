#include "editing/externaltools.h"

#include <QStandardPaths>

namespace ledsign {

QString externalToolVariable(ExternalTool tool)
{
    return tool == ExternalTool::Paint ? QStringLiteral("LEDSIGN_PAINT") : QStringLiteral("LEDSIGN_EDITOR");
}

QStringList externalToolCandidates(ExternalTool tool)
{
    if (tool == ExternalTool::Paint)
        return {QStringLiteral("kolourpaint"), QStringLiteral("pinta"), QStringLiteral("mtpaint"),
                QStringLiteral("gimp")};
    return {QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kate"),
            QStringLiteral("mousepad"), QStringLiteral("xed"),   QStringLiteral("pluma"),
            QStringLiteral("featherpad")};
}

QString externalToolProgram(ExternalTool tool)
{
    const QString configured = qEnvironmentVariable(externalToolVariable(tool).toLatin1().constData()).trimmed();
    if (!configured.isEmpty())
        return configured;
    for (const QString& name : externalToolCandidates(tool)) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace ledsign
