#include "editing/propertysession.h"

#include "editing/propertyvalues.h"
#include "language/language.h"
#include "model/cardtie.h"
#include "model/codec.h"
#include "model/codedvalues.h"
#include "model/filefilters.h"
#include "model/lenientdate.h"
#include "model/materialkinds.h"
#include "model/settings.h"

#include <QFileInfo>

namespace ledsign {

namespace {

constexpr int kCardRowCount = 11;
constexpr int kPageRowCount = 6;
constexpr int kRegionRowCount = 6;
constexpr int kNameRow = 1;
// The internal-code row of a card: after the port and baud rows on a
// serial line, after the server port on the network.
constexpr int kSerialCodeRow = 8;
constexpr int kNetworkCodeRow = 7;
constexpr int kCountTimeRow = 9;
constexpr int kAnimationFileRow = 4;
constexpr int kPlayCycleRow = 4;
constexpr int kPlayDateRow = 5;
constexpr int kStartTimeRow = 2;
constexpr int kEndTimeRow = 3;
constexpr int kSuffixBytes = 8;
constexpr int kCountDialogHeight = 220;
constexpr int kDataTypeString = 1;
constexpr int kDataTypeRow = 2;
constexpr int kTypeNumberRow = 3;
constexpr int kInternalCodeSizeRow = 5;
constexpr int kCustomFontCode = 0;

const QChar kFullWidthSpace(0x3000);

// Label subs of category 2.
enum LabelSub : int {
    kCardLabels = 1,
    kPageLabels = 2,
    kRegionLabels = 3,
    kTextLabels = 4,
    kDateTimeLabels = 5,
    kCountLabels = 6,
    kAnimationLabels = 7,
    kQueueLabels = 8,
    kAcquisitionLabels = 9,
    kInternalCodeLabels = 10,
    kNetworkCardLabels = 11,
    kSerialCardLabels = 12,
    kTableLabels = 15,
};

// Option subs of category 11.
enum OptionSub : int {
    kFonts = 0,
    kColours = 1,
    kDisplayModes = 2,
    kDateTimeFormats = 3,
    kCountFormats = 4,
    kDisplayFormats = 5,
    kTimeDifference = 6,
    kDataTypes = 7,
    kColourPairings = 8,
    kAccumulative = 9,
    kYearDigits = 10,
    kRotation = 11,
    kAlignment = 12,
};

// What a material row shows and how a typed value is stored.
enum class Field {
    Type,
    Name,
    Id,
    PlayTimes,
    DisplayMode,
    DisplaySpeed,
    RemainText,
    Remain,
    DigitColor,
    CharColor,
    FontIndex,
    SizeName,
    YearDigits,
    TimeFormat,
    DisplayFormat,
    TimeDiffSign,
    DiffHours,
    DiffMinutes,
    RotateMode,
    WindowAddress,
    ColorMatch,
    FlashTimes,
    CountTimeFormat,
    Accumulative,
    CountTime,
    DataType,
    TypeNumber,
    Suffix,
    RefreshTime,
    Color,
    Align,
    RightColumns,
    LeftColumns,
    FrameSpeed,
    AnimationFile,
};

struct MaterialLayout {
    int labelSub;
    QList<Field> fields;
    QString choiceSpec; // "%S" stands for the size list, "%T" for the type numbers
    int buttonRow;
};

MaterialLayout layoutOf(int kind)
{
    using F = Field;
    switch (kind) {
    case kSingleText:
    case kMultiText:
    case kImageGroup:
        return {kTextLabels,
                {F::Type, F::Name, F::Id, F::PlayTimes, F::DisplayMode, F::DisplaySpeed, F::RemainText},
                QStringLiteral("4;2,5;0;1;2;3;4;5;6;7;8"),
                -1};
    case kRemoteText:
        return {kTextLabels, {F::Type, F::Name}, QString(), -1};
    case kTable:
        return {kTableLabels,
                {F::Type, F::Name, F::Id, F::PlayTimes, F::DisplaySpeed},
                QStringLiteral("4;0;1;2;3;4;5;6;7;8"),
                -1};
    case kDateTime:
        return {kDateTimeLabels,
                {F::Type, F::Name, F::Id, F::DigitColor, F::CharColor, F::FontIndex, F::SizeName, F::YearDigits,
                 F::TimeFormat, F::DisplayFormat, F::TimeDiffSign, F::DiffHours, F::DiffMinutes, F::Remain,
                 F::RotateMode},
                QStringLiteral("3;1,4;1,5;0,6;%S,7;10,8;3,9;5,10;6,14;11"),
                -1};
    case kQueue:
        return {kQueueLabels,
                {F::Type, F::Name, F::WindowAddress, F::FontIndex, F::SizeName, F::ColorMatch, F::FlashTimes,
                 F::Remain},
                QStringLiteral("3;0,4;%S,5;8"),
                -1};
    case kCountUp:
    case kCountDown:
        return {kCountLabels,
                {F::Type, F::Name, F::Id, F::DigitColor, F::CharColor, F::FontIndex, F::SizeName, F::CountTimeFormat,
                 F::Accumulative, F::CountTime, F::Remain},
                QStringLiteral("3;1,4;1,5;0,6;%S,7;4,8;9"),
                kCountTimeRow};
    case kInternalCodeText:
        return {kInternalCodeLabels,
                {F::Type, F::Name, F::Id, F::CharColor, F::FontIndex, F::SizeName, F::PlayTimes, F::DisplayMode,
                 F::DisplaySpeed, F::Remain, F::RotateMode},
                QStringLiteral("3;1,4;0,5;%S,7;2,8;0;1;2;3;4;5;6;7;8,10;11"),
                -1};
    case kAcquisition:
        return {kAcquisitionLabels,
                {F::Type, F::Name, F::DataType, F::TypeNumber, F::Suffix, F::RefreshTime, F::Color, F::FontIndex,
                 F::SizeName, F::Align, F::RightColumns, F::LeftColumns, F::Remain},
                QStringLiteral("2;7,3;%T;,6;1,7;0,8;%S,9;12,10;0;1;2;3;4;5;6;7,11;0;1;2;3;4;5;6;7"),
                -1};
    case kAnimation:
    default:
        return {kAnimationLabels,
                {F::Type, F::Name, F::FrameSpeed, F::Remain, F::AnimationFile},
                QString(),
                kAnimationFileRow};
    }
}

QString option(int sub, int index)
{
    return GetOptionText(kOptionCategory, sub, index);
}

QString num(int value)
{
    return QString::number(value);
}

bool isCountKind(int kind)
{
    return kind == kCountUp || kind == kCountDown;
}

// The labels of a material kind, in row order.
QStringList materialLabels(int kind, const MaterialLayout& layout)
{
    QStringList labels = GetLgList(kLabelCategory, layout.labelSub);
    if (kind == kRemoteText) {
        labels = labels.mid(0, 2);
    } else if (isCountKind(kind)) {
        // Sub 6 holds both "Begin_Time" (9) and "End_Time" (10); each kind
        // shows one of them.
        constexpr int kBeginLabel = 9;
        constexpr int kEndLabel = 10;
        if (labels.size() > kEndLabel)
            labels.removeAt(kind == kCountUp ? kEndLabel : kBeginLabel);
    } else if (kind == kAcquisition) {
        if (labels.size() > kTypeNumberRow)
            labels[kTypeNumberRow] = messageText("type_no");
    }
    while (labels.size() < layout.fields.size())
        labels << QString();
    return labels.mid(0, layout.fields.size());
}

QStringList stringRanges(const TFodder& m)
{
    TFodder probe = m;
    setDisplayFormat(probe, kDataTypeString);
    return typeNumberChoices(probe).split(QLatin1Char(';'));
}

QString typeNumberText(const TFodder& m)
{
    if (getDisplayFormat(m) == kDataTypeString && m.timeFormat >= 1 && m.timeFormat <= 10)
        return textAt(stringRanges(m), m.timeFormat - 1);
    return num(m.timeFormat);
}

QString materialValue(const TFodder& m, Field field)
{
    using F = Field;
    switch (field) {
    case F::Type: return materialTypeName(m.kind);
    case F::Name: return m.name;
    case F::Id: return m.id;
    case F::PlayTimes: return num(m.playTimes);
    case F::DisplayMode: return option(kDisplayModes, getDisplayMode(m));
    case F::DisplaySpeed:
    case F::FlashTimes:
    case F::FrameSpeed: return num(m.displaySpeed);
    case F::RemainText:
    case F::Remain: return num(m.remainTime);
    case F::DigitColor:
    case F::Color: return option(kColours, getDigitColor(m));
    case F::CharColor: return option(kColours, getCharColor(m));
    case F::FontIndex: return option(kFonts, getFontIndex(m));
    case F::SizeName: return getSizeName(m);
    case F::YearDigits: return option(kYearDigits, getYearDigits(m));
    case F::TimeFormat: return option(kDateTimeFormats, getTimeFormat(m));
    case F::DisplayFormat: return option(kDisplayFormats, getDisplayFormat(m));
    case F::TimeDiffSign: return option(kTimeDifference, getTimeDiffSign(m));
    case F::DiffHours:
    case F::RightColumns: return num(m.diffHours);
    case F::DiffMinutes:
    case F::LeftColumns: return num(m.diffMinutes);
    case F::RotateMode: return option(kRotation, getRotateMode(m));
    case F::WindowAddress: return num(m.displayFormat);
    case F::ColorMatch: return option(kColourPairings, getColorMatch(m));
    case F::CountTimeFormat: return option(kCountFormats, getCountTimeFormat(m));
    case F::Accumulative: return option(kAccumulative, getTimeDiffSign(m));
    case F::CountTime:
    case F::Suffix:
    case F::AnimationFile: return m.content;
    case F::DataType: return option(kDataTypes, getDisplayFormat(m));
    case F::TypeNumber: return typeNumberText(m);
    case F::RefreshTime: return num(m.timeDiffSign);
    case F::Align: return option(kAlignment, getAlign(m));
    }
    return {};
}

bool isDayList(const QString& cycle)
{
    const QStringList days = cycle.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (days.isEmpty())
        return false;
    for (const QString& d : days) {
        const QString t = d.trimmed();
        if (t.size() != 1 || t.at(0) < QLatin1Char('0') || t.at(0) > QLatin1Char('6'))
            return false;
    }
    return true;
}

} // namespace

int materialRowCount(int kind)
{
    return static_cast<int>(layoutOf(kind).fields.size());
}

PropertySession::PropertySession(ProjectModel& model, const AppSettings& settings)
    : model_(model)
    , settings_(settings)
{
}

void PropertySession::clear()
{
    target_ = {};
    rows_.clear();
}

TFIXModem* PropertySession::currentCard()
{
    if (target_.level == NodeLevel::None)
        return nullptr;
    return model_.findCard(target_.cardName).record;
}

TProgram* PropertySession::currentPage()
{
    if (target_.level < NodeLevel::Page)
        return nullptr;
    return model_.findPage(target_.cardName, target_.pageName).record;
}

TRegion* PropertySession::currentRegion()
{
    if (target_.level < NodeLevel::Region)
        return nullptr;
    return model_.findRegion(target_.cardName, target_.pageName, target_.regionName).record;
}

TFodder* PropertySession::currentMaterial()
{
    if (target_.level != NodeLevel::Material)
        return nullptr;
    return model_.findMaterial(target_.cardName, target_.pageName, target_.regionName, target_.materialName).record;
}

bool PropertySession::showCard(const QString& nodeText)
{
    BusyScope busy(*this);
    clear();
    const QString name = cardNameOfNodeText(nodeText);
    const Found<TFIXModem> found = model_.findCard(name);
    if (!found)
        return false;
    const TFIXModem& card = *found.record;

    const bool serial = settings_.commMode == messageText("comm_param_serial_port");
    const QStringList l = GetLgList(kLabelCategory, kCardLabels);
    const QStringList ln = GetLgList(kLabelCategory, kNetworkCardLabels);
    const QStringList ls = GetLgList(kLabelCategory, kSerialCardLabels);

    QString colour;
    if (card.colorType == kColorSingle)
        colour = messageText("color_single");
    else if (card.colorType == kColorDual)
        colour = messageText("color_dual");
    else
        colour = messageText("color_tricolor");
    QString file = card.programFile;
    file.replace(QLatin1Char(' '), kFullWidthSpace);

    QList<QPair<QString, QString>> pairs{
        {textAt(l, 0), card.cardType},
        {textAt(l, 1), nodeText},
        {textAt(l, 2), num(card.width)},
        {textAt(l, 3), num(card.height)},
        {textAt(l, 4), colour},
        {textAt(l, 5), settings_.commMode},
    };
    if (serial) {
        pairs << qMakePair(textAt(ls, 0), settings_.commParam01) << qMakePair(textAt(ls, 1), settings_.commParam02)
              << qMakePair(textAt(l, 6), card.internalCode);
    } else {
        pairs << qMakePair(textAt(ln, 0), settings_.commParam02) << qMakePair(textAt(l, 6), card.internalCode)
              << qMakePair(textAt(ln, 1), card.ipAddress);
    }
    pairs << qMakePair(textAt(l, 7), num(card.version)) << qMakePair(textAt(l, 8), file);

    rows_ = fillEditor(pairs, QString(), card.fontCount);
    target_ = {NodeLevel::Card, card.name, {}, {}, {}, nodeText};
    // The name of a card is edited here, and the internal code of a card
    // that is not on the line (it is then tied to the card that reports
    // it); the size changes with the card's screen parameters.
    const int codeRow = internalCodeRow();
    for (int i = 0; i < rows_.size(); ++i)
        rows_[i].readOnly = i != kNameRow && !(i == codeRow && !card.online);
    return true;
}

QString PropertySession::pageDateRowText(const TProgram& page) const
{
    const QStringList texts = GetLgList(kLabelCategory, kPageLabels);
    if (page.playMode == kPlayByDate)
        return page.playDate + textAt(texts, kPageTextBefore);
    if (page.playMode == kPlayByDateAlt)
        return page.playDate + textAt(texts, kPageTextAfter);
    return textAt(texts, kPageTextEveryday);
}

bool PropertySession::showPage(const QString& cardName, const QString& pageName)
{
    BusyScope busy(*this);
    clear();
    const Found<TProgram> found = model_.findPage(cardName, pageName);
    if (!found)
        return false;
    const TProgram& page = *found.record;
    const QStringList l = GetLgList(kLabelCategory, kPageLabels);
    const int fontCount = model_.findCard(cardName) ? model_.findCard(cardName).record->fontCount : kDefaultFontCount;
    rows_ = fillEditor({{textAt(l, 0), messageText("object_page")},
                        {textAt(l, 1), page.name},
                        {textAt(l, 2), page.startTime},
                        {textAt(l, 3), page.endTime},
                        {textAt(l, 4), page.playCycle},
                        {textAt(l, 5), pageDateRowText(page)}},
                       QString(), fontCount, kPlayCycleRow, kPlayDateRow);
    // The week days and the date are set through their dialogs only: typed
    // text in these rows would be shown but never stored.
    rows_[0].readOnly = true;
    rows_[kPlayCycleRow].readOnly = true;
    rows_[kPlayDateRow].readOnly = true;
    target_ = {NodeLevel::Page, cardName, page.name, {}, {}, page.name};
    return true;
}

bool PropertySession::showRegion(const QString& cardName, const QString& pageName, const QString& regionName)
{
    BusyScope busy(*this);
    clear();
    const Found<TRegion> found = model_.findRegion(cardName, pageName, regionName);
    if (!found)
        return false;
    const TRegion& r = *found.record;
    const QStringList l = GetLgList(kLabelCategory, kRegionLabels);
    rows_ = fillEditor({{textAt(l, 0), messageText("object_area")},
                        {textAt(l, 1), r.name},
                        {textAt(l, 2), num(r.left)},
                        {textAt(l, 3), num(r.top)},
                        {textAt(l, 4), num(r.width)},
                        {textAt(l, 5), num(r.height)}},
                       QString(), kDefaultFontCount);
    rows_[0].readOnly = true;
    target_ = {NodeLevel::Region, cardName, pageName, r.name, {}, r.name};
    return true;
}

void PropertySession::fillMaterialRows(TFodder& m, const TFIXModem* card)
{
    fontSizeListFor(m, card ? card->fontSizeCount : kDefaultFontSizeCount);
    const MaterialLayout layout = layoutOf(m.kind);
    const QStringList labels = materialLabels(m.kind, layout);
    QList<QPair<QString, QString>> pairs;
    for (int i = 0; i < layout.fields.size(); ++i)
        pairs << qMakePair(labels.at(i), materialValue(m, layout.fields.at(i)));
    QString choiceSpec = layout.choiceSpec;
    choiceSpec.replace(QLatin1String("%S"), m.fontSizeList);
    choiceSpec.replace(QLatin1String("%T"), typeNumberChoices(m));
    rows_ = fillEditor(pairs, choiceSpec, card ? card->fontCount : kDefaultFontCount, layout.buttonRow);
    rows_[0].readOnly = true;
}

bool PropertySession::showMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                                   const QString& name)
{
    BusyScope busy(*this);
    clear();
    const Found<TFodder> found = model_.findMaterial(cardName, pageName, regionName, name);
    if (!found)
        return false;
    TFodder& m = *found.record;
    fillMaterialRows(m, model_.findCard(cardName).record);
    // A look at a text, image group or table is no edit: the card stays
    // unmodified, so that an exit after looking has nothing to ask.
    target_ = {NodeLevel::Material, cardName, pageName, regionName, m.name, m.name};
    return true;
}

