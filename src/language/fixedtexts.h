#pragma once
// Texts several windows share, looked up in the current language when they
// are asked for: the main window's group-send box and delete command, the
// zoom hints, the proposed name of a new card and the file-type name of the
// text editors' save dialogs.
#include <QString>

namespace ledsign::fixedtext {

QString sendToAll();        // the group-send check box
QString deleteObject();     // main-window action and the canvas pop-up entry
QString enlargeHint();      // zoom-in button hint
QString narrowHint();       // zoom-out button hint
QString narrowName();       // zoom-out button name (for screen readers)
QString newCardName();      // a new card's name before its number
// "Text file(*.EXT)": the save dialog's file type of the text editors.
QString textFileFilter(const QString& extension);

} // namespace ledsign::fixedtext
