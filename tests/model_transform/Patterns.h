#pragma once
// Small pattern builders shared by the transformation and resize tests.

#include "model/Pattern.h"

#include <cstdint>
#include <random>
#include <vector>

namespace testing_patterns {

inline model::Pattern fromRows(const std::vector<std::vector<model::TColor>> &rows)
{
    model::Pattern p;
    p.RowCount = std::int32_t(rows.size());
    p.StitchCount = std::int32_t(rows.front().size());
    for (const auto &row : rows)
        p.Cells.insert(p.Cells.end(), row.begin(), row.end());
    return p;
}

// Cell (s, r) holds 1 + s + 1000·r: distinct, never white, readable in failures.
inline model::Pattern numbered(std::int32_t w, std::int32_t h)
{
    model::Pattern p;
    model::CreateBlank(p, w, h);
    for (std::int32_t r = 0; r < h; ++r)
        for (std::int32_t s = 0; s < w; ++s)
            p.at(s, r) = model::TColor(1 + s + 1000 * r);
    return p;
}

inline model::Pattern random(std::int32_t w, std::int32_t h, std::mt19937 &rng)
{
    model::Pattern p;
    model::CreateBlank(p, w, h);
    std::uniform_int_distribution<model::TColor> colour(0, model::White);
    for (model::TColor &c : p.Cells)
        c = colour(rng);
    return p;
}

} // namespace testing_patterns