bool PropertySession::reshow()
{
    const PropertyTarget t = target_;
    switch (t.level) {
    case NodeLevel::Card: return showCard(t.nodeText);
    case NodeLevel::Page: return showPage(t.cardName, t.pageName);
    case NodeLevel::Region: return showRegion(t.cardName, t.pageName, t.regionName);
    case NodeLevel::Material: return showMaterial(t.cardName, t.pageName, t.regionName, t.materialName);
    case NodeLevel::None: break;
    }
    return false;
}

RowChange PropertySession::applyRowChange(int row, const QString& text)
{
    if (busy_ || target_.level == NodeLevel::None || rows_.isEmpty() || row < 0 || row >= rows_.size())
        return {};
    BusyScope busy(*this);
    rows_[row].value = text;
    switch (target_.level) {
    case NodeLevel::Card: return applyCard(row);
    case NodeLevel::Page: return applyPage(row);
    case NodeLevel::Region: return applyRegion(row);
    case NodeLevel::Material: return applyMaterial(row);
    case NodeLevel::None: break;
    }
    return {};
}

RowChange PropertySession::rename(int row)
{
    RowChange change;
    QString wanted = rows_[row].value.trimmed();
    if (target_.level == NodeLevel::Card) {
        // The text after a "【" is not part of a card's name; a name that
        // held one could never be found again from its node.
        wanted = cardNameOfNodeText(wanted).trimmed();
    }
    if (wanted.isEmpty() || wanted == target_.nodeText) {
        if (rows_[row].value != target_.nodeText) {
            rows_[row].value = target_.nodeText;
            change.rowsRewritten << row;
        }
        return change;
    }
    QString given;
    QString old;
    switch (target_.level) {
    case NodeLevel::Card:
        old = target_.cardName;
        given = model_.renameCard(old, wanted);
        if (!given.isEmpty())
            target_.cardName = given;
        break;
    case NodeLevel::Page:
        old = target_.pageName;
        given = model_.renamePage(target_.cardName, old, wanted);
        if (!given.isEmpty())
            target_.pageName = given;
        break;
    case NodeLevel::Region:
        old = target_.regionName;
        given = model_.renameRegion(target_.cardName, target_.pageName, old, wanted);
        if (!given.isEmpty())
            target_.regionName = given;
        break;
    case NodeLevel::Material:
        old = target_.materialName;
        given = model_.renameMaterial(target_.cardName, target_.pageName, target_.regionName, old, wanted);
        if (!given.isEmpty())
            target_.materialName = given;
        break;
    case NodeLevel::None: break;
    }
    if (given.isEmpty())
        return change;
    target_.nodeText = given;
    rows_[row].value = given;
    change.renamed = true;
    change.oldName = old;
    change.nodeText = given;
    change.rowsRewritten << row;
    return change;
}

