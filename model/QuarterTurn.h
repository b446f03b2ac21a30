#pragma once
// Quarter turns of a cell grid: the one inner loop of both rotations, where
// almost all of their time goes on the largest patterns.

#include "model/Pattern.h"

#include <cstddef>

namespace model {

enum class Turn { Left, Right };

// Writes the w x h grid src turned a quarter into dst, which is h wide and w
// high: left puts old (s, r) at new (r, w - 1 - s), right at (h - 1 - r, s).
void quarterTurn(const TColor *src, std::size_t w, std::size_t h, Turn turn, TColor *dst);

} // namespace model
