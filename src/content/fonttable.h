// The five card fonts: card font codes and names and the order of the font
// list of the property editor. Which font draws a name: content/fontresolver.
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign {

// Font name every unknown code or name falls back to.
QString defaultCardFontName(); // "宋体"

// Font name of a card font code (1..5); "宋体" for any other code.
QString cardFontName(int code);

// Card font code of a font name as the card text coder sends it: "宋体" 1,
// "楷体_GB2312" 2, "黑体" 3, "隶书" 4, "华文行楷" 5; any other name 1.
int cardFontCodeOfName(const QString& name);

// The fonts a styled text may name, as the card text coder knows them and
// in its code order, followed by "Arial".
QStringList textFontChoices();

// The property editor lists the fonts as: 0 custom font library, 1 SimSun,
// 2 SimHei, 3 KaiTi, 4 LiShu, 5 XingShu. The stored code is the list index with
// 2 and 3 exchanged; both directions are the same exchange.
int fontCodeFromListIndex(int index);
int fontListIndexFromCode(int code);

} // namespace ledsign