int PropertySession::internalCodeRow() const
{
    const bool serial = settings_.commMode == messageText(QStringLiteral("comm_param_serial_port"));
    return serial ? kSerialCodeRow : kNetworkCodeRow;
}

RowChange PropertySession::applyCard(int row)
{
    if (!currentCard() || rows_.size() != kCardRowCount)
        return {};
    if (row == kNameRow)
        return rename(row);
    if (row == internalCodeRow() && !rows_[row].readOnly)
        return changeInternalCode(row);
    return {};
}

RowChange PropertySession::changeInternalCode(int row)
{
    RowChange change;
    TFIXModem* card = currentCard();
    const std::optional<QString> code = parseInternalCode(rows_[row].value);
    if (!code) {
        change.message = messageText(QStringLiteral("warn_codes_input"));
    } else if (*code != card->internalCode) {
        giveInternalCode(model_, card->name, *code);
        change.cardListChanged = true;
    }
    rows_[row].value = card->internalCode;
    change.rowsRewritten << row;
    return change;
}

RowChange PropertySession::applyPage(int row)
{
    TProgram* page = currentPage();
    if (!page || rows_.size() != kPageRowCount || row == 0)
        return {};
    RowChange change;
    if (row == kNameRow) {
        change = rename(row);
    } else if (row == kStartTimeRow || row == kEndTimeRow) {
        const bool end = row == kEndTimeRow;
        const QString time = normalisePageTime(rows_[row].value, end);
        (end ? page->endTime : page->startTime) = time;
        rows_[row].value = time;
        change.rowsRewritten << row;
    } else {
        // The week and date rows are written by their dialogs, which have
        // stored the values already; show what is stored.
        rows_[kPlayCycleRow].value = page->playCycle;
        rows_[kPlayDateRow].value = pageDateRowText(*page);
        change.rowsRewritten << kPlayCycleRow << kPlayDateRow;
    }
    change.cardModified = true;
    return change;
}

