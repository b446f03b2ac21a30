#pragma once
// Recolouring a palette slot carries its cells along.

#include "model/Pattern.h"

#include <cstddef>

namespace model {

// Every cell of oldColor gets newColor; white cells never change, so a white
// slot recolours nothing. Returns how many cells changed.
std::size_t ReplaceColor(Pattern &pattern, TColor oldColor, TColor newColor);

} // namespace model
