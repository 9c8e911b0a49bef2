// The main window on a temporary data folder with scripted dialogs: each
// question takes the next prepared answer and every message is kept.
#pragma once

#include "language/language.h"
#include "workspace/mainwindow.h"
#include "workspace/mainwindowdialogs.h"
#include "workspace/objecttree.h"
#include "session/workspacesession.h"

#include <QAction>
#include <QLocale>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <ostream>

// Test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace ledsign::test {

class ScriptedDialogs : public MainWindowDialogs {
public:
    QString askSaveFileName(const QString& title, const QString&, const QString&) override
    {
        asked << title;
        return take(saveNames, QString());
    }
    bool askYesNo(const QString& question) override
    {
        asked << question;
        return take(yesNo, true);
    }
    void showMessage(const QString& text) override { messages << text; }
    Answer askYesNoCancel(const QString& question) override
    {
        asked << question;
        return take(yesNoCancel, Answer::No);
    }
    QString askOpenFileName(const QString& title, const QString&, const QString&) override
    {
        asked << title;
        return take(openNames, QString());
    }
    std::optional<NewCardInput> askNewCard(const QString& proposed,
                                           const std::function<QString(const QString&)>& check) override
    {
        asked << proposed;
        std::optional<NewCardInput> input = take(newCards, std::optional<NewCardInput>());
        // The window would stay open on a refused name; the script gives up.
        if (input && !check(input->name).isEmpty()) {
            messages << check(input->name);
            return std::nullopt;
        }
        return input;
    }

    bool editText(TFodder& material, int regionWidth) override
    {
        edits << QStringLiteral("text %1 %2").arg(material.name).arg(regionWidth);
        const std::optional<QString> text = take(texts, std::optional<QString>());
        if (!text)
            return false;
        material.content = *text;
        return true;
    }
    bool editTable(TFodder& material, const DataFolder& folders, QSize region) override
    {
        edits << QStringLiteral("table %1 %2x%3").arg(material.name).arg(region.width()).arg(region.height());
        return tableEdit ? tableEdit(material, folders) : false;
    }
    bool editInternalCode(TFodder& material) override
    {
        edits << QStringLiteral("code %1").arg(material.name);
        const std::optional<QString> text = take(texts, std::optional<QString>());
        if (!text)
            return false;
        material.content = *text;
        return true;
    }
    std::optional<QString> askPlayWeek(const QString& value, const QStringList&, const QString&) override
    {
        asked << value;
        return take(dialogValues, std::optional<QString>());
    }
    std::optional<QPair<int, QString>> askPlayDate(const DialogRequest& request) override
    {
        asked << request.text;
        const std::optional<QString> value = take(dialogValues, std::optional<QString>());
        if (!value)
            return std::nullopt;
        return QPair<int, QString>(2, *value);
    }
    std::optional<QString> askCountTime(const QString& value) override
    {
        asked << value;
        return take(dialogValues, std::optional<QString>());
    }

    std::deque<QString> saveNames;
    std::deque<bool> yesNo;
    std::deque<Answer> yesNoCancel;
    std::deque<QString> openNames;
    std::deque<std::optional<NewCardInput>> newCards;
    std::deque<std::optional<QString>> texts;        // what the text editors leave
    std::deque<std::optional<QString>> dialogValues; // answers of the row dialogs
    QStringList edits;                               // editors opened
    // What the table editor does (writes its files, changes the material).
    std::function<bool(TFodder&, const DataFolder&)> tableEdit;
    QStringList asked;
    QStringList messages;

private:
    template <typename T>
    static T take(std::deque<T>& queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T v = queue.front();
        queue.pop_front();
        return v;
    }
};

// One run of the program: a session on the folder and its window.
struct Running {
    std::unique_ptr<WorkspaceSession> session;
    std::unique_ptr<MainWindow> window;
    ScriptedDialogs* dialogs = nullptr;

    void trigger(ActionId id) { window->actions().action(id)->trigger(); }
    bool enabled(ActionId id) { return window->actions().action(id)->isEnabled(); }
    QStringList outline() const { return window->tree()->outline(); }
    ProjectModel& model() { return session->model(); }
};

// Runs an add command of the run's window and returns the path of the
// material it made (none when it made none); the selection stays where it was.
template <typename Run>
NodePath addMaterial(Run& run, ActionId id)
{
    QSet<QString> before;
    for (const TFodder& m : run.model().materials())
        before.insert(m.id);
    run.trigger(id);
    for (const TFodder& m : run.model().materials()) {
        if (!before.contains(m.id))
            return NodePath::ofMaterial(m.cardName, m.pageName, m.regionName, m.name);
    }
    return {};
}

inline WorkspaceSession::StartOptions testStartOptions(const QLocale& locale = QLocale(QLocale::English,
                                                                                       QLocale::UnitedStates))
{
    WorkspaceSession::StartOptions o;
    o.locale = locale;
    o.bindPort = [](int) { return BindResult::Bound; };
    o.localAddress = QStringLiteral("10.0.0.5");
    return o;
}

// Starts the session and the window and loads the cards.
inline Running startRun(const QString& home, const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates))
{
    Running run;
    run.session = std::make_unique<WorkspaceSession>(DataFolder(home));
    EXPECT_EQ(run.session->start(testStartOptions(locale)), WorkspaceSession::StartResult::Ready)
        << run.session->errorString().toStdString();
    auto dialogs = std::make_unique<ScriptedDialogs>();
    run.dialogs = dialogs.get();
    run.window = std::make_unique<MainWindow>(*run.session, std::move(dialogs));
    run.window->show();
    run.window->startUp();
    return run;
}

} // namespace ledsign::test
