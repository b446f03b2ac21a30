#pragma once
// The one-letter codes the undo journal records for the twelve buttons, and
// the inverse the undo step runs for each.

#include "model/Transformations.h"

#include <optional>
#include <string_view>

namespace model {

// Button n (1..12) records JournalCodes[n - 1].
inline constexpr std::string_view JournalCodes = "qwertyuiopas";
inline constexpr int ButtonCount = 12;

// 1..12 -> CopyHorizontal..InsertEmptyRows; throws std::out_of_range otherwise.
Transform ButtonTransform(int button);

// The inverse for a journal code; nullopt for any other character.
std::optional<Transform> UndoTransformForCode(char code);

} // namespace model
