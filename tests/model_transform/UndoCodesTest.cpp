#include "model/UndoCodes.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace model;

namespace {

struct Row {
    int button;
    char code;
    Transform recorded;
    Transform undo;
};

TEST(UndoCodes, EveryButtonHasItsLetterAndInverse)
{
    const Row table[] = {
        { 1, 'q', Transform::CopyHorizontal, Transform::KeepLeftHalf },
        { 2, 'w', Transform::CopyVertical, Transform::KeepTopHalf },
        { 3, 'e', Transform::RotateLeft, Transform::RotateRight },
        { 4, 'r', Transform::ReverseHorizontal, Transform::ReverseHorizontal },
        { 5, 't', Transform::ReverseVertical, Transform::ReverseVertical },
        { 6, 'y', Transform::RotateRight, Transform::RotateLeft },
        { 7, 'u', Transform::DoubleRows, Transform::KeepEvenRows },
        { 8, 'i', Transform::DoubleColumns, Transform::KeepEvenColumns },
        { 9, 'o', Transform::Negative, Transform::Negative },
        { 10, 'p', Transform::MirrorHorizontal, Transform::KeepLeftHalf },
        { 11, 'a', Transform::MirrorVertical, Transform::KeepTopHalf },
        { 12, 's', Transform::InsertEmptyRows, Transform::RemoveInsertedRows },
    };
    for (const Row &row : table) {
        EXPECT_EQ(JournalCodes[std::size_t(row.button - 1)], row.code);
        EXPECT_EQ(ButtonTransform(row.button), row.recorded) << row.button;
        EXPECT_EQ(UndoTransformForCode(row.code), row.undo) << row.code;
    }
}

TEST(UndoCodes, UnknownButtonsAndLettersAreRejected)
{
    EXPECT_THROW(ButtonTransform(0), std::out_of_range);
    EXPECT_THROW(ButtonTransform(13), std::out_of_range);
    for (char c : { 'Q', 'z', 'd', ' ', '\0' })
        EXPECT_EQ(UndoTransformForCode(c), std::nullopt) << int(c);
}

} // namespace
