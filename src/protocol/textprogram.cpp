#include "protocol/textprogram.h"

#include "model/codec.h"
#include "model/numbertext.h"

#include <QStringList>

namespace ledsign {

namespace {

constexpr int kRunHeadFields = 3; // colour, font and size

bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toInt(&ok);
    return ok;
}

} // namespace

ContentCut cutTextProgramContent(const QString& markup)
{
    // The limit is one of the card's bytes (GB18030): a Chinese character
    // counts two, and a cut never falls inside one.
    if (codec::byteLength(markup) <= kTextProgramContentLimit)
        return {markup, {}};
    const QStringList runs = markup.split(u'>');
    if (runs.size() == 1) {
        const QString content = codec::cutToBytes(markup, kTextProgramContentLimit);
        const QStringList head = markup.split(u'^').mid(0, kRunHeadFields);
        QString rest = markup.mid(content.size());
        if (head.size() == kRunHeadFields)
            rest = head.join(u'^') + u'^' + rest;
        return {content, rest};
    }
    QString taken;
    qsizetype i = 0;
    for (; i < runs.size(); ++i) {
        const QString joined = i == 0 ? runs[i] : taken + u'>' + runs[i];
        if (codec::byteLength(joined) > kTextProgramContentLimit)
            break;
        taken = joined;
    }
    if (i == 0) {
        // Not even the first run fits: cut it as a single run.
        ContentCut first = cutTextProgramContent(runs[0]);
        QStringList rest{first.rest};
        rest << runs.mid(1);
        return {first.content, rest.join(u'>')};
    }
    return {taken, runs.mid(i).join(u'>')};
}

QString textProgramFileOf(const TFodder& material)
{
    return material.fileList.isEmpty() ? QString() : material.fileList.first().path;
}

void keepTextProgramFile(TFodder& material, const QString& file)
{
    if (file.isEmpty())
        return;
    material.fileList = {TFileInfo{1, 0, file}};
    material.imageFiles = file;
}

TextProgram::TextProgram(ProjectModel& model)
    : model_(model)
{
}

TextProgramCheck TextProgram::checkPage(const QString& name, const QTime& start, const QTime& end)
{
    if (end < start)
        return TextProgramCheck::fail("warn_start_time_exceed");
    if (name.trimmed().isEmpty())
        return TextProgramCheck::fail("warn_enter_page_name");
    return {};
}

QString TextProgram::addPage(const QString& name, const QTime& start, const QTime& end, const QString& everyDayText)
{
    TProgram p;
    p.name = name.trimmed();
    p.id = model_.newId();
    p.startTime = start.toString(QStringLiteral("HH:mm"));
    p.endTime = end.toString(QStringLiteral("HH:mm"));
    p.playCycle = everyDayText;
    p.textProgramPage = 1;
    p.playMode = kPlayByDateAlt;
    model_.appendPage(p);
    return p.id;
}

bool TextProgram::editPage(const QString& id, const QString& name, const QTime& start, const QTime& end)
{
    for (TProgram& p : model_.pages()) {
        if (p.textProgramPage == 1 && p.id == id) {
            p.name = name.trimmed();
            p.startTime = start.toString(QStringLiteral("HH:mm"));
            p.endTime = end.toString(QStringLiteral("HH:mm"));
            return true;
        }
    }
    return false;
}

bool TextProgram::removePage(const QString& id)
{
    auto& pages = model_.pages();
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (pages[i].textProgramPage == 1 && pages[i].id == id) {
            pages.removeAt(i);
            return true;
        }
    }
    return false;
}

