// A walk through every window of the program, as an operator opens them:
// the main window with a card full of materials, each editor and dialog,
// the preview, the text-program, parameter, search, USB-disk and tip
// windows. Each window is handed to a visitor while it is open; the walk
// closes it afterwards.
#pragma once

#include "livewindow.h"

#include <QString>

#include <functional>

namespace ledsign::test {

// `name` says which window it is ("main_card", "table_editor", ...).
using WindowVisitor = std::function<void(QWidget* window, const QString& name)>;

// Runs the walk on a fresh window over `home`. The names of the records the
// walk made (cards, pages, regions, materials, files) are added to `data`.
void walkEveryWindow(LiveRun& run, const QString& home, const WindowVisitor& visit, QStringList* data);

// Every text a person can read on the window: its title, labels, buttons,
// group boxes, tabs, headers, tool tips, menu and tool-bar entries, and the
// row labels of a property list. Each entry is "where: text".
struct ShownText {
    QString where;
    QString text;
};
QList<ShownText> shownTexts(QWidget* window);

} // namespace ledsign::test
