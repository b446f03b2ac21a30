// The fast operations against a slow, cell-by-cell reading of the mapping
// formulas, on seeded random patterns of many shapes.

#include "Patterns.h"
#include "model/Transformations.h"
#include "model/UndoCodes.h"

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace model;

namespace {

constexpr TColor Unset = 0xDEADBEEF; // outside the random colour range

struct Reference {
    const Pattern &old;
    Pattern result;
    std::int64_t W = old.StitchCount, H = old.RowCount;

    Reference(const Pattern &o, std::int64_t newW, std::int64_t newH)
        : old(o)
    {
        result.StitchCount = std::int32_t(newW);
        result.RowCount = std::int32_t(newH);
        result.Cells.assign(std::size_t(newW * newH), Unset);
    }
    TColor get(std::int64_t s, std::int64_t r) const { return old.Cells.at(std::size_t(s + r * W)); }
    void set(std::int64_t s, std::int64_t r, TColor c)
    {
        if (s < 0 || s >= result.StitchCount || r < 0 || r >= result.RowCount)
            throw std::out_of_range("reference wrote outside the result");
        result.at(std::int32_t(s), std::int32_t(r)) = c;
    }
    // For each old cell (s, r): scatter it by `rule`.
    template <typename Rule> void scatter(Rule rule)
    {
        for (std::int64_t r = 0; r < H; ++r)
            for (std::int64_t s = 0; s < W; ++s)
                rule(s, r, get(s, r));
    }
};

Pattern reference(Transform t, const Pattern &old)
{
    const std::int64_t W = old.StitchCount, H = old.RowCount;
    switch (t) {
    case Transform::CopyHorizontal: {
        Reference ref(old, 2 * W, H);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(s, r, c), ref.set(s + W, r, c); });
        return ref.result;
    }
    case Transform::CopyVertical: {
        Reference ref(old, W, 2 * H);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(s, r, c), ref.set(s, r + H, c); });
        return ref.result;
    }
    case Transform::RotateLeft: {
        Reference ref(old, H, W);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(r, W - 1 - s, c); });
        return ref.result;
    }
    case Transform::RotateRight: {
        Reference ref(old, H, W);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(H - 1 - r, s, c); });
        return ref.result;
    }
    case Transform::ReverseHorizontal: {
        Reference ref(old, W, H);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(W - 1 - s, r, c); });
        return ref.result;
    }
    case Transform::ReverseVertical: {
        Reference ref(old, W, H);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(s, H - 1 - r, c); });
        return ref.result;
    }
    case Transform::DoubleRows: {
        Reference ref(old, W, 2 * H);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(s, 2 * r, c), ref.set(s, 2 * r + 1, c); });
        return ref.result;
    }
    case Transform::DoubleColumns: {
        Reference ref(old, 2 * W, H);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(2 * s, r, c), ref.set(2 * s + 1, r, c); });
        return ref.result;
    }
    case Transform::Negative: {
        Reference ref(old, W, H);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(s, r, std::uint32_t(0x00FFFFFF) - c); });
        return ref.result;
    }
    case Transform::MirrorHorizontal: {
        Reference ref(old, 2 * W, H);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(s, r, c), ref.set(2 * W - 1 - s, r, c); });
        return ref.result;
    }
    case Transform::MirrorVertical: {
        Reference ref(old, W, 2 * H);
        ref.scatter([&](auto s, auto r, TColor c) { ref.set(s, r, c), ref.set(s, 2 * H - 1 - r, c); });
        return ref.result;
    }
    case Transform::InsertEmptyRows: {
        Reference ref(old, W, 2 * H);
        for (std::int64_t k = 0; 2 * k < H; ++k)
            for (std::int64_t s = 0; s < W; ++s) {
                ref.set(s, 4 * k, ref.get(s, 2 * k));
                ref.set(s, 4 * k + 1, 2 * k + 1 < H ? ref.get(s, 2 * k + 1) : White);
                if (4 * k + 2 < 2 * H)
                    ref.set(s, 4 * k + 2, White), ref.set(s, 4 * k + 3, White);
            }
        return ref.result;
    }
    case Transform::KeepLeftHalf: {
        Reference ref(old, W / 2, H);
        for (std::int64_t r = 0; r < H; ++r)
            for (std::int64_t s = 0; s < W / 2; ++s)
                ref.set(s, r, old.Cells.at(std::size_t(2 * (W / 2) * r + s)));
        return ref.result;
    }
    case Transform::KeepTopHalf: {
        Reference ref(old, W, H / 2);
        ref.scatter([&](auto s, auto r, TColor c) {
            if (r < H / 2)
                ref.set(s, r, c);
        });
        return ref.result;
    }
    case Transform::KeepEvenRows: {
        Reference ref(old, W, H / 2);
        for (std::int64_t r = 0; r < H / 2; ++r)
            for (std::int64_t s = 0; s < W; ++s)
                ref.set(s, r, ref.get(s, 2 * r));
        return ref.result;
    }
    case Transform::KeepEvenColumns: {
        Reference ref(old, W / 2, H);
        for (std::size_t i = 0; i < ref.result.Cells.size(); ++i)
            ref.result.Cells[i] = old.Cells.at(2 * i);
        return ref.result;
    }
    case Transform::RemoveInsertedRows: {
        Reference ref(old, W, H / 2);
        for (std::int64_t k = 0; 2 * k < H / 2; ++k)
            for (std::int64_t s = 0; s < W; ++s) {
                ref.set(s, 2 * k, ref.get(s, 4 * k));
                if (2 * k + 1 < H / 2)
                    ref.set(s, 2 * k + 1, ref.get(s, 4 * k + 1));
            }
        return ref.result;
    }
    }
    throw std::invalid_argument("unknown transform");
}

