// ledsign-cli decode on the USB-disk data file of a playbill that holds a
// material of every kind: one line per frame, each with its material, type,
// send and block numbers and a check value that holds; and a damaged file
// is told apart.
#include "clifixture.h"

#include "content/tablepieces.h"
#include "render/renderhelpers.h"

#include <QMap>
#include <QRegularExpression>

#include <type_traits>

using namespace ledsign;
using namespace ledsign::test;

namespace {

// One material frame line of decode, picked apart.
struct MaterialLine {
    QString id;
    QString type;
    int sendNo = 0;
    int block = 0;
    int count = 0;
    bool checkOk = false;
    bool end = false;
};

QList<MaterialLine> materialLines(const QString& out)
{
    static const QRegularExpression re(QStringLiteral(
        R"(frame 0x31 serial [0-9A-F]{8} length \d+ material (\S+) type (\S) \([^)]*\) send (\d+) block (\d+)/(\d+)(.*)$)"));
    QList<MaterialLine> lines;
    for (const QString& line : out.split(u'\n')) {
        const QRegularExpressionMatch m = re.match(line);
        if (!m.hasMatch())
            continue;
        MaterialLine l;
        l.id = m.captured(1);
        l.type = m.captured(2);
        l.sendNo = m.captured(3).toInt();
        l.block = m.captured(4).toInt();
        l.count = m.captured(5).toInt();
        l.checkOk = m.captured(6).contains(QStringLiteral(" check ok"));
        l.end = m.captured(6).endsWith(QStringLiteral(" end"));
        lines << l;
    }
    return lines;
}

class DecodeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        ASSERT_TRUE(dir.isValid());
        home = DataFolder(dir.filePath(QStringLiteral("home")));
        ASSERT_TRUE(home.ensureExists());
        playbill = dir.filePath(QStringLiteral("all.prg"));
        outDir = dir.filePath(QStringLiteral("out"));

        TFIXModem card;
        card.name = cardName;
        card.width = kWidth;
        card.height = kHeight;
        model.addCard(card);
        TProgram page;
        page.cardName = cardName;
        page.name = QStringLiteral("Page 1");
        page.id = QStringLiteral("200000001");
        page.panelName = QStringLiteral("pnProgram1");
        model.appendPage(page);
        region.cardName = cardName;
        region.pageName = page.name;
        region.pageId = page.id;
        region.name = QStringLiteral("Region 1");
        region.id = QStringLiteral("200000002");
        region.panelName = QStringLiteral("pnRegion1");
        region.width = kWidth;
        region.height = kHeight;
        model.appendRegion(region);

        // Kind, with its type code as the material table gives it.
        add(kSingleText, [](TFodder& m) { m.content = textRun(1, QStringLiteral("AB")); });
        add(kMultiText, [](TFodder& m) {
            m.content = textRun(1, QStringLiteral("一\r\n")) + QStringLiteral("~*") + textRun(2, QStringLiteral("二"));
        });
        add(kImageGroup, [this](TFodder& m) {
            // Five pictures of 64 x 32 on a dual-colour card: 5 x 512 bytes,
            // two blocks.
            for (int i = 0; i < 5; ++i)
                ASSERT_TRUE(addImageFile(m, picture(QStringLiteral("p%1.bmp").arg(i), i % 2 ? Qt::red : Qt::green)));
        });
        add(kTable, [this](TFodder& m) {
            TableModel table = TableModel::create(3, 16, 2, 32, QStringLiteral("宋体"));
            table.setText(1, 1, QStringLiteral("温度"));
            const TablePiecesResult made =
                makeTablePieces(table, home.tableFolder() + QStringLiteral("/t0101010101"), m.displayMode,
                                m.remainTime, kWidth, kHeight);
            ASSERT_TRUE(made.ok) << made.error.toStdString();
            for (const QString& f : made.files)
                ASSERT_TRUE(addImageFile(m, f));
        });
        add(kDateTime, nullptr);
        add(kRemoteText, nullptr);
        add(kQueue, nullptr);
        add(kCountUp, [](TFodder& m) { m.content = QStringLiteral("2024-05-01 10:20:30"); });
        add(kCountDown, [](TFodder& m) { m.content = QStringLiteral("2030-05-01 10:20:30"); });
        add(kInternalCodeText, [](TFodder& m) { m.content = QString(1025, u'x'); }); // two slices
        add(kAcquisition, [](TFodder& m) { m.content = QStringLiteral("kPa"); });
        add(kAnimation, [this](TFodder& m) {
            const QString gif = dir.filePath(QStringLiteral("movie.gif"));
            ASSERT_TRUE(writeAll(gif, animatedGif(kWidth, kHeight, {Qt::red, Qt::green, Qt::red})));
            m.content = gif;
        });

