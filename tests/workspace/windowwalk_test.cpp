// Every window, opened as an operator opens it, in English and in
// simplified Chinese: in English every text it shows is a text of the English
// table (or one of the few texts kept fixed, each named below); in both
// languages no window is larger than the screen and the property list needs
// no horizontal scroll bar. With LEDSIGN_SCREENSHOT_DIR set, each window is
// saved there as "<language>_<window>.png".
#include "language/languagetable.h"
#include "transport/ui/adapterchoicewindow.h"
#include "workspace/cardlinkcontroller.h"
#include "windowwalk.h"

#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>

namespace ledsign::test {
namespace {

// Texts that stay as they are in every language.
const QList<QPair<QString, QString>> kFixedTexts = {
    {QStringLiteral("打开串口"), QStringLiteral("serial-port button, opening caption")},
    {QStringLiteral("关闭串口"), QStringLiteral("serial-port button, closing caption")},
    {QStringLiteral("缩小显示"), QStringLiteral("canvas zoom-out button")},
    {QStringLiteral("缩小"), QStringLiteral("canvas zoom-out hint")},
    {QStringLiteral("放大"), QStringLiteral("canvas zoom-in hint")},
    {QStringLiteral("+"), QStringLiteral("canvas zoom-in button")},
    {QStringLiteral("-"), QStringLiteral("canvas zoom-out button")},
    {QStringLiteral("DTU"), QStringLiteral("parameter window, the DTU link switch")},
    {QStringLiteral("0 -- 15000(ms)"), QStringLiteral("parameter window, range of the send delay")},
};

class TextBook {
public:
    explicit TextBook(int language)
    {
        const LanguageTable table = LanguageTable::builtIn(language);
        for (int i = 0; i < table.rowCount(); ++i) {
            const rLgMap& row = table.rowInOrder(i);
            add(row.text);
            for (const QString& item : row.items)
                add(item);
        }
        for (const auto& fixed : kFixedTexts)
            add(fixed.first);
    }
    void addData(const QStringList& values)
    {
        for (const QString& v : values)
            data_.insert(v.trimmed());
    }

