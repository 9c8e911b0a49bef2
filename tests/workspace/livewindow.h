// The main window with its own dialogs, on a temporary data folder, driven
// as an operator drives it: mouse and keys on the real widgets, and every
// modal window the program opens answered by finding it on the screen while
// it waits for its user and working its controls.
#pragma once

#include "windowfixture.h"
#include "workspace/layoutcanvas.h"
#include "workspace/objecttree.h"
#include "workspace/toolwindowstips.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <type_traits>

namespace ledsign::test {

// Runs the event loop for `ms` milliseconds.
inline void pump(int ms)
{
    QDeadlineTimer deadline(ms);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (!deadline.hasExpired());
}

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

// An answer waiting for its window: the flag says whether the window came.
using ModalCame = std::shared_ptr<bool>;

// The polls still waiting for their window, so that a test can take one
// back, and end them all when it ends (none then answers a window of the
// next test).
struct PendingModal {
    ModalCame came;
    QPointer<QTimer> poll;
};
inline QList<PendingModal>& pendingModals()
{
    static QList<PendingModal> polls;
    return polls;
}

inline void stopPoll(QTimer* poll)
{
    if (poll) {
        poll->stop();
        poll->deleteLater();
    }
}

// Takes back an answer that was not needed.
inline void dropAnswer(const ModalCame& came)
{
    for (const PendingModal& p : std::as_const(pendingModals())) {
        if (p.came == came)
            stopPoll(p.poll);
    }
}

inline void cancelPendingModals()
{
    for (const PendingModal& p : std::as_const(pendingModals()))
        stopPoll(p.poll);
    pendingModals().clear();
}

// How long to wait and for what: `after` is the window that opens the one
// awaited (it is modal too and is passed over); a window that does not come
// within `ms` is a test failure unless it is `optional`.
struct ModalWait {
    ModalWait(QWidget* opener = nullptr, int waitMs = 5000, bool mayNotCome = false)
        : after(opener)
        , ms(waitMs)
        , optional(mayNotCome)
    {
    }
    QWidget* after;
    int ms;
    bool optional;
};

// Answers the next visible modal window of type W (any window by default)
// that is not `wait.after`: `answer` runs while it waits for its user. When
// none comes in time, one of another type is closed so that the test goes on.
template <typename W = QWidget>
ModalCame whenModal(std::type_identity_t<std::function<void(W*)>> answer, ModalWait wait = {})
{
    auto came = std::make_shared<bool>(false);
    auto* poll = new QTimer;
    poll->setInterval(20);
    auto deadline = std::make_shared<QDeadlineTimer>(wait.ms);
    QPointer<QWidget> opener(wait.after);
    const bool optional = wait.optional;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, came, answer, opener, deadline, optional] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool fresh = modal && modal != opener.data() && modal->isVisible();
        if (W* wanted = fresh ? qobject_cast<W*>(modal) : nullptr) {
            stopPoll(poll);
            *came = true;
            answer(wanted);
            return;
        }
        if (!deadline->hasExpired())
            return;
        stopPoll(poll);
        if (optional)
            return;
        ADD_FAILURE() << "no " << W::staticMetaObject.className() << " opened; modal: "
                      << (modal ? modal->metaObject()->className() : "none");
        if (auto* other = qobject_cast<QDialog*>(modal); other && other != opener.data())
            other->reject();
    });
    pendingModals().append({came, poll});
    poll->start();
    return came;
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

// A click on the button of a message box with that role (Yes, No, Ok, ...).
inline void clickBox(QWidget* modal, QMessageBox::StandardButton which)
{
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr) << "a message box, not " << modal->metaObject()->className();
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

