// The property editor window: what it shows and what it reports.
#include "propertyfixture.h"

#include "workspace/propertyeditor.h"
#include "workspace/propertyeditordelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>

using namespace ledsign;
using ledsign::test::PropertyFixture;

namespace {

class EditorWindow : public PropertyFixture {
protected:
    void SetUp() override
    {
        PropertyFixture::SetUp();
        editor = std::make_unique<PropertyEditor>(model, settings);
        editor->resize(300, 400);
        editor->show();
    }

    void clickButtonOf(int row)
    {
        const QRect cell = editor->visualItemRect(editor->item(row, 1));
        const QPoint at = PropertyRowDelegate::buttonRect(cell).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, editor->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(editor->viewport(), &event);
        }
    }

    std::unique_ptr<PropertyEditor> editor;
};

// Records the arguments of every emission of a signal.
template <typename... Args>
struct Recorder {
    template <typename Sender, typename Signal>
    Recorder(Sender* sender, Signal signal)
    {
        QObject::connect(sender, signal, sender, [this](Args... args) { calls.append(QVariantList{QVariant::fromValue(args)...}); });
    }
    qsizetype count() const { return calls.size(); }
    const QVariantList& first() const { return calls.first(); }
    QList<QVariantList> calls;
};

} // namespace

TEST_F(EditorWindow, ShowsTheRowsWithTheirEditability)
{
    ASSERT_TRUE(editor->showCard(QStringLiteral("card1")));
    ASSERT_EQ(editor->rowCount(), 11);
    EXPECT_EQ(editor->item(2, 0)->text(), QStringLiteral("Width"));
    EXPECT_EQ(editor->rowValue(2), QStringLiteral("256"));
    EXPECT_FALSE(editor->item(2, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(editor->item(1, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(editor->item(1, 0)->flags() & Qt::ItemIsEditable);
    // The label column holds the widest label ("Card_Internal_Code") uncut.
    EXPECT_GE(editor->columnWidth(0), editor->sizeHintForIndex(editor->model()->index(7, 0)).width());

    Recorder<QString> modified(editor.get(), &PropertyEditor::cardModified);
    editor->editRow(2, QStringLiteral("64"));
    EXPECT_EQ(card().width, 256);
    EXPECT_EQ(modified.count(), 0);

    editor->clearRows();
    EXPECT_EQ(editor->rowCount(), 0);
}

TEST_F(EditorWindow, EditsAreAppliedAndReported)
{
    ASSERT_TRUE(editor->showPage(QStringLiteral("card1"), QStringLiteral("show_page1")));
    Recorder<QString> modified(editor.get(), &PropertyEditor::cardModified);
    Recorder<int, QString, QString> renamed(editor.get(), &PropertyEditor::nodeRenamed);
    editor->editRow(2, QStringLiteral("8:5"));
    EXPECT_EQ(page().startTime, QStringLiteral("08:50"));
    EXPECT_EQ(editor->rowValue(2), QStringLiteral("08:50"));
    ASSERT_EQ(modified.count(), 1);
    EXPECT_EQ(modified.first().first().toString(), QStringLiteral("card1"));

    editor->editRow(1, QStringLiteral("morning"));
    ASSERT_EQ(renamed.count(), 1);
    EXPECT_EQ(renamed.first().at(0).toInt(), int(NodeLevel::Page));
    EXPECT_EQ(renamed.first().at(1).toString(), QStringLiteral("show_page1"));
    EXPECT_EQ(renamed.first().at(2).toString(), QStringLiteral("morning"));

    ASSERT_TRUE(editor->showRegion(QStringLiteral("card1"), QStringLiteral("morning"), QStringLiteral("area1")));
    Recorder<QString, QString, QString> moved(editor.get(), &PropertyEditor::regionGeometryChanged);
    editor->editRow(2, QStringLiteral("200"));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.first().at(1).toString(), QStringLiteral("morning"));
    EXPECT_EQ(editor->rowValue(4), QStringLiteral("56"));

    // A drag elsewhere changed the record: the rows follow on request.
    model.regions().first().left = 64;
    editor->refreshRegionRows();
    EXPECT_EQ(editor->rowValue(2), QStringLiteral("64"));
}

TEST_F(EditorWindow, MaterialChangesAskForARenderAndMarkTheCardWhileShowingDoesNot)
{
    const QString name = addMaterial(kSingleText);
    Recorder<QString> modified(editor.get(), &PropertyEditor::cardModified);
    Recorder<QString, QString, QString, QString, bool> changed(editor.get(), &PropertyEditor::materialChanged);
    ASSERT_TRUE(editor->showMaterial(QStringLiteral("card1"), QStringLiteral("show_page1"), QStringLiteral("area1"),
                                     name));
    EXPECT_EQ(modified.count(), 0) << "a look is no edit";
    editor->editRow(6, QStringLiteral("300"));
    EXPECT_EQ(modified.count(), 1);
    EXPECT_EQ(editor->rowValue(6), QStringLiteral("255"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.first().at(3).toString(), name);
    EXPECT_TRUE(changed.first().at(4).toBool());
}

TEST_F(EditorWindow, ChoiceRowsOpenADropDownList)
{
    const QString name = addMaterial(kDateTime);
    ASSERT_TRUE(editor->showMaterial(QStringLiteral("card1"), QStringLiteral("show_page1"), QStringLiteral("area1"),
                                     name));
    editor->setCurrentCell(3, 1);
    editor->editItem(editor->item(3, 1));
    auto* combo = editor->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 7);
    EXPECT_EQ(combo->currentText(), QStringLiteral("Red"));
    combo->setCurrentIndex(5);
    emit combo->activated(5);
    EXPECT_EQ(material(name).digitColor, 6);
    EXPECT_EQ(editor->rowValue(3), QStringLiteral("Cyan"));
}

TEST_F(EditorWindow, ButtonsAskForTheirDialogs)
{
    ASSERT_TRUE(editor->showPage(QStringLiteral("card1"), QStringLiteral("show_page1")));
    Recorder<DialogRequest> requested(editor.get(), &PropertyEditor::dialogRequested);
    clickButtonOf(4);
    ASSERT_EQ(requested.count(), 1);
    EXPECT_EQ(requested.first().first().value<DialogRequest>().kind, DialogKind::PlayByWeek);
    clickButtonOf(2); // a plain row has no button
    EXPECT_EQ(requested.count(), 1);

    Recorder<QString> modified(editor.get(), &PropertyEditor::cardModified);
    editor->acceptPlayByWeek(true, QStringLiteral("1;3;5"));
    EXPECT_EQ(editor->rowValue(4), QStringLiteral("1;3;5"));
    EXPECT_EQ(editor->rowValue(5), QStringLiteral("everyday"));
    EXPECT_EQ(modified.count(), 1);
    editor->acceptPlayByDate(1, QStringLiteral("2024-05-01 00:00:00"));
    EXPECT_EQ(editor->rowValue(5), QStringLiteral("2024-05-01 00:00:00 Before"));
}

TEST_F(EditorWindow, AnimationFileComesFromTheFileChooser)
{
    const QString name = addMaterial(kAnimation);
    material(name).content = QStringLiteral("/old.gif");
    ASSERT_TRUE(editor->showMaterial(QStringLiteral("card1"), QStringLiteral("show_page1"), QStringLiteral("area1"),
                                     name));
    QString answer;
    QString filterSeen;
    editor->setFileChooser([&](const QString& filter, const QString&) {
        filterSeen = filter;
        return answer;
    });
    clickButtonOf(4);
    // The chooser gets what a file dialog reads, without the "|*.gif" tail.
    EXPECT_EQ(filterSeen, QStringLiteral("gif(*.gif)"));
    EXPECT_EQ(material(name).content, QString()); // cancelled: no file
    EXPECT_EQ(editor->rowValue(4), QString());
    answer = QStringLiteral("/new.gif");
    clickButtonOf(4);
    EXPECT_EQ(material(name).content, QStringLiteral("/new.gif"));
    EXPECT_EQ(editor->rowValue(4), QStringLiteral("/new.gif"));
}
