#include "editing/democard.h"

#include "content/bmpfile.h"
#include "content/fontresolver.h"
#include "editing/selection.h"
#include "editing/treecommands.h"
#include "model/atomicfile.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"
#include "model/playbillreader.h"
#include "model/playbillwriter.h"
#include "model/projectmodel.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>

#include <algorithm>

namespace ledsign {

namespace {

// One run of the text markup: colour, font, point size, bold, italic,
// underline, strike-out, alignment (2 centre), editor line and the text.
QString textRun(const QString& colour, int pointSize, int line, const QString& text)
{
    return QStringList{colour, QStringLiteral("宋体"), QString::number(pointSize), QStringLiteral("0"),
                       QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("2"),
                       QString::number(line), text}
        .join(QLatin1Char('^'));
}

QImage blankPicture()
{
    QImage image(kDemoWidth, kDemoHeight, QImage::Format_RGB888);
    image.fill(Qt::black);
    return image;
}

// Dot-matrix drawing: no smoothing, so that every pixel is lit or unlit in
// one of the card's colours.
void prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
}

QFont pixelFont(int pixels, bool bold)
{
    QFont font;
    font.setFamilies(cardFontFamilies(QStringLiteral("黑体")));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// A red heart beside a green "ledsign".
QImage heartPicture()
{
    QImage image = blankPicture();
    QPainter p(&image);
    prepare(p);
    QPainterPath heart;
    heart.moveTo(16, 27);
    heart.cubicTo(2, 18, 4, 5, 11, 5);
    heart.cubicTo(14, 5, 16, 8, 16, 10);
    heart.cubicTo(16, 8, 18, 5, 21, 5);
    heart.cubicTo(28, 5, 30, 18, 16, 27);
    p.fillPath(heart, QColor(255, 0, 0));
    p.setPen(QColor(0, 255, 0));
    p.setFont(pixelFont(16, true));
    p.drawText(QRect(34, 0, kDemoWidth - 34, kDemoHeight), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("ledsign"));
    return image;
}

// Bars in the three colours a dual-colour card lights: red, green, yellow.
QImage barsPicture()
{
    QImage image = blankPicture();
    QPainter p(&image);
    prepare(p);
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(255, 255, 0)};
    for (int i = 0; i < 8; ++i) {
        const int h = 6 + (i * 11) % 24;
        p.fillRect(QRect(4 + i * 15, kDemoHeight - 2 - h, 11, h), colours[i % 3]);
    }
    p.fillRect(QRect(0, kDemoHeight - 1, kDemoWidth, 1), QColor(255, 255, 0));
    return image;
}

// A yellow arrow pointing right, framed in green.
QImage arrowPicture()
{
    QImage image = blankPicture();
    QPainter p(&image);
    prepare(p);
    p.setPen(QColor(0, 255, 0));
    p.drawRect(QRect(0, 0, kDemoWidth - 1, kDemoHeight - 1));
    const QPoint arrow[] = {{20, 12}, {84, 12}, {84, 5}, {108, 16}, {84, 27}, {84, 20}, {20, 20}};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 0));
    p.drawPolygon(arrow, int(std::size(arrow)));
    return image;
}

NodePath fullRegion(ProjectModel& model, TreeCommands& commands, const NodePath& card)
{
    const NodePath page = commands.addPage(card).select;
    const NodePath region = commands.addRegion(page).select;
    if (auto r = model.findRegion(region.card, region.page, region.region)) {
        r.record->left = 0;
        r.record->top = 0;
        r.record->width = kDemoWidth;
        r.record->height = kDemoHeight;
    }
    return region;
}

TFodder* materialAt(ProjectModel& model, const NodePath& node)
{
    auto found = model.findMaterial(node.card, node.page, node.region, node.material);
    return found ? found.record : nullptr;
}

} // namespace

TFIXModem demoCardRecord()
{
    TFIXModem card;
    card.name = QString::fromLatin1(kDemoCardName);
    card.width = kDemoWidth;
    card.height = kDemoHeight;
    card.colorType = colorTypeOfChoice(kDemoColorIndex);
    card.internalCode = QString::fromLatin1(kDemoInternalCode);
    card.zoom = 30;
    return card;
}

QString demoPlaybillPath(const DataFolder& folders)
{
    return QDir(folders.programFolder()).filePath(QString::fromLatin1(kDemoCardName) + QStringLiteral(".prg"));
}

QRect demoEditorFrame(const QRect& editor, const QRect& screen, int minimumWidth)
{
    const int room = screen.x() + screen.width() - (editor.x() + editor.width());
    if (room >= kDemoPanelWidth)
        return editor;
    const int width = std::max(minimumWidth, screen.x() + screen.width() - kDemoPanelWidth - editor.x());
    return QRect(editor.topLeft(), QSize(std::min(width, editor.width()), editor.height()));
}

QString defaultDemoFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/ledsign-demo");
}

namespace {

// Whole: a BMP whose rows end early reads as damaged, not as a picture.
bool pictureReads(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    QString damage;
    if (!readPlainBmp(bytes, &damage).isNull())
        return true;
    QImage image;
    return damage.isEmpty() && image.loadFromData(bytes);
}

} // namespace