TextProgramCheck TextProgram::checkMaterial(const TextMaterialForm& f, bool rs485)
{
    if (f.name.trimmed().isEmpty())
        return TextProgramCheck::fail("warn_material_enter_name");
    if (f.playTimes.trimmed().isEmpty() || !isNumber(f.playTimes))
        return TextProgramCheck::fail("warn_play_times_empty");
    if (f.displayMode < 0)
        return TextProgramCheck::fail("warn_select_mode");
    if (f.displaySpeed < 0)
        return TextProgramCheck::fail("warn_select_speed");
    if (f.remainTime.trimmed().isEmpty() || !isNumber(f.remainTime))
        return TextProgramCheck::fail("warn_residence_time_empty");
    if (f.editorText.trimmed().isEmpty())
        return TextProgramCheck::fail("warn_material_empty");
    if (f.contentAttribute < 0)
        return TextProgramCheck::fail("warn_select_content_Attr");
    if (f.color < 0)
        return TextProgramCheck::fail("warn_select_font_color");
    if (f.font < 0)
        return TextProgramCheck::fail("warn_select_font");
    if (f.size < 0)
        return TextProgramCheck::fail("warn_select_font_size");
    if (rs485 && codec::byteLength(f.editorText) > kTextProgram485Limit)
        return TextProgramCheck::fail("warn_material_485_maximum", true);
    return {};
}

QString TextProgram::addMaterial(const QString& pageId, const TextMaterialForm& f, const QString& content)
{
    TFodder m;
    m.name = f.name.trimmed();
    m.id = model_.newId();
    m.spare1C = pageId;
    m.spare28 = QString::fromLatin1(kTextProgramMaterialMark);
    m.kind = kTextProgramKind;
    m.typeCode = f.contentAttribute + 1;
    m.playTimes = numberOr(f.playTimes, 1);
    m.displayMode = f.displayMode;
    m.displaySpeed = f.displaySpeed;
    m.remainTime = numberOr(f.remainTime, 0);
    m.content = content;
    m.downloadFlags = {0, 0};
    model_.materials().append(m);
    return m.id;
}

bool TextProgram::editMaterial(const QString& id, const TextMaterialForm& f, const QString& markup)
{
    for (TFodder& m : model_.materials()) {
        if (m.kind == kTextProgramKind && m.id == id) {
            m.name = f.name.trimmed();
            m.content = markup;
            m.playTimes = numberOr(f.playTimes, 1);
            m.displayMode = f.displayMode;
            m.displaySpeed = f.displaySpeed;
            m.remainTime = numberOr(f.remainTime, 0);
            m.typeCode = f.contentAttribute + 1;
            return true;
        }
    }
    return false;
}

bool TextProgram::removeMaterial(const QString& id)
{
    auto& list = model_.materials();
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].kind == kTextProgramKind && list[i].id == id) {
            list.removeAt(i);
            return true;
        }
    }
    return false;
}

QList<TProgram> TextProgram::pages() const
{
    QList<TProgram> out;
    for (const TProgram& p : model_.pages())
        if (p.textProgramPage == 1)
            out.append(p);
    return out;
}

QList<TFodder> TextProgram::materialsOf(const QString& pageId) const
{
    QList<TFodder> out;
    for (const TFodder& m : model_.materials())
        if (m.kind == kTextProgramKind && m.spare1C == pageId)
            out.append(m);
    return out;
}

QList<TFodder> TextProgram::allMaterials() const
{
    QList<TFodder> out;
    for (const TFodder& m : model_.materials())
        if (m.kind == kTextProgramKind)
            out.append(m);
    return out;
}

const TProgram* TextProgram::page(const QString& id) const
{
    for (const TProgram& p : model_.pages())
        if (p.textProgramPage == 1 && p.id == id)
            return &p;
    return nullptr;
}

const TFodder* TextProgram::material(const QString& id) const
{
    for (const TFodder& m : model_.materials())
        if (m.kind == kTextProgramKind && m.id == id)
            return &m;
    return nullptr;
}

bool TextProgram::hasContent() const
{
    return !pages().isEmpty() && !allMaterials().isEmpty();
}

TextProgramData TextProgram::data() const
{
    return {pages(), allMaterials()};
}

void TextProgram::replaceWith(const TextProgramData& data)
{
    auto& pages = model_.pages();
    pages.removeIf([](const TProgram& p) { return p.textProgramPage == 1; });
    // Only text-program materials: the playbill's materials carry character
    // type codes far above these.
    auto& materials = model_.materials();
    materials.removeIf([](const TFodder& m) {
        return m.kind == kTextProgramKind && m.typeCode < kTextProgramMaxTypeCode;
    });
    for (const TProgram& p : data.pages)
        pages.append(p);
    for (const TFodder& m : data.materials)
        materials.append(m);
}

} // namespace ledsign