// The action of the window's tool bars or children with that text.
inline QAction* actionWithText(QWidget* window, const QString& text)
{
    for (QAction* a : window->findChildren<QAction*>()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

// The visible push button of a window whose text is `text`.
inline QPushButton* buttonWithText(QWidget* window, const QString& text)
{
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == text && b->isVisible())
            return b;
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
struct LiveRun {
    std::unique_ptr<WorkspaceSession> session;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<MessageReader> messages; // when the start asked for one

    ProjectModel& model() { return session->model(); }
    void trigger(ActionId id) { window->actions().action(id)->trigger(); }
    NodePath selected() const { return window->selection().node(); }
    QStringList outline() const { return window->tree()->outline(); }
    ObjectTree* tree() const { return window->tree(); }
    LayoutCanvas* canvas() const { return window->canvas(); }

    // Runs an add command and returns the path of the material it made
    // (none when it made none); the selection stays where it was.
    NodePath addMaterial(ActionId id) { return test::addMaterial(*this, id); }

    // The main window is the one the keyboard talks to again (after a
    // dialog closed; an offscreen window manager does not do it by itself).
    void activate()
    {
        // A dialog that has just closed may take the activation back a
        // moment later: what is pending arrives first, and the window asks
        // again until it is the active one.
        QCoreApplication::processEvents();
        for (int tries = 0; tries < 5 && QApplication::activeWindow() != window.get(); ++tries) {
            window->activateWindow();
            QTest::qWaitForWindowActive(window.get(), 1000);
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(QApplication::activeWindow(), window.get());
    }

    // A key pressed in the main window.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        activate();
        QTest::keyClick(window.get(), key, modifiers);
    }

    // A mouse click on the node's text in the tree, as the operator clicks.
    void clickNode(const NodePath& path)
    {
        activate();
        QTreeWidgetItem* item = tree()->itemOf(path);
        ASSERT_NE(item, nullptr) << outline().join(u'\n').toStdString();
        for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
            up->setExpanded(true);
        tree()->scrollToItem(item);
        const QRect rect = tree()->visualItemRect(item);
        ASSERT_FALSE(rect.isEmpty()) << "the node is in sight";
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, rect.center());
    }

    // Double-clicks the node in the tree, as the operator opens an editor.
    void doubleClickNode(const NodePath& path)
    {
        clickNode(path);
        QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(tree()->itemOf(path)).center());
    }

    // New Card through the new-card window, typed in and confirmed with its
    // OK button.
    void addCard(const QString& name, int width, int height, int colorIndex)
    {
        auto came = whenModal([&](QWidget* w) {
            const QList<QLineEdit*> edits = w->findChildren<QLineEdit*>();
            ASSERT_GE(edits.size(), 3);
            for (int i = 0; i < 3; ++i) {
                edits[i]->selectAll();
                QTest::keyClicks(edits[i], i == 0 ? name : QString::number(i == 1 ? width : height));
            }
            // The colour list is the first list of the window.
            const QList<QComboBox*> lists = w->findChildren<QComboBox*>();
            ASSERT_FALSE(lists.isEmpty());
            lists.first()->setCurrentIndex(colorIndex);
            QPushButton* ok = buttonWithText(w, GetLgText(10, QStringLiteral("btUDiskOK")));
            if (!ok) {
                ADD_FAILURE() << "no OK button in the new-card window";
                static_cast<QDialog*>(w)->reject();
                return;
            }
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        trigger(ActionId::NewCard);
        EXPECT_TRUE(*came) << "the new-card window opened";
        EXPECT_TRUE(model().findCard(name)) << outline().join(u'\n').toStdString();
    }
};

struct LiveStart {
    int language = kEnglish;
    QLocale locale = QLocale(QLocale::English, QLocale::UnitedStates);
    bool readMessages = false; // close and keep the messages no step awaits
};

// The window at 1280 x 800 (or the whole screen when it is smaller, frame
// included), its cards loaded and its start-up tip, should it come, ticked
// away and closed.
inline LiveRun startLive(const QString& home, const LiveStart& how = {})
{
    LiveRun run;
    if (how.readMessages)
        run.messages = std::make_unique<MessageReader>();
    run.session = std::make_unique<WorkspaceSession>(DataFolder(home));
    EXPECT_EQ(run.session->start(testStartOptions(how.locale)), WorkspaceSession::StartResult::Ready)
        << run.session->errorString().toStdString();
    run.session->switchLanguage(how.language);
    run.window = std::make_unique<MainWindow>(*run.session);
    run.window->show();
    const QSize frame = run.window->frameGeometry().size() - run.window->size();
    const QSize room = run.window->screen()->availableGeometry().size() - frame;
    run.window->resize(QSize(1280, 800).boundedTo(room));
    run.window->activateWindow();
    ModalCame tip = whenModal<RemoteTextTipWindow>(
        [](RemoteTextTipWindow* w) {
            if (auto* never = w->findChild<QCheckBox*>())
                never->setChecked(true);
            w->close();
        },
        {nullptr, 3000, true});
    run.window->startUp();
    dropAnswer(tip);
    // Shortcuts reach the window only while it is the active one.
    run.activate();
    return run;
}

} // namespace ledsign::test