QList<int> PropertySession::refreshRegionRows()
{
    const TRegion* r = currentRegion();
    if (!r || target_.level != NodeLevel::Region || rows_.size() != kRegionRowCount)
        return {};
    rows_[2].value = num(r->left);
    rows_[3].value = num(r->top);
    rows_[4].value = num(r->width);
    rows_[5].value = num(r->height);
    return {2, 3, 4, 5};
}

RowChange PropertySession::applyRegion(int row)
{
    TRegion* region = currentRegion();
    if (!region || rows_.size() != kRegionRowCount || row == 0)
        return {};
    RowChange change;
    if (row == kNameRow) {
        change = rename(row);
    } else {
        const TFIXModem* card = currentCard();
        const int w = card ? card->width : 0;
        const int h = card ? card->height : 0;
        static constexpr RegionField kFields[] = {RegionField::Left, RegionField::Top, RegionField::Width,
                                                  RegionField::Height};
        const TRegion moved = applyRegionField(*region, kFields[row - 2], rows_[row].value, w, h);
        region->left = moved.left;
        region->top = moved.top;
        region->width = moved.width;
        region->height = moved.height;
        change.geometryChanged = true;
        change.rowsRewritten << refreshRegionRows();
    }
    change.cardModified = true;
    return change;
}

