#include "Patterns.h"
#include "model/Limits.h"
#include "model/Transformations.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <new>

using namespace model;

// Allocations of at least this many bytes fail, so a test can make building a
// result run out of memory. Replacing the global operators covers CellArray.
static std::size_t g_failAllocationsFrom = std::numeric_limits<std::size_t>::max();

static void *allocate(std::size_t size)
{
    if (size >= g_failAllocationsFrom)
        return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void *operator new(std::size_t size)
{
    if (void *p = allocate(size))
        return p;
    throw std::bad_alloc();
}
void *operator new[](std::size_t size)
{
    return operator new(size);
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return allocate(size);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return allocate(size);
}
void operator delete(void *p) noexcept
{
    std::free(p);
}
void operator delete[](void *p) noexcept
{
    std::free(p);
}
void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void *p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}
void operator delete[](void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}

namespace {

TEST(TransformPattern, DoneReplacesThePatternByTheOperationsResult)
{
    for (int i = 0; i < TransformCount; ++i) {
        const auto t = Transform(i);
        Pattern p = testing_patterns::numbered(6, 4);
        const Pattern expected = Apply(t, p);
        EXPECT_TRUE(TransformPattern(t, p).ok()) << i;
        EXPECT_EQ(p, expected) << i;
    }
}

struct Refusal {
    Transform transform;
    std::int32_t w, h;
    Failure::Kind kind;
    Counts result;
};

TEST(TransformPattern, RefusalsLeaveThePatternExactlyAsItWas)
{
    const std::int32_t Max = std::int32_t(MaxCount);
    const Refusal refusals[] = {
        { Transform::CopyHorizontal, Max, 1, Failure::Kind::TooLarge, { 2 * MaxCount, 1 } },
        { Transform::MirrorHorizontal, Max, 1, Failure::Kind::TooLarge, { 2 * MaxCount, 1 } },
        { Transform::DoubleColumns, Max, 1, Failure::Kind::TooLarge, { 2 * MaxCount, 1 } },
        { Transform::CopyVertical, 1, Max, Failure::Kind::TooLarge, { 1, 2 * MaxCount } },
        { Transform::MirrorVertical, 1, Max, Failure::Kind::TooLarge, { 1, 2 * MaxCount } },
        { Transform::DoubleRows, 1, Max, Failure::Kind::TooLarge, { 1, 2 * MaxCount } },
        { Transform::InsertEmptyRows, 1, Max, Failure::Kind::TooLarge, { 1, 2 * MaxCount } },
        { Transform::KeepLeftHalf, 1, 5, Failure::Kind::EmptyResult, { 0, 5 } },
        { Transform::KeepEvenColumns, 1, 5, Failure::Kind::EmptyResult, { 0, 5 } },
        { Transform::KeepTopHalf, 5, 1, Failure::Kind::EmptyResult, { 5, 0 } },
        { Transform::KeepEvenRows, 5, 1, Failure::Kind::EmptyResult, { 5, 0 } },
        { Transform::RemoveInsertedRows, 5, 1, Failure::Kind::EmptyResult, { 5, 0 } },
    };
    for (const Refusal &refusal : refusals) {
        Pattern p;
        CreateBlank(p, refusal.w, refusal.h);
        p.Cells.front() = 1;
        p.Cells.back() = 2;
        const Pattern before = p;
        const Outcome<> outcome = TransformPattern(refusal.transform, p);
        ASSERT_FALSE(outcome.ok()) << int(refusal.transform);
        EXPECT_EQ(outcome.failure().kind, refusal.kind) << int(refusal.transform);
        EXPECT_EQ((Counts { outcome.failure().stitchCount, outcome.failure().rowCount }), refusal.result)
            << int(refusal.transform);
        EXPECT_EQ(p, before) << int(refusal.transform);
    }
}

TEST(TransformPattern, WithoutCellsNothingHappens)
{
    Pattern p;
    CreateBlank(p, 3, 2);
    Discard(p);
    for (int i = 0; i < TransformCount; ++i) {
        const Outcome<> outcome = TransformPattern(Transform(i), p);
        ASSERT_FALSE(outcome.ok());
        EXPECT_EQ(outcome.failure().kind, Failure::Kind::NoPattern);
        EXPECT_FALSE(p.exists());
        EXPECT_EQ(p.StitchCount, 3);
        EXPECT_EQ(p.RowCount, 2);
    }
}

TEST(TransformPattern, OutOfMemoryLeavesThePatternWhole)
{
    // Building a 512 x 512 result needs 1 MiB; the pattern itself already exists.
    Pattern p = testing_patterns::numbered(512, 512);
    const Pattern before = p;
    g_failAllocationsFrom = 512 * 1024;
    const Outcome<> rotated = TransformPattern(Transform::RotateLeft, p);
    const Outcome<> copied = TransformPattern(Transform::CopyVertical, p);
    // Negative works in place and needs nothing.
    const Outcome<> negated = TransformPattern(Transform::Negative, p);
    g_failAllocationsFrom = std::numeric_limits<std::size_t>::max();

    for (const Outcome<> *refused : { &rotated, &copied }) {
        ASSERT_FALSE(refused->ok());
        EXPECT_EQ(refused->failure().kind, Failure::Kind::OutOfMemory);
    }
    EXPECT_TRUE(negated.ok());
    EXPECT_EQ(p, Negative(before));
}

TEST(TransformPattern, ResultCountsDoNotOverflow)
{
    const std::int32_t big = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(ResultCounts(Transform::CopyHorizontal, big, 3), (Counts { 2 * std::int64_t(big), 3 }));
    EXPECT_EQ(ResultCounts(Transform::InsertEmptyRows, 3, big), (Counts { 3, 2 * std::int64_t(big) }));
    EXPECT_EQ(ResultCounts(Transform::RotateRight, 7, big), (Counts { big, 7 }));
    EXPECT_EQ(ResultCounts(Transform::KeepEvenColumns, 7, 3), (Counts { 3, 3 }));
    EXPECT_EQ(ResultCounts(Transform::RemoveInsertedRows, 7, 3), (Counts { 7, 1 }));
}

} // namespace
