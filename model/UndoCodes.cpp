#include "model/UndoCodes.h"

#include <array>
#include <stdexcept>
#include <string>

namespace model {

namespace {

constexpr std::array<Transform, ButtonCount> ButtonTransforms
    = { Transform::CopyHorizontal, Transform::CopyVertical, Transform::RotateLeft, Transform::ReverseHorizontal,
          Transform::ReverseVertical, Transform::RotateRight, Transform::DoubleRows, Transform::DoubleColumns,
          Transform::Negative, Transform::MirrorHorizontal, Transform::MirrorVertical, Transform::InsertEmptyRows };

// In the order of JournalCodes.
constexpr std::array<Transform, ButtonCount> UndoTransforms
    = { Transform::KeepLeftHalf, Transform::KeepTopHalf, Transform::RotateRight, Transform::ReverseHorizontal,
          Transform::ReverseVertical, Transform::RotateLeft, Transform::KeepEvenRows, Transform::KeepEvenColumns,
          Transform::Negative, Transform::KeepLeftHalf, Transform::KeepTopHalf, Transform::RemoveInsertedRows };

static_assert(JournalCodes.size() == ButtonCount);

} // namespace

Transform ButtonTransform(int button)
{
    if (button < 1 || button > ButtonCount)
        throw std::out_of_range("no transformation button " + std::to_string(button));
    return ButtonTransforms[std::size_t(button - 1)];
}

std::optional<Transform> UndoTransformForCode(char code)
{
    const std::size_t index = JournalCodes.find(code);
    if (index == std::string_view::npos)
        return std::nullopt;
    return UndoTransforms[index];
}

} // namespace model
