// The desktop programs the Tools menu starts: a paint program and a text
// editor. The variables LEDSIGN_PAINT and LEDSIGN_EDITOR name them; otherwise
// the first one of a few common programs found on the search path is used.
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign {

enum class ExternalTool { Paint, TextEditor };

// The environment variable that names the tool's program.
QString externalToolVariable(ExternalTool tool);
// Programs tried in order when the variable is not set.
QStringList externalToolCandidates(ExternalTool tool);
// The program to start; empty when none is configured or found.
QString externalToolProgram(ExternalTool tool);

} // namespace ledsign