        PlaybillWriter writer(model, home);
        ASSERT_TRUE(writer.write(cardName, playbill)) << writer.errorString().toStdString();
    }

    template <typename Fill>
    void add(int kind, Fill fill)
    {
        TFodder m = defaultMaterial(kind);
        m.cardName = region.cardName;
        m.pageName = region.pageName;
        m.regionName = region.name;
        m.regionId = region.id;
        m.name = QStringLiteral("m%1").arg(kind);
        m.id = QStringLiteral("3000000%1").arg(10 + kind);
        m.panelName = QStringLiteral("pnFodder%1").arg(kind);
        if constexpr (!std::is_same_v<Fill, std::nullptr_t>)
            fill(m);
        model.appendMaterialToRegion(m);
        ids << m.id;
    }

    QString picture(const QString& name, Qt::GlobalColor colour)
    {
        QImage image(kWidth, kHeight, QImage::Format_RGB888);
        image.fill(colour);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }

    QStringList geometry() const
    {
        return {QStringLiteral("--width"), QString::number(kWidth), QStringLiteral("--height"),
                QString::number(kHeight), QStringLiteral("--colors"), QStringLiteral("2"), QStringLiteral("--home"),
                home.path(), QStringLiteral("--out"), outDir};
    }

    // The materials in the order the playbill sends them (render numbers
    // them so) with their blocks of display data: 2048 bytes a block, none
    // for the kinds the card draws itself.
    QList<QPair<QString, int>> sendOrder()
    {
        const CliRun run = runCli(QStringList{QStringLiteral("render"), playbill} + geometry());
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        static const QRegularExpression re(QStringLiteral(R"(^(\d\d) (\S+): .* (\d+) bytes of display data$)"),
                                           QRegularExpression::MultilineOption);
        QList<QPair<QString, int>> order;
        for (auto it = re.globalMatch(run.out); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            EXPECT_EQ(m.captured(1).toInt(), order.size() + 1);
            order.append({m.captured(2), (m.captured(3).toInt() + 2047) / 2048});
        }
        return order;
    }

    QTemporaryDir dir;
    DataFolder home;
    ProjectModel model;
    TRegion region;
    const QString cardName = QStringLiteral("all");
    QString playbill;
    QString outDir;
    QStringList ids;
};

} // namespace

TEST_F(DecodeTest, EveryFrameOfAnExportOfEveryKindReadsBackWithItsCheckValue)
{
    const CliRun exported = runCli(QStringList{QStringLiteral("export"), playbill} + geometry());
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const QString file = QDir(outDir).filePath(QStringLiteral("Vk_Data.prg"));
    const CliRun run = runCli({QStringLiteral("decode"), file});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();

    // Expected per material, in send order: its type code (the kinds'
    // table), its id, and its frame count: one for the kinds the card draws
    // itself, two slices for 1025 characters of internal code, and a block
    // per 2048 bytes of display data.
    const QList<QPair<QString, int>> order = sendOrder();
    ASSERT_EQ(order.size(), kMaterialKindCount);
    const QStringList typeOfKind{"8", "8", "8", "8", "1", "0", "5", "4", "3", "7", "6", ";"};
    QList<int> frames;
    QStringList types;
    QStringList expectedIds;
    for (const auto& [name, blocks] : order) {
        const int kind = name.mid(1).toInt();
        if (kind == kImageGroup)
            EXPECT_EQ(blocks, 2) << "five pictures of 512 bytes";
        frames << (blocks > 0 ? blocks : kind == kInternalCodeText ? 2 : 1);
        types << typeOfKind[kind];
        expectedIds << ids[kind];
    }

    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("@0 frame 0x22 serial "))) << lines.first().toStdString();
    EXPECT_TRUE(lines.first().contains(QStringLiteral(" header data "))) << lines.first().toStdString();

    const QList<MaterialLine> got = materialLines(run.out);
    int total = 0;
    for (int f : frames)
        total += f;
    ASSERT_EQ(got.size(), total) << run.out.toStdString();
    int at = 0;
    for (int k = 0; k < kMaterialKindCount; ++k) {
        for (int block = 1; block <= frames[k]; ++block, ++at) {
            const MaterialLine& l = got[at];
            SCOPED_TRACE(QStringLiteral("material %1 block %2").arg(k).arg(block).toStdString());
            EXPECT_EQ(l.id, expectedIds[k]);
            EXPECT_EQ(l.type, types[k]);
            EXPECT_EQ(l.sendNo, k + 1);
            EXPECT_EQ(l.block, block);
            EXPECT_EQ(l.count, frames[k]);
            EXPECT_TRUE(l.checkOk);
            EXPECT_EQ(l.end, at == total - 1) << "only the very last frame carries the end marker";
        }
    }
    EXPECT_EQ(lines.last(), QStringLiteral("%1 frame(s) (1 x 0x22, %2 x 0x31), %2 check value(s) hold, 0 fail, "
                                           "0 malformed, 0 byte(s) outside frames")
                                .arg(total + 1)
                                .arg(total));
}

