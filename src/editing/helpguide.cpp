#include "editing/helpguide.h"

#include "language/language.h"

#include <QDir>
#include <QFileInfo>

namespace ledsign {

QString helpGuideName(int language)
{
    switch (language) {
    case kSimplifiedChinese: return QStringLiteral("guide.zh_CN.md");
    case kTraditionalChinese: return QStringLiteral("guide.zh_TW.md");
    default: return QStringLiteral("guide.en.md");
    }
}

QStringList helpGuideFolders(const QString& programFolder)
{
    const QDir bin(programFolder);
    return {QDir::cleanPath(bin.filePath(QStringLiteral("../share/ledsign/help"))),
            QDir::cleanPath(bin.filePath(QStringLiteral("help")))};
}

QString findHelpGuide(const QStringList& folders, int language)
{
    QStringList names{helpGuideName(language)};
    if (!names.contains(helpGuideName(kEnglish)))
        names << helpGuideName(kEnglish);
    for (const QString& name : names)
        for (const QString& folder : folders) {
            const QString path = QDir(folder).filePath(name);
            if (QFileInfo(path).isFile())
                return path;
        }
    return {};
}

} // namespace ledsign