RowChange PropertySession::applyMaterial(int row)
{
    TFodder* found = currentMaterial();
    if (!found || (found->kind != kRemoteText && rows_.size() != materialRowCount(found->kind)))
        return {};
    TFodder& m = *found;
    const MaterialLayout layout = layoutOf(m.kind);
    if (row >= layout.fields.size())
        return {};
    const Field field = layout.fields.at(row);
    if (field == Field::Type)
        return {};

    RowChange change;
    const QString text = rows_[row].value;
    const int pos = choicePosition(rows_[row], text);
    auto showStored = [&](int r, const QString& value) {
        if (rows_[r].value != value) {
            rows_[r].value = value;
            change.rowsRewritten << r;
        }
    };
    auto storeNumber = [&](qint32& target, int fallback) {
        target = numberOr(text, fallback);
        showStored(row, num(target));
    };
    auto storeRemain = [&](qint32& target, int fallback) {
        target = remainTimeFrom(text, fallback);
        showStored(row, num(target));
    };

    using F = Field;
    switch (field) {
    case F::Type: break;
    case F::Name: change = rename(row); break;
    case F::Id: {
        const QString id = identifierFrom(text);
        // The stored text of a material is found by card and identifier; a
        // second material with the same identifier would take the first
        // one's text when the playbill is read again.
        bool taken = false;
        for (const TFodder& other : model_.materials()) {
            if (&other != &m && other.cardName == m.cardName && other.id == id)
                taken = true;
        }
        if (!taken)
            m.id = id;
        showStored(row, m.id);
        break;
    }
    case F::PlayTimes: storeNumber(m.playTimes, 1); break;
    case F::DisplayMode: setDisplayMode(m, pos); break;
    case F::DisplaySpeed: storeNumber(m.displaySpeed, 3); break;
    case F::RemainText: storeRemain(m.remainTime, 5); break;
    case F::Remain: storeRemain(m.remainTime, 1); break;
    case F::DigitColor: setDigitColor(m, pos); break;
    case F::CharColor: setCharColor(m, pos); break;
    case F::FontIndex:
        setFontIndex(m, pos);
        if (m.kind == kInternalCodeText) {
            const QString list = m.fontCode == kCustomFontCode ? QString::fromLatin1(kFullFontSizeList)
                                                               : m.fontSizeList;
            setRowChoices(rows_, kInternalCodeSizeRow, m.sizeCode, list);
            // A size beyond the rebuilt list is still what is stored: show it.
            if (choicePosition(rows_[kInternalCodeSizeRow], getSizeName(m)) < 0)
                rows_[kInternalCodeSizeRow].value = getSizeName(m);
            change.rowsRewritten << kInternalCodeSizeRow;
        }
        break;
    case F::SizeName: setSizeName(m, text); break;
    case F::YearDigits: setYearDigits(m, pos); break;
    case F::TimeFormat: setTimeFormat(m, pos); break;
    case F::DisplayFormat: setDisplayFormat(m, pos); break;
    case F::TimeDiffSign:
    case F::Accumulative: setTimeDiffSign(m, pos); break;
    case F::DiffHours: storeNumber(m.diffHours, 0); break;
    case F::DiffMinutes: storeNumber(m.diffMinutes, 0); break;
    case F::RotateMode: setRotateMode(m, pos); break;
    case F::WindowAddress: storeNumber(m.displayFormat, 1); break;
    case F::ColorMatch: setColorMatch(m, pos); break;
    case F::FlashTimes: storeNumber(m.displaySpeed, 8); break;
    case F::CountTimeFormat: setCountTimeFormat(m, pos); break;
    case F::CountTime: {
        QString typed = text;
        typed.replace(kFullWidthSpace, QLatin1Char(' '));
        // The time is read as a date when the material is converted for the
        // card; a text that does not read is refused here, where the user
        // can still correct it.
        if (parseLenientDate(typed).ok)
            m.content = typed;
        break;
    }
    case F::DataType:
        setDisplayFormat(m, pos);
        setRowChoices(rows_, kTypeNumberRow, 0, typeNumberChoices(m));
        m.timeFormat = numberOr(rows_[kTypeNumberRow].value, 1);
        change.rowsRewritten << kTypeNumberRow;
        break;
    case F::TypeNumber:
        if (getDisplayFormat(m) == kDataTypeString) {
            const qsizetype at = stringRanges(m).indexOf(text);
            if (at >= 0)
                m.timeFormat = static_cast<int>(at) + 1;
            showStored(row, typeNumberText(m));
        } else {
            storeNumber(m.timeFormat, 1);
        }
        break;
    case F::Suffix:
        m.content = codec::cutToBytes(text, kSuffixBytes);
        showStored(row, m.content);
        break;
    case F::RefreshTime: storeNumber(m.timeDiffSign, 0); break;
    case F::Color:
        setDigitColor(m, pos);
        setCharColor(m, pos);
        break;
    case F::Align: setAlign(m, pos); break;
    case F::RightColumns: storeRemain(m.diffHours, 0); break;
    case F::LeftColumns: storeRemain(m.diffMinutes, 0); break;
    case F::FrameSpeed: storeNumber(m.displaySpeed, 1); break;
    case F::AnimationFile: m.content = text; break;
    }

    // The record may have moved in its list during a rename; find it again.
    TFodder* after = currentMaterial();
    if (after && isCountKind(after->kind)) {
        after->content.replace(kFullWidthSpace, QLatin1Char(' '));
        if (layout.fields.size() > kCountTimeRow)
            showStored(kCountTimeRow, after->content);
    }
    change.cardModified = true;
    change.redraw = true;
    change.rerender = after && after->kind != kQueue && after->kind != kRemoteText;
    return change;
}

