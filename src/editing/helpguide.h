// The operator's guide that Help shows: one Markdown file per language,
// installed in share/ledsign/help beside the program's bin folder (also
// where the build puts it), or in a "help" folder next to the program for
// portable use.
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign {

// The file name of the guide in a language (0, 1, 2 as the language tables).
QString helpGuideName(int language);
// The folders searched, in order, for a program in `programFolder`.
QStringList helpGuideFolders(const QString& programFolder);
// The first guide found in the folders: in the language, else in English;
// empty when there is none.
QString findHelpGuide(const QStringList& folders, int language);

} // namespace ledsign
