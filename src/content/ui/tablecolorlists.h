// Colour lists of the table editor with their swatches: the eight background
// colours and the seven card colours (line and font colours).
#pragma once

class QComboBox;

namespace ledsign {

void fillBackgroundColorList(QComboBox* box);
void fillCardColorList(QComboBox* box);
void fillLineWidthList(QComboBox* box);

} // namespace ledsign