DialogRequest PropertySession::editButtonClick(int row) const
{
    DialogRequest request;
    if (row < 0 || row >= rows_.size() || rows_[row].style != RowStyle::Button)
        return request;
    request.row = row;
    const QStringList pageTexts = GetLgList(kLabelCategory, kPageLabels);
    if (target_.level == NodeLevel::Page) {
        const Found<const TProgram> page = std::as_const(model_).findPage(target_.cardName, target_.pageName);
        if (!page)
            return {};
        request.note = textAt(pageTexts, kPageTextNote);
        if (row == kPlayCycleRow) {
            request.kind = DialogKind::PlayByWeek;
            request.text = rows_[row].value;
            request.items = GetLgList(kLabelCategory, kPageLabels, rows_[row].label);
        } else if (row == kPlayDateRow) {
            request.kind = DialogKind::PlayByDate;
            request.items = QStringList{textAt(pageTexts, kPageTextEveryday), textAt(pageTexts, kPageTextBeforeDate),
                                        textAt(pageTexts, kPageTextAfterDate)};
            // The stored date, not the row: the row's text carries the
            // " Before" or " After" of the language, which no date reads.
            const int mode = page.record->playMode;
            if (mode == kPlayByDate || mode == kPlayByDateAlt) {
                request.text = page.record->playDate;
                request.choice = mode + 1;
            }
        }
        return request;
    }
    if (target_.level != NodeLevel::Material)
        return {};
    if (row == kCountTimeRow) {
        request.kind = DialogKind::CountTime;
        request.text = rows_[row].value;
        request.choiceHidden = true;
        request.windowHeight = kCountDialogHeight;
    } else if (row == kAnimationFileRow) {
        request.kind = DialogKind::AnimationFile;
        request.filter = kAnimationFileFilter;
        if (QFileInfo::exists(rows_[row].value))
            request.startFile = rows_[row].value;
    }
    return request;
}

