// The texts of undo steps and of the Undo and Redo commands. A step keeps
// the key of its text, so that its caption follows a language switch; the
// command of a window action without a text of its own is named by the
// action's caption.
#pragma once

#include "editing/commandids.h"

#include <QString>

namespace ledsign::stepcaption {

// The step key of a tree command.
QString ofAction(ActionId id);
QString moveUp();
QString moveDown();
QString rename();
QString editProperties();
QString moveRegion();
QString resizeRegion();
QString editText();
QString editTable();
QString editImageGroup();
QString editMaterial();
QString bindCard();
// A change of a command without a text of its own.
QString edit();

// What a step key reads as in the current language.
QString shown(const QString& key);
// "Undo Add Page", "Redo Add Page"; the bare word when there is no step.
QString undoCommand(const QString& key);
QString redoCommand(const QString& key);

} // namespace ledsign::stepcaption
