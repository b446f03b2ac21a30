#include "Patterns.h"
#include "model/Transformations.h"

#include <gtest/gtest.h>

using namespace model;
using testing_patterns::fromRows;
using testing_patterns::numbered;

namespace {

constexpr TColor A = 0xA, B = 0xB, C = 0xC, D = 0xD, W = White;

struct Case {
    Transform transform;
    const char *name;
    std::vector<std::vector<TColor>> before;
    std::vector<std::vector<TColor>> after;
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

class Mapping : public ::testing::TestWithParam<Case> { };

TEST_P(Mapping, GivesTheHandWorkedResult)
{
    const Case &c = GetParam();
    EXPECT_EQ(Apply(c.transform, fromRows(c.before)), fromRows(c.after));
}

// Rows R0..R3 drawn as two stitches each.
const std::vector<TColor> R0 = { 1, 2 }, R1 = { 3, 4 }, R2 = { 5, 6 }, R3 = { 7, 8 }, R4 = { 9, 10 }, E = { W, W };

INSTANTIATE_TEST_SUITE_P(HandWorked, Mapping,
    ::testing::Values(Case { Transform::CopyHorizontal, "CopyHorizontal", { { A, B, C } }, { { A, B, C, A, B, C } } },
        Case { Transform::MirrorHorizontal, "MirrorHorizontal", { { A, B, C } }, { { A, B, C, C, B, A } } },
        Case { Transform::DoubleColumns, "DoubleColumns", { { A, B, C } }, { { A, A, B, B, C, C } } },
        Case { Transform::ReverseHorizontal, "ReverseHorizontal", { { A, B, C } }, { { C, B, A } } },
        Case { Transform::CopyVertical, "CopyVertical", { { A }, { B }, { C } },
            { { A }, { B }, { C }, { A }, { B }, { C } } },
        Case { Transform::MirrorVertical, "MirrorVertical", { { A }, { B }, { C } },
            { { A }, { B }, { C }, { C }, { B }, { A } } },
        Case { Transform::DoubleRows, "DoubleRows", { { A }, { B }, { C } },
            { { A }, { A }, { B }, { B }, { C }, { C } } },
        Case { Transform::ReverseVertical, "ReverseVertical", { { A, B }, { C, D } }, { { C, D }, { A, B } } },
        Case { Transform::Negative, "Negative", { { 0x00123456, White, Black, 0xFF000000 } },
            { { 0x00EDCBA9, Black, White, 0x01FFFFFF } } },
        Case { Transform::CopyHorizontal, "CopyHorizontal1x1", { { A } }, { { A, A } } },
        Case { Transform::MirrorHorizontal, "MirrorHorizontal1x1", { { A } }, { { A, A } } },
        Case { Transform::DoubleColumns, "DoubleColumns1x1", { { A } }, { { A, A } } },
        Case { Transform::CopyVertical, "CopyVertical1x1", { { A } }, { { A }, { A } } },
        Case { Transform::MirrorVertical, "MirrorVertical1x1", { { A } }, { { A }, { A } } },
        Case { Transform::DoubleRows, "DoubleRows1x1", { { A } }, { { A }, { A } } },
        Case { Transform::InsertEmptyRows, "InsertEmptyRows", { R0, R1, R2, R3 }, { R0, R1, E, E, R2, R3, E, E } },
        Case {
            Transform::RemoveInsertedRows, "RemoveInsertedRows", { R0, R1, E, E, R2, R3, E, E }, { R0, R1, R2, R3 } },
        // Odd height: the partner of the last row and the last new row are white.
        Case { Transform::InsertEmptyRows, "InsertEmptyRowsOdd", { R0, R1, R2 }, { R0, R1, E, E, R2, E } },
        Case { Transform::InsertEmptyRows, "InsertEmptyRows1Row", { R0 }, { R0, E } },
        // An odd result height takes only the first row of the last group.
        Case { Transform::RemoveInsertedRows, "RemoveInsertedRowsOddHalf", { R0, R1, R2, R3, R4, E }, { R0, R1, R4 } },
        Case { Transform::RemoveInsertedRows, "RemoveInsertedRows7", { R0, R1, R2, R3, R4, E, R0 }, { R0, R1, R4 } },
        Case { Transform::KeepTopHalf, "KeepTopHalfOdd", { R0, R1, R2, R3, R4 }, { R0, R1 } },
        Case { Transform::KeepEvenRows, "KeepEvenRowsOdd", { R0, R1, R2, R3, R4 }, { R0, R2 } },
        Case {
            Transform::KeepLeftHalf, "KeepLeftHalfEven", { { 1, 2, 3, 4 }, { 5, 6, 7, 8 } }, { { 1, 2 }, { 5, 6 } } },
        // Odd width: rows are read at a stride of W - 1.
        Case { Transform::KeepLeftHalf, "KeepLeftHalfOdd",
            { { 0, 1, 2, 3, 4 }, { 5, 6, 7, 8, 9 }, { 10, 11, 12, 13, 14 } }, { { 0, 1 }, { 4, 5 }, { 8, 9 } } },
        Case { Transform::KeepEvenColumns, "KeepEvenColumnsEven", { { 1, 2, 3, 4 }, { 5, 6, 7, 8 } },
            { { 1, 3 }, { 5, 7 } } },
        // Odd width: every second cell of the whole array, across row ends.
        Case { Transform::KeepEvenColumns, "KeepEvenColumnsOdd", { { 0, 1, 2, 3, 4 }, { 5, 6, 7, 8, 9 } },
            { { 0, 2 }, { 4, 6 } } },
        Case { Transform::RotateLeft, "RotateLeft5x3",
            { { 0, 1, 2, 3, 4 }, { 10, 11, 12, 13, 14 }, { 20, 21, 22, 23, 24 } },
            { { 4, 14, 24 }, { 3, 13, 23 }, { 2, 12, 22 }, { 1, 11, 21 }, { 0, 10, 20 } } },
        Case { Transform::RotateRight, "RotateRight5x3",
            { { 0, 1, 2, 3, 4 }, { 10, 11, 12, 13, 14 }, { 20, 21, 22, 23, 24 } },
            { { 20, 10, 0 }, { 21, 11, 1 }, { 22, 12, 2 }, { 23, 13, 3 }, { 24, 14, 4 } } }),
    [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

TEST(Mapping, FourLeftTurnsGiveBackTheStart)
{
    for (auto [w, h] : { std::pair { 5, 3 }, { 1, 7 }, { 70, 130 } }) {
        const Pattern start = numbered(w, h);
        Pattern p = start;
        for (int i = 0; i < 4; ++i)
            p = RotateLeft(p);
        EXPECT_EQ(p, start) << w << " x " << h;
    }
}

TEST(Mapping, CellsPaintedInTheKeptHalfSurviveTheUndo)
{
    const Pattern start = numbered(4, 3);
    Pattern copied = CopyHorizontal(start);
    copied.at(1, 2) = A; // left half: kept
    copied.at(6, 0) = B; // right half: dropped
    Pattern expected = start;
    expected.at(1, 2) = A;
    EXPECT_EQ(KeepLeftHalf(copied), expected);

    Pattern stacked = CopyVertical(start);
    stacked.at(3, 0) = C;
    stacked.at(3, 4) = D;
    expected = start;
    expected.at(3, 0) = C;
    EXPECT_EQ(KeepTopHalf(stacked), expected);
}

TEST(Mapping, NamedFunctionsRefuseCellsThatDoNotMatchTheCounts)
{
    Pattern p = numbered(3, 2);
    p.Cells.pop_back();
    EXPECT_THROW(RotateLeft(p), std::invalid_argument);
    Pattern none;
    none.StitchCount = 3;
    none.RowCount = 2;
    EXPECT_THROW(Apply(Transform::KeepEvenColumns, none), std::invalid_argument);
    EXPECT_THROW(KeepTopHalf(numbered(3, 1)), std::length_error);
}

} // namespace