RowChange PropertySession::acceptCountTime(const QString& text)
{
    const TFodder* m = currentMaterial();
    if (!m || !isCountKind(m->kind))
        return {};
    RowChange change = applyRowChange(kCountTimeRow, text);
    change.rowsRewritten << kCountTimeRow;
    return change;
}

RowChange PropertySession::acceptAnimationFile(const QString& path)
{
    const TFodder* m = currentMaterial();
    // A cancelled dialog (an empty path) leaves the material without a file.
    if (!m || m->kind != kAnimation)
        return {};
    RowChange change = applyRowChange(kAnimationFileRow, path);
    change.rowsRewritten << kAnimationFileRow;
    return change;
}

RowChange PropertySession::acceptPlayByWeek(bool byWeek, const QString& cycle)
{
    TProgram* page = currentPage();
    if (busy_ || !page || target_.level != NodeLevel::Page || rows_.size() != kPageRowCount)
        return {};
    if (byWeek && !isDayList(cycle))
        return {};
    BusyScope busy(*this);
    page->playMode = kPlayEveryDay;
    if (byWeek) {
        page->playMode = kPlayByWeek;
        page->playDate.clear();
    }
    page->playCycle = cycle;
    rows_[kPlayCycleRow].value = page->playCycle;
    rows_[kPlayDateRow].value = pageDateRowText(*page);
    RowChange change;
    change.cardModified = true;
    change.rowsRewritten << kPlayCycleRow << kPlayDateRow;
    return change;
}

RowChange PropertySession::acceptPlayByDate(int choice, const QString& dateText)
{
    TProgram* page = currentPage();
    if (busy_ || !page || target_.level != NodeLevel::Page || rows_.size() != kPageRowCount)
        return {};
    if (choice < 0 || choice > 2)
        return {};
    const int mode = choice - 1;
    QString date;
    if (mode == kPlayByDate || mode == kPlayByDateAlt) {
        // The card gets the date as bytes; a date that does not read would
        // stop the whole playbill from being sent.
        const LenientDate read = parseLenientDate(dateText.trimmed());
        if (!read.ok)
            return {};
        date = read.text;
    }
    BusyScope busy(*this);
    page->playMode = mode;
    page->playDate = date;
    page->playCycle = textAt(GetLgList(kLabelCategory, kPageLabels), kPageTextEveryday);
    rows_[kPlayCycleRow].value = page->playCycle;
    rows_[kPlayDateRow].value = pageDateRowText(*page);
    RowChange change;
    change.cardModified = true;
    change.rowsRewritten << kPlayCycleRow << kPlayDateRow;
    return change;
}

} // namespace ledsign
