#include "editing/propertycolumns.h"

#include <algorithm>

namespace ledsign {

int propertyLabelWidth(int widestLabel, int editorWidth, int valueMinimum)
{
    const int room = std::max(editorWidth - valueMinimum, editorWidth / 2);
    return std::max(0, std::min(widestLabel, room));
}

} // namespace ledsign