// Tile-edge widths and heights, odd and even, and single lines.
const std::vector<std::int32_t> Sides = { 1, 2, 3, 4, 5, 7, 16, 17, 63, 64, 65, 66, 127, 130 };

TEST(Reference, EveryOperationMatchesTheFormulasOnRandomPatterns)
{
    std::mt19937 rng(20240611);
    std::vector<std::pair<std::int32_t, std::int32_t>> shapes = { { 1, 300 }, { 300, 1 }, { 129, 200 }, { 200, 129 } };
    for (std::int32_t w : Sides)
        for (std::int32_t h : Sides)
            shapes.emplace_back(w, h);
    for (auto [w, h] : shapes) {
        const Pattern old = testing_patterns::random(w, h, rng);
        for (int i = 0; i < TransformCount; ++i) {
            const auto t = Transform(i);
            const Counts counts = ResultCounts(t, w, h);
            if (counts.StitchCount == 0 || counts.RowCount == 0)
                continue;
            const Pattern expected = reference(t, old);
            ASSERT_EQ(std::count(expected.Cells.begin(), expected.Cells.end(), Unset), 0)
                << "reference left cells unset, transform " << i << " on " << w << " x " << h;
            ASSERT_EQ(Apply(t, old), expected) << "transform " << i << " on " << w << " x " << h;
            ASSERT_EQ(counts, (Counts { expected.StitchCount, expected.RowCount }));
        }
    }
}

// Large results on memory of their own are written past the cache, a whole line at a time.
TEST(Reference, QuarterTurnsOfLargePatternsMatchTheFormulas)
{
    std::mt19937 rng(11);
    // Short rows go in bands of several tiles: a last band of one tile, a
    // last column that is not a whole tile, and no whole tile at all.
    for (auto [w, h] : { std::pair { 4096, 2048 }, { 2048, 4112 }, { 1027, 2050 }, { 250, 33616 }, { 8, 1048576 } }) {
        const Pattern old = testing_patterns::random(w, h, rng);
        for (const Transform t : { Transform::RotateLeft, Transform::RotateRight })
            ASSERT_EQ(Apply(t, old), reference(t, old)) << int(t) << " on " << w << " x " << h;
    }
}

// Undoing a button's operation gives back the pattern for every shape (code s
// included: the white row chosen for odd heights keeps it exact there too).
TEST(Reference, EachButtonIsUndoneExactlyByItsJournalInverse)
{
    std::mt19937 rng(7);
    for (std::int32_t w : { 1, 2, 3, 64, 65 })
        for (std::int32_t h : { 1, 2, 3, 5, 64, 67 }) {
            const Pattern start = testing_patterns::random(w, h, rng);
            for (int button = 1; button <= ButtonCount; ++button) {
                const Pattern done = Apply(ButtonTransform(button), start);
                const auto inverse = UndoTransformForCode(JournalCodes[std::size_t(button - 1)]);
                ASSERT_TRUE(inverse.has_value());
                EXPECT_EQ(Apply(*inverse, done), start) << "button " << button << " on " << w << " x " << h;
            }
        }
}

} // namespace
