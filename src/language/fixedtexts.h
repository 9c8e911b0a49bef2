#pragma once
// Texts that the windows show in Chinese whatever the language: the main
// window's group-send box and delete command, the zoom
// hints, and the file-type names of the text editors' save dialogs.
// Operators know these controls by these words; they are kept here, in one
// place, so that every other text a window shows comes from the tables.
#include <QString>

namespace ledsign::fixedtext {

QString sendToAll();        // the group-send check box
QString deleteObject();     // main-window action and the canvas pop-up entry
QString enlargeHint();      // zoom-in button hint
QString narrowHint();       // zoom-out button hint
QString narrowName();       // zoom-out button name
// "文本文件(*.EXT)": the save dialog's file type of the text editors.
QString textFileFilter(const QString& extension);

} // namespace ledsign::fixedtext
