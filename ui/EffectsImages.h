#pragma once
// The twelve pictures of the transformations tool window, drawn for this
// program: a small two-colour motif, an arrow, and the motif as the button's
// operation leaves it.

#include <QPixmap>

inline constexpr int EffectsImageWidth = 26;
inline constexpr int EffectsImageHeight = 16;

// `button` is 1..12, in the tool window's order.
QPixmap effectsButtonPixmap(int button);