bool ensureDemoPictures(const DataFolder& folders, QStringList& paths, QString* error)
{
    paths.clear();
    if (!folders.ensureExists(error))
        return false;
    using Draw = QImage (*)();
    const struct {
        const char* name;
        Draw draw;
    } pictures[kDemoPictureCount] = {
        {"demo_heart.bmp", heartPicture}, {"demo_bars.bmp", barsPicture}, {"demo_arrow.bmp", arrowPicture}};
    const QDir dir(folders.pictureFolder());
    for (const auto& picture : pictures) {
        const QString path = dir.filePath(QString::fromLatin1(picture.name));
        // A picture the user has redrawn is kept; one that does not read
        // (cut by a full disk, say) is drawn again, whole or not at all.
        if (!pictureReads(path)) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QString why;
            if (!picture.draw().save(&buffer, "BMP") || !writeFileAtomically(path, bytes, &why)) {
                if (error)
                    *error = QStringLiteral("cannot write %1: %2").arg(path, why.isEmpty() ? QStringLiteral("no picture") : why);
                return false;
            }
        }
        paths << path;
    }
    return true;
}

bool addDemoCard(ProjectModel& model, const DataFolder& folders, QString* error)
{
    const QString name = QString::fromLatin1(kDemoCardName);
    if (model.findCard(name)) {
        if (error)
            *error = QStringLiteral("a card named %1 exists already").arg(name);
        return false;
    }
    QStringList pictures;
    if (!ensureDemoPictures(folders, pictures, error))
        return false;

    SelectionState selection;
    TreeCommands commands(model, folders, selection);
    const CommandResult added = commands.addCard(
        {name, QString::number(kDemoWidth), QString::number(kDemoHeight), kDemoColorIndex});
    if (!added.changed) {
        if (error)
            *error = added.message.isEmpty() ? QStringLiteral("cannot add the card %1").arg(name) : added.message;
        return false;
    }
    const NodePath card = added.select;

    // Page 1: a greeting on one line, red and green.
    NodePath region = fullRegion(model, commands, card);
    if (TFodder* m = materialAt(model, commands.addMaterial(region, kSingleText).select))
        m->content = textRun(QStringLiteral("clRed"), 12, 1, QStringLiteral("Hello ")) + QStringLiteral("~*")
            + textRun(QStringLiteral("clGreen"), 12, 1, QStringLiteral("LED 你好"));

    // Page 2: two lines, one above the other.
    region = fullRegion(model, commands, card);
    if (TFodder* m = materialAt(model, commands.addMaterial(region, kMultiText).select))
        m->content = textRun(QStringLiteral("clYellow"), 12, 1, QStringLiteral("Two lines\r\n")) + QStringLiteral("~*")
            + textRun(QStringLiteral("clGreen"), 12, 2, QStringLiteral("on one page"));

    // Page 3: the card's own clock.
    region = fullRegion(model, commands, card);
    commands.addMaterial(region, kDateTime);

    // Page 4: the pictures, one after another.
    region = fullRegion(model, commands, card);
    if (TFodder* m = materialAt(model, commands.addMaterial(region, kImageGroup).select)) {
        for (const QString& path : std::as_const(pictures))
            addImageFile(*m, path);
    }

    if (auto c = model.findCard(name)) {
        c.record->internalCode = QString::fromLatin1(kDemoInternalCode);
        // Three times larger on the canvas: 128 x 32 is small on a screen.
        c.record->zoom = 30;
        c.record->modified = 0;
        model.cardsChanged();
    }
    return true;
}

bool writeDemoPlaybill(ProjectModel& model, const DataFolder& folders, QString* path, QString* error)
{
    const QString name = QString::fromLatin1(kDemoCardName);
    const Found<TFIXModem> card = model.findCard(name);
    if (!card) {
        if (error)
            *error = QStringLiteral("there is no card named %1").arg(name);
        return false;
    }
    if (!folders.ensureExists(error))
        return false;
    const QString file = demoPlaybillPath(folders);
    PlaybillWriter writer(model, folders);
    if (!writer.write(name, file)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(file, writer.errorString());
        return false;
    }
    card.record->programFile = file;
    card.record->modified = 0;
    if (path)
        *path = file;
    return true;
}

bool setUpDemoCard(ProjectModel& model, const DataFolder& folders, bool* fromFile, QString* error)
{
    const QString path = demoPlaybillPath(folders);
    const bool stored = QFileInfo::exists(path);
    if (fromFile)
        *fromFile = stored;
    if (!stored)
        return addDemoCard(model, folders, error) && writeDemoPlaybill(model, folders, nullptr, error);

    const QString name = QString::fromLatin1(kDemoCardName);
    if (model.findCard(name)) {
        if (error)
            *error = QStringLiteral("a card named %1 exists already").arg(name);
        return false;
    }
    // Pictures the playbill names and that went missing are drawn again.
    QStringList pictures;
    if (!ensureDemoPictures(folders, pictures, error))
        return false;
    model.addCard(demoCardRecord());
    PlaybillReader reader(model, folders);
    const PlaybillReader::Status status = reader.open(name, path);
    const bool anyMaterial = std::any_of(model.materials().cbegin(), model.materials().cend(),
                                         [&](const TFodder& m) { return m.cardName == name; });
    if (status == PlaybillReader::Status::Loaded && anyMaterial)
        return true;
    if (error) {
        *error = status == PlaybillReader::Status::Loaded
            ? QStringLiteral("the playbill %1 holds no materials").arg(path)
            : QStringLiteral("cannot read the playbill %1: %2").arg(path, reader.errorString());
    }
    model.removeCard(name);
    return false;
}

} // namespace ledsign
