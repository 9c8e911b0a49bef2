#include "service/textmaterials.h"

#include "content/textrunmarkup.h"
#include "model/projectmodel.h"

#include <QJsonArray>

namespace ledsign {

namespace {

const char* kindName(MaterialKind kind)
{
    switch (kind) {
    case kMultiText: return "multi";
    case kRemoteText: return "remote";
    default: return "single";
    }
}

} // namespace

QString plainTextOfTextRuns(const QString& markup)
{
    QString text;
    for (const TextRun& run : parseTextRuns(markup)) {
        // The reader puts a space before a run that is only a line break.
        text += run.text == QLatin1String(" \n") ? QStringLiteral("\n") : run.text;
    }
    return text;
}

bool textMaterialsOf(const ProjectModel& model, const QString& cardName, CardTextMaterials* out)
{
    if (!model.findCard(cardName))
        return false;
    CardTextMaterials found;
    for (const TProgram& page : model.pages())
        found.pages += page.cardName == cardName;
    for (const TFodder& m : model.materials()) {
        if (m.cardName != cardName)
            continue;
        if (m.kind == kSingleText || m.kind == kMultiText)
            found.texts.append({m.name, m.kind, plainTextOfTextRuns(m.content)});
        else if (m.kind == kRemoteText)
            found.texts.append({m.name, m.kind, QString()});
    }
    *out = found;
    return true;
}

QJsonObject toJson(const QString& cardName, const CardTextMaterials& materials)
{
    QJsonArray texts;
    for (const TextMaterial& t : materials.texts)
        texts.append(QJsonObject{{QStringLiteral("material"), t.name},
                                 {QStringLiteral("kind"), QLatin1String(kindName(t.kind))},
                                 {QStringLiteral("text"), t.text}});
    return {{QStringLiteral("name"), cardName}, {QStringLiteral("pages"), materials.pages}, {QStringLiteral("texts"), texts}};
}

} // namespace ledsign
