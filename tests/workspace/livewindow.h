// The main window with its own dialogs, on a temporary data folder: the
// test answers every modal window as an operator would, by finding it once
// it is open and working its controls.
#pragma once

#include "language/language.h"
#include "workspace/mainwindow.h"
#include "workspace/objecttree.h"
#include "workspace/workspacesession.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace ledsign::test {

// Runs the event loop for `ms` milliseconds.
inline void pump(int ms)
{
    QDeadlineTimer deadline(ms);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (!deadline.hasExpired());
}

// The polls of whenModal() still waiting; a test ends them when it ends, so
// that none answers a window of the next test.
inline QList<QPointer<QTimer>>& pendingModalPolls()
{
    static QList<QPointer<QTimer>> polls;
    return polls;
}

inline void cancelPendingModals()
{
    for (const QPointer<QTimer>& poll : std::as_const(pendingModalPolls())) {
        if (poll) {
            poll->stop();
            poll->deleteLater();
        }
    }
    pendingModalPolls().clear();
}

// Calls `answer` with the next modal window that opens and is not `after`
// (the window that opened it). The flag tells whether one came within the
// time; without one, the test goes on and its checks say what is missing.
inline std::shared_ptr<bool> whenModal(std::function<void(QWidget*)> answer, QWidget* after = nullptr,
                                       int timeoutMs = 5000)
{
    auto came = std::make_shared<bool>(false);
    auto* poll = new QTimer;
    poll->setInterval(20);
    QPointer<QWidget> opener(after);
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    QObject::connect(poll, &QTimer::timeout, [poll, came, answer, opener, deadline] {
        QWidget* modal = QApplication::activeModalWidget();
        // Once the opener has gone, any modal window is the next one.
        if (modal && modal != opener.data() && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            *came = true;
            answer(modal);
            return;
        }
        if (deadline->hasExpired()) {
            poll->stop();
            poll->deleteLater();
        }
    });
    pendingModalPolls().append(poll);
    poll->start();
    return came;
}

// The button of a message box with that role.
inline void clickBox(QWidget* modal, QMessageBox::StandardButton which)
{
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr) << "a message box, not " << modal->metaObject()->className();
    QAbstractButton* button = box->button(which);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

// The push button of a window whose text is `text`.
inline QPushButton* buttonWithText(QWidget* window, const QString& text)
{
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == text && b->isVisible())
            return b;
    }
    return nullptr;
}

// The first visible action of the widget's tool bars or children with that text.
inline QAction* actionWithText(QWidget* window, const QString& text)
{
    for (QAction* a : window->findChildren<QAction*>()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

struct LiveRun {
    std::unique_ptr<WorkspaceSession> session;
    std::unique_ptr<MainWindow> window;

    ProjectModel& model() { return session->model(); }
    void trigger(ActionId id) { window->actions().action(id)->trigger(); }
    NodePath selected() const { return window->selection().node(); }

    // A key pressed in the main window, which a closed dialog has made
    // active again (an offscreen window manager does not do it by itself).
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), key, modifiers);
    }

    // Double-clicks the node in the tree, as the operator opens an editor.
    void doubleClickNode(const NodePath& path)
    {
        window->selectNode(path);
        QTreeWidgetItem* item = window->tree()->itemOf(path);
        ASSERT_NE(item, nullptr);
        QTreeWidget* tree = window->tree();
        for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
            up->setExpanded(true);
        tree->scrollToItem(item);
        const QPoint at = tree->visualItemRect(item).center();
        ASSERT_FALSE(tree->visualItemRect(item).isEmpty()) << "the node is in sight";
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    }

    // New Card through the new-card window, typed in and confirmed.
    void addCard(const QString& name, int width, int height, int colorIndex)
    {
        auto came = whenModal([&](QWidget* w) {
            const QList<QLineEdit*> edits = w->findChildren<QLineEdit*>();
            ASSERT_GE(edits.size(), 3);
            edits[0]->setText(name);
            edits[1]->setText(QString::number(width));
            edits[2]->setText(QString::number(height));
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
    }
};

inline LiveRun startLive(const QString& home, int language = kEnglish)
{
    LiveRun run;
    run.session = std::make_unique<WorkspaceSession>(DataFolder(home));
    WorkspaceSession::StartOptions o;
    o.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    o.bindPort = [](int) { return BindResult::Bound; };
    o.localAddress = QStringLiteral("10.0.0.5");
    EXPECT_EQ(run.session->start(o), WorkspaceSession::StartResult::Ready) << run.session->errorString().toStdString();
    run.session->switchLanguage(language);
    // The remote-text tip was dismissed on an earlier run.
    run.session->settings().isShowTips = true;
    run.window = std::make_unique<MainWindow>(*run.session);
    run.window->show();
    // 1280 x 800, or the whole screen when it is smaller, frame included.
    const QSize frame = run.window->frameGeometry().size() - run.window->size();
    const QSize room = run.window->screen()->availableGeometry().size() - frame;
    run.window->resize(QSize(1280, 800).boundedTo(room));
    run.window->startUp();
    run.window->activateWindow();
    // Shortcuts reach the window only while it is the active one.
    EXPECT_TRUE(QTest::qWaitForWindowActive(run.window.get()));
    return run;
}

} // namespace ledsign::test