TEST_F(DecodeTest, ADamagedFileIsToldFrameByFrame)
{
    const CliRun exported = runCli(QStringList{QStringLiteral("export"), playbill} + geometry());
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    QByteArray bytes = readAll(QDir(outDir).filePath(QStringLiteral("Vk_Data.prg")));
    ASSERT_GT(bytes.size(), 100);

    // The header frame's length field says where the first material frame
    // begins; its last data byte is under the check value of its block.
    const quint32 header = qFromLittleEndian<quint32>(bytes.constData() + 4);
    const quint32 first = qFromLittleEndian<quint32>(bytes.constData() + header + 4);
    const qsizetype lastDataByte = header + first - 2 - 2 - 8 - 1; // trailer, check value, block trailer
    QByteArray damaged = bytes;
    damaged[lastDataByte] = char(damaged.at(lastDataByte) ^ 0x01);
    const QString damagedPath = dir.filePath(QStringLiteral("damaged.prg"));
    ASSERT_TRUE(writeAll(damagedPath, damaged));
    CliRun run = runCli({QStringLiteral("decode"), damagedPath});
    EXPECT_EQ(run.exitCode, 1);
    const QList<MaterialLine> lines = materialLines(run.out);
    ASSERT_FALSE(lines.isEmpty()) << run.out.toStdString();
    EXPECT_FALSE(lines.first().checkOk);
    for (qsizetype i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].checkOk) << i;
    EXPECT_TRUE(run.out.contains(QStringLiteral(", 1 fail, 0 malformed"))) << run.out.toStdString();

    // A file cut inside its last frame: every whole frame still reads, the
    // last is reported cut short.
    const QString cutPath = dir.filePath(QStringLiteral("cut.prg"));
    ASSERT_TRUE(writeAll(cutPath, bytes.left(bytes.size() - 5)));
    run = runCli({QStringLiteral("decode"), cutPath});
    EXPECT_EQ(run.exitCode, 1);
    const QStringList out = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(out.size(), 3);
    EXPECT_EQ(out.filter(QStringLiteral("MALFORMED: length field")).size(), 1) << run.out.toStdString();
    EXPECT_TRUE(out.last().contains(QStringLiteral(", 1 malformed"))) << out.last().toStdString();

    // Cut where a frame ends, every frame left is whole, but the playbill is
    // not: the header's materials are compared with the frames there.
    QList<qsizetype> ends;
    for (qsizetype at = 0; at + 8 <= bytes.size();) {
        at += qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        ends << at;
    }
    ASSERT_EQ(ends.last(), bytes.size());
    ASSERT_GE(ends.size(), 3);
    for (qsizetype k = 0; k + 1 < ends.size(); ++k) {
        ASSERT_TRUE(writeAll(cutPath, bytes.left(ends[k])));
        run = runCli({QStringLiteral("decode"), cutPath});
        EXPECT_EQ(run.exitCode, 1) << "cut after frame " << k + 1;
        EXPECT_TRUE(run.out.contains(QStringLiteral("INCOMPLETE: material "))) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(QStringLiteral(", 0 malformed"))) << run.out.toStdString();
    }
    ASSERT_TRUE(writeAll(cutPath, QByteArray()));
    run = runCli({QStringLiteral("decode"), cutPath});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("is empty"))) << run.err.toStdString();

    // Not a frame at all, and no file.
    const QString junk = dir.filePath(QStringLiteral("junk.bin"));
    ASSERT_TRUE(writeAll(junk, QByteArray("hello")));
    run = runCli({QStringLiteral("decode"), junk});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains(QStringLiteral("5 byte(s) outside any frame")));
    EXPECT_EQ(runCli({QStringLiteral("decode"), dir.filePath(QStringLiteral("none"))}).exitCode, 1);
    EXPECT_EQ(runCli({QStringLiteral("decode")}).exitCode, 2);
}
