#include "model/Recolour.h"

namespace model {

std::size_t ReplaceColor(Pattern &pattern, TColor oldColor, TColor newColor)
{
    if (oldColor == White)
        return 0;
    std::size_t changed = 0;
    for (TColor &cell : pattern.Cells) {
        if (cell == oldColor) {
            cell = newColor;
            ++changed;
        }
    }
    return changed;
}

} // namespace model
