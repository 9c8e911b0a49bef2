// The main window with its own dialogs, driven as an operator drives it:
// mouse and keys on the real widgets, and every dialog the window opens
// answered by finding it on the screen while it waits for an answer.
#pragma once

#include "windowfixture.h"
#include "workspace/layoutcanvas.h"
#include "workspace/objecttree.h"
#include "workspace/toolwindowstips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace ledsign::test {

// Spins the event loop until `done` holds; false when `ms` ran out.
inline bool spinUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

// Answers the next modal window of type W that opens: `answer` runs while
// the window waits for its user. A window that does not come in time is a
// test failure (one of another type is then closed so that the test goes
// on), unless it was `optional`. Stopping the returned timer takes the
// answer back.
template <typename W>
QPointer<QTimer> whenModal(std::function<void(W*)> answer, int ms = 5000, bool optional = false)
{
    auto* poll = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, clock, answer, ms, optional] {
        QWidget* modal = QApplication::activeModalWidget();
        if (W* wanted = qobject_cast<W*>(modal)) {
            poll->stop();
            poll->deleteLater();
            answer(wanted);
            return;
        }
        if (clock->elapsed() > ms) {
            poll->stop();
            poll->deleteLater();
            if (optional)
                return;
            ADD_FAILURE() << "no " << W::staticMetaObject.className() << " opened; modal: "
                          << (modal ? modal->metaObject()->className() : "none");
            if (auto* other = qobject_cast<QDialog*>(modal))
                other->reject();
        }
    });
    poll->start();
    return poll;
}

// Takes back an answer that was not needed.
inline void dropAnswer(QPointer<QTimer>& poll)
{
    if (poll) {
        poll->stop();
        poll->deleteLater();
    }
}

// Types a file's path into a file dialog's name box and presses Return.
inline void chooseFile(QFileDialog* dialog, const QString& path)
{
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    // Set at once: typed letters would open the completer's pop-up, which
    // takes the Return.
    name->setFocus();
    name->setText(path);
    QTest::keyClick(name, Qt::Key_Return);
    if (dialog->isVisible())
        ADD_FAILURE() << "the file dialog took no " << path.toStdString();
}

// The button of a message box with that role (Yes, No, Ok, ...).
inline void pressMessageButton(QMessageBox* box, QMessageBox::StandardButton which)
{
    QAbstractButton* button = box->button(which);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

// The first child of `parent` of type T whose text is `text`.
template <typename T>
T* childWithText(QWidget* parent, const QString& text)
{
    for (T* w : parent->findChildren<T*>()) {
        if (w->text() == text)
            return w;
    }
    return nullptr;
}

// Reads and closes the message boxes no test step waits for (a step's own
// answer comes first): their texts are kept, in order.
class MessageReader {
public:
    MessageReader()
    {
        poll_.setInterval(50);
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                seen_ = nullptr;
                return;
            }
            if (box != seen_) {
                seen_ = box;
                since_.start();
                return;
            }
            if (since_.elapsed() < 400)
                return;
            texts << box->text();
            seen_ = nullptr;
            if (QAbstractButton* b = box->escapeButton())
                b->click();
            else
                box->reject();
        });
        poll_.start();
    }
    QStringList texts;

private:
    QTimer poll_;
    QPointer<QMessageBox> seen_;
    QElapsedTimer since_;
};

// One run of the program with its own dialogs.
struct RealRun {
    std::unique_ptr<WorkspaceSession> session;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<MessageReader> messages = std::make_unique<MessageReader>();

    void trigger(ActionId id) { window->actions().action(id)->trigger(); }
    QStringList outline() const { return window->tree()->outline(); }
    ProjectModel& model() { return session->model(); }
    ObjectTree* tree() const { return window->tree(); }
    LayoutCanvas* canvas() const { return window->canvas(); }

    // The main window is the one the keyboard talks to again (after a
    // dialog closed).
    void activate()
    {
        if (!window->isActiveWindow()) {
            window->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
    }

    // A mouse click on the node's text in the tree, as the operator clicks.
    void clickNode(const NodePath& path)
    {
        activate();
        QTreeWidgetItem* item = tree()->itemOf(path);
        ASSERT_NE(item, nullptr) << outline().join(u'\n').toStdString();
        tree()->scrollToItem(item);
        const QPoint at = tree()->visualItemRect(item).center();
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, at);
    }
};

inline RealRun startRealRun(const QString& home,
                            const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates))
{
    RealRun run;
    run.session = std::make_unique<WorkspaceSession>(DataFolder(home));
    EXPECT_EQ(run.session->start(testStartOptions(locale)), WorkspaceSession::StartResult::Ready)
        << run.session->errorString().toStdString();
    run.window = std::make_unique<MainWindow>(*run.session);
    run.window->show();
    run.window->activateWindow();
    // A new data folder greets the operator with the remote-text tip; it is
    // read, ticked away and closed.
    QPointer<QTimer> tip = whenModal<RemoteTextTipWindow>(
        [](RemoteTextTipWindow* w) {
            if (auto* never = w->findChild<QCheckBox*>())
                never->setChecked(true);
            w->close();
        },
        3000, true);
    run.window->startUp();
    dropAnswer(tip);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(run.window.get()));
    return run;
}

} // namespace ledsign::test
