#include "service/cardtexts.h"

#include "content/colortable.h"
#include "content/fonttable.h"
#include "content/plaintextmarkup.h"
#include "content/qtrichtextdocument.h"
#include "content/textbudget.h"
#include "content/textprogrammarkup.h"
#include "language/language.h"
#include "model/codec.h"
#include "model/projectmodel.h"
#include "protocol/textprogram.h"
#include "service/playbillstore.h"

#include <QDir>
#include <QFileInfo>
#include <QTextDocument>

namespace ledsign {

namespace {

constexpr int kStartPointSize = 12;
// A new text program's page plays all day; its text plays once per turn,
// fitted to the panel, and stays until the next.
constexpr int kBodyTextAttribute = 5; // "正文"
constexpr int kFitDisplayMode = 0;    // "自适应"
constexpr int kStartSpeed = 1;

TextAttributes startLook()
{
    return TextAttributes{screenColor(1), defaultCardFontName(), kStartPointSize};
}

void applyChange(TextAttributes& look, const TextChange& change)
{
    if (change.color)
        look.color = screenColor(*change.color);
    if (!change.font.isEmpty())
        look.fontName = change.font;
    if (change.pointSize)
        look.pointSize = *change.pointSize;
}

// The sizes the card's text coder gives a size code of their own (the
// entries of the text-program window's size list).
bool isCardPointSize(int points)
{
    static constexpr int kSizes[] = {9, 12, 18, 24, 36, 48, 60, 72};
    return std::find(std::begin(kSizes), std::end(kSizes), points) != std::end(kSizes);
}

TextAttributes lookOfTextProgram(const QString& markup)
{
    QTextDocument doc;
    QtRichTextDocument rich(&doc);
    rich.setDefaultAttributes(startLook());
    loadTextProgramMarkup(markup, rich);
    if (rich.blockCount() > 0) {
        const RichTextBlock block = rich.block(0);
        if (!block.fragments.isEmpty())
            return block.fragments.first().attributes;
    }
    return startLook();
}

TextProgramData newTextProgram(ProjectModel& model, const QString& name)
{
    TextProgramData data;
    TProgram page;
    page.name = name;
    page.id = model.newId();
    page.startTime = QStringLiteral("00:00");
    page.endTime = QStringLiteral("23:59");
    page.playCycle = messageText(QStringLiteral("cycle_everyday"));
    page.textProgramPage = 1;
    page.playMode = kPlayByDateAlt;
    data.pages << page;
    TFodder m;
    m.name = name;
    m.id = model.newId();
    m.spare1C = page.id;
    m.spare28 = QString::fromLatin1(kTextProgramMaterialMark);
    m.kind = kTextProgramKind;
    m.typeCode = kBodyTextAttribute + 1;
    m.playTimes = 1;
    m.displayMode = kFitDisplayMode;
    m.displaySpeed = kStartSpeed;
    m.remainTime = 0;
    data.materials << m;
    return data;
}

} // namespace

CardTexts::CardTexts(ProjectModel& model, PlaybillStore& store, const DataFolder& folders)
    : m_model(model)
    , m_store(store)
    , m_folders(folders)
{
}

Outcome CardTexts::findMaterial(const QString& cardName, const QString& materialName, qsizetype* index) const
{
    const QList<TFodder>& materials = m_model.materials();
    int count = 0;
    for (qsizetype i = 0; i < materials.size(); ++i) {
        const TFodder& m = materials[i];
        if (m.cardName == cardName && m.name == materialName && m.kind != kTextProgramKind) {
            if (count++ == 0)
                *index = i;
        }
    }
    if (count == 0)
        return Outcome::refuse(Refusal::NotFound,
                               QStringLiteral("card %1 has no material named %2").arg(cardName, materialName));
    if (count > 1)
        return Outcome::refuse(Refusal::Conflict, QStringLiteral("card %1 has %2 materials named %3; give them names of their own")
                                                      .arg(cardName)
                                                      .arg(count)
                                                      .arg(materialName));
    return Outcome::done();
}

TextResult CardTexts::setText(const QString& cardName, const QString& materialName, const TextChange& change, bool rs485)
{
    if (!std::as_const(m_model).findCard(cardName))
        return {Outcome::refuse(Refusal::NotFound, QStringLiteral("no card named %1").arg(cardName)), {}};
    qsizetype index = -1;
    if (Outcome found = findMaterial(cardName, materialName, &index); !found)
        return {found, {}};
    if (change.text.trimmed().isEmpty())
        return {Outcome::refuse(Refusal::BadInput, QStringLiteral("the text is empty (a material needs a character to show)")), {}};
    switch (m_model.materials()[index].kind) {
    case kSingleText:
    case kMultiText:
        return {setTextRuns(index, change), {}};
    case kRemoteText:
        return setTextProgram(index, change, rs485);
    default:
        return {Outcome::refuse(Refusal::BadInput, QStringLiteral("material %1 of card %2 is not a text material")
                                                       .arg(materialName, cardName)),
                {}};
    }
}

Outcome CardTexts::setTextRuns(qsizetype index, const TextChange& change)
{
    TFodder& material = m_model.materials()[index];
    const auto region = std::as_const(m_model).findRegion(material.cardName, material.pageName, material.regionName);
    const int width = region ? region.record->width : 0;
    PlainTextLook look = lookOfTextRuns(material.content, PlainTextLook{startLook(), ParagraphAlignment::Left});
    applyChange(look.attributes, change);

    TFodder changed = material;
    changed.content = textRunMarkupOf(change.text, look, material.kind == kMultiText, width);
    if (const QString refusal = textContentRefusal(changed); !refusal.isEmpty())
        return Outcome::refuse(Refusal::BadInput, refusal);

    const QString cardName = material.cardName;
    const QString before = material.content;
    const auto card = m_model.findCard(cardName);
    const quint8 wasModified = card.record->modified;
    material.content = changed.content;
    m_model.markModified(cardName);
    Outcome saved = m_store.save(cardName);
    if (!saved) {
        // What is in memory stays what is on disk.
        m_model.materials()[index].content = before;
        if (const auto again = m_model.findCard(cardName))
            again.record->modified = wasModified;
    }
    return saved;
}

TextResult CardTexts::setTextProgram(qsizetype index, const TextChange& change, bool rs485)
{
    TFodder& material = m_model.materials()[index];
    const QString cardName = material.cardName;
    if (change.pointSize && !isCardPointSize(*change.pointSize))
        return {Outcome::refuse(Refusal::BadInput,
                                QStringLiteral("a text program's size is one the card draws: 9, 12, 18, 24, 36, 48, 60 or 72")),
                {}};
    if (rs485 && change.text.size() > kTextProgram485Limit)
        return {Outcome::refuse(Refusal::BadInput, messageText(QStringLiteral("warn_material_485_maximum"))), {}};

    QString path = textProgramFileOf(material);
    TextProgramData data;
    if (!path.isEmpty() && QFileInfo::exists(path)) {
        QString error;
        if (!loadTextProgramFile(path, data, QDateTime::currentDateTime(), messageText(QStringLiteral("cycle_everyday")),
                                 &error))
            return {Outcome::refuse(Refusal::Unavailable, error), {}};
    }
    auto first = std::find_if(data.materials.begin(), data.materials.end(),
                              [](const TFodder& m) { return m.typeCode < kTextProgramMaxTypeCode; });
    if (data.pages.isEmpty() || first == data.materials.end()) {
        data = newTextProgram(m_model, material.name);
        first = data.materials.begin();
    }
    TextAttributes look = first->content.isEmpty() ? startLook() : lookOfTextProgram(first->content);
    applyChange(look, change);
    const QString markup = textProgramMarkupOf(change.text, look);
    if (codec::byteLength(markup) > kTextProgramContentLimit)
        return {Outcome::refuse(Refusal::BadInput, QStringLiteral("the text program's text is %1 bytes; a text-program text holds at most %2")
                                                       .arg(codec::byteLength(markup))
                                                       .arg(kTextProgramContentLimit)),
                {}};
    first->content = markup;

    const bool newFile = path.isEmpty();
    if (newFile)
        path = QDir(m_folders.programFolder()).filePath(QStringLiteral("text%1%2").arg(m_model.newId(), QLatin1String(kTextProgramExtension)));
    QString error;
    if (!saveTextProgramFile(path, data, &error))
        return {Outcome::refuse(Refusal::Unavailable, QStringLiteral("%1: %2").arg(path, error)), {}};
    if (newFile || textProgramFileOf(material) != path) {
        const QList<TFileInfo> before = material.fileList;
        const QString beforeFiles = material.imageFiles;
        keepTextProgramFile(material, path);
        m_model.markModified(cardName);
        if (Outcome saved = m_store.save(cardName); !saved) {
            m_model.materials()[index].fileList = before;
            m_model.materials()[index].imageFiles = beforeFiles;
            return {saved, {}};
        }
    }
    return {Outcome::done(), data};
}

} // namespace ledsign