    bool known(const QString& raw) const
    {
        const QString text = raw.trimmed();
        if (text.isEmpty() || texts_.contains(text) || data_.contains(text))
            return true;
        // Numbers, sizes and times are values, not texts.
        static const QRegularExpression value(QStringLiteral("^[-+0-9.,:x×*/ %()]+$"));
        if (value.match(text).hasMatch())
            return true;
        // A text put together from table texts and values: each piece known.
        static const QRegularExpression joint(QStringLiteral("\\s*(?:: |：|\\n| - |\\[|\\]|【|】|\\(|\\))\\s*"));
        const QStringList parts = text.split(joint, Qt::SkipEmptyParts);
        if (parts.size() > 1) {
            // A label's colon goes with the piece before it.
            return std::all_of(parts.begin(), parts.end(), [this](const QString& p) {
                return known(p) || known(p + u':') || known(p + u'：');
            });
        }
        // Two table texts side by side ("Network" "Port").
        if (const qsizetype space = text.indexOf(u' '); space > 0 && text.count(u' ') == 1)
            return texts_.contains(text.left(space)) && texts_.contains(text.mid(space + 1));
        // A trailing colon belongs to a label.
        if (text.endsWith(u':') || text.endsWith(u'：'))
            return known(text.chopped(1));
        // A table text with its %1 filled in by another known text.
        for (const QRegularExpression& form : forms_) {
            const QRegularExpressionMatch m = form.match(text);
            if (!m.hasMatch())
                continue;
            bool all = true;
            for (int i = 1; i <= m.lastCapturedIndex() && all; ++i)
                all = known(m.captured(i));
            if (all)
                return true;
        }
        return false;
    }

private:
    void add(const QString& text)
    {
        const QString t = text.trimmed();
        if (t.isEmpty())
            return;
        texts_.insert(t);
        static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
        if (t.contains(placeholder) && t.size() > 2) {
            QStringList pieces = t.split(placeholder);
            for (QString& piece : pieces)
                piece = QRegularExpression::escape(piece);
            forms_ << QRegularExpression(QLatin1Char('^') + pieces.join(QStringLiteral("(.+)")) + QLatin1Char('$'));
        }
    }
    QSet<QString> texts_;
    QList<QRegularExpression> forms_;
    QSet<QString> data_;
};

struct Seen {
    QString window;
    ShownText text;
};

class WindowWalk : public ::testing::TestWithParam<int> {
protected:
    QString shotFolder() const { return qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR"); }
};

TEST_P(WindowWalk, EveryWindowFitsTheScreenAndSpeaksItsLanguage)
{
    const int language = GetParam();
    const QString prefix = language == kEnglish ? QStringLiteral("en")
        : language == kTraditionalChinese      ? QStringLiteral("tw")
                                               : QStringLiteral("zh");
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString shots = shotFolder();
    if (!shots.isEmpty()) {
        ASSERT_TRUE(QDir().mkpath(shots));
    }

    QList<Seen> seen;
    QStringList visited;
    const WindowVisitor visit = [&](QWidget* w, const QString& name) {
        visited << name;
        w->raise();
        pump(80);
        // The screen of an operator: 1280 x 800, or the one the test runs on
        // when it is larger.
        const QSize screen = w->screen()->availableGeometry().size().expandedTo(QSize(1280, 800));
        EXPECT_LE(w->frameGeometry().width(), screen.width()) << name.toStdString();
        EXPECT_LE(w->frameGeometry().height(), screen.height()) << name.toStdString();
        if (auto* props = w->findChild<QTableWidget*>(QStringLiteral("vLEditor")); props && props->isVisible()) {
            EXPECT_FALSE(props->horizontalScrollBar()->isVisible())
                << name.toStdString() << ": the property values need a horizontal scroll bar";
        }
        for (const ShownText& t : shownTexts(w))
            seen.append({name, t});
        // No label is cut: a one-line label has its text's width, a wrapped
        // one the height of its lines (the status bar's messages may be long).
        for (QLabel* l : w->findChildren<QLabel*>()) {
            if (!l->isVisibleTo(w) || l->text().isEmpty() || qobject_cast<QStatusBar*>(l->parentWidget()))
                continue;
            const bool cut = l->wordWrap() ? l->height() < l->heightForWidth(l->width())
                                           : l->width() < l->minimumSizeHint().width();
            EXPECT_FALSE(cut) << name.toStdString() << ": label " << l->objectName().toStdString() << " \""
                              << l->text().toStdString() << "\" is cut (" << l->width() << " x " << l->height() << ")";
        }
        if (!shots.isEmpty()) {
            const QImage image = w->grab().toImage();
            EXPECT_TRUE(image.save(QDir(shots).filePath(prefix + QLatin1Char('_') + name + QStringLiteral(".png"))));
        }
    };
    // The network-adapter window comes when the card link opens on a
    // computer with two adapters; the operator picks the first.
    LiveRun run = startLive(home.path(), {.language = language});
    const QList<TAdapterInfo> twoAdapters{
        {1, "Ethernet adapter", "192.168.0.10", "00-1A-2B-3C-4D-5E", "255.255.255.0"},
        {2, "Wireless adapter", "10.1.2.3", "00-1A-2B-3C-4D-5F", "255.0.0.0"}};
    run.window->cardLink().setAdapterSource([twoAdapters] { return twoAdapters; });
    run.session->settings().isShowMulNetCard = true;
    {
        QTcpServer probe; // a port of the walk's own
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        run.session->settings().commParam02 = QString::number(probe.serverPort());
    }
    ModalCame adapters = whenModal<TfrmMulNetCardChoice>([&](TfrmMulNetCardChoice* w) {
        pump(80);
        visit(w, QStringLiteral("adapters"));
        auto* rows = w->findChild<QTableWidget*>();
        ASSERT_NE(rows, nullptr);
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rows->visualItemRect(rows->item(0, 0)).center());
        QTest::mouseClick(childWithText<QPushButton>(w, GetLgText(16, QStringLiteral("btnOK"))), Qt::LeftButton);
    });
    run.window->openCardLink();
    EXPECT_TRUE(*adapters) << "adapter window";
    QStringList data;
    walkEveryWindow(run, home.path(), visit, &data);
    for (const TAdapterInfo& a : twoAdapters)
        data << a.description << a.macAddress;
    EXPECT_GE(visited.size(), 20) << visited.join(QStringLiteral(", ")).toStdString();

    TextBook book(language);
    book.addData(data);
    book.addData({run.session->caption()});
    QStringList foreign;
    QSet<QString> reported;
    for (const Seen& s : std::as_const(seen)) {
        if (book.known(s.text.text))
            continue;
        const QString line = s.window + QStringLiteral(" / ") + s.text.where + QStringLiteral(": \"") + s.text.text
            + QLatin1Char('"');
        if (!reported.contains(s.text.where + s.text.text)) {
            reported.insert(s.text.where + s.text.text);
            foreign << line;
        }
    }
    EXPECT_TRUE(foreign.isEmpty()) << "texts outside the table of the language:\n" << foreign.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowWalk,
                         ::testing::Values(int(kEnglish), int(kSimplifiedChinese), int(kTraditionalChinese)),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == kEnglish             ? std::string("English")
                                 : info.param == kSimplifiedChinese ? std::string("SimplifiedChinese")
                                                                     : std::string("TraditionalChinese");
                         });

} // namespace
} // namespace ledsign::test
