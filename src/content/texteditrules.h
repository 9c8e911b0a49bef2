// Rules of the text editors that do not need a window: the internal-code
// text (pasting, joining and the 1024-byte limit) and the space typed at the
// start of a wrapped line of the rich-text editor.
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign {

inline constexpr int kInternalCodeMaxBytes = 1024;

// Clipboard text pasted into the internal-code editor: every TAB and every
// line break (CR LF, LF or CR) becomes two spaces.
QString internalCodePasteText(const QString& clipboard);

// The memo's lines joined without a separator and cut to 1024 stored bytes;
// a double-byte character that would straddle the limit is left out whole.
QString internalCodeContent(const QStringList& lines);

// What a space typed in the rich-text editor does.
enum class LineStartSpace {
    Plain,          // insert the space
    BreakThenSpace, // end the line with a line break, then the space
    ReplaceThenSpace, // the blank that ended the previous line becomes the break
};

// atLineStart: the caret is at the start of a wrapped (visual) line that is
// not the first line of its paragraph; previous: the character before it.
// A blank before the caret is replaced by the break; any other character is
// kept, so that typing a space never deletes a letter.
LineStartSpace lineStartSpaceAction(bool atWrappedLineStart, QChar previous);

// Line spacing and Y offset boxes: the typed integer, 0 when it is not one.
int integerOrZero(const QString& text);

// Width of the rich-text editor's text area for a region: the region's width
// in LED pixels + 20, at every canvas zoom, so that the editor's lines break
// where the card's lines do.
int textAreaWidth(int regionWidth);
// The editor window is widened to region width + 13 when region width + 3
// reaches its standard width of 641.
int textEditorWindowWidth(int regionWidth, int standardWidth = 641);

} // namespace ledsign
