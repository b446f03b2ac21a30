// The yarn list bytes: text-mode line ends inside names and colours, the
// reader's line limit, cut-off files, and the file itself.
#include "support/FileSupport.h"

#include "model/YarnList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <tuple>

using model::Yarn;
using model::YarnList;

namespace {

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int value : values)
        out += char(value);
    return out;
}

} // namespace

TEST(YarnListBytes, RecordsAreStoredExactly)
{
    const std::string cyrillic = bytes({ 0xD8, 0xE5, 0xF0, 0xF1, 0xF2, 0xFC }); // "Шерсть" in Windows-1251
    const struct {
        const char *what;
        Yarn yarn;
        std::string stored;
    } cases[] = {
        { "ordinary red", { "Red", 0x000000FF }, "Red" + bytes({ 0, 0x0D, 0x0A, 0xFF, 0, 0, 0 }) },
        { "blue byte 10", { "abc", 0x000A0B0C }, "abc" + bytes({ 0, 0x0D, 0x0A, 0x0C, 0x0B, 0x0D, 0x0A, 0 }) },
        { "green 10", { "g", 0x00000A00 }, "g" + bytes({ 0, 0x0D, 0x0A, 0, 0x0D, 0x0A, 0, 0 }) },
        { "every byte 10", { "x", 0x0A0A0A0A },
            "x" + bytes({ 0, 0x0D, 0x0A, 0x0D, 0x0A, 0x0D, 0x0A, 0x0D, 0x0A, 0x0D, 0x0A }) },
        { "Cyrillic name", { cyrillic, 0x00123456 }, cyrillic + bytes({ 0, 0x0D, 0x0A, 0x56, 0x34, 0x12, 0 }) },
        { "empty name", { "", 0x00FFFFFF }, bytes({ 0, 0x0D, 0x0A, 0xFF, 0xFF, 0xFF, 0 }) },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(model::EncodeYarnList({ c.yarn }), c.stored) << c.what;
        EXPECT_EQ(model::DecodeYarnList(c.stored), YarnList { c.yarn }) << c.what;
    }
}

TEST(YarnListBytes, EmptyListIsEmptyFile)
{
    EXPECT_EQ(model::EncodeYarnList({}), "");
    EXPECT_TRUE(model::DecodeYarnList("").empty());
}

TEST(YarnListBytes, LoneCarriageReturnAndEndOfTextReadAsThemselves)
{
    // Name "a", 0x1A, 0x0D, "b"; colour bytes 0x0D 0x1A 0x0D then 0x0D 0x0A for 0x0A.
    const std::string stored = "a\x1A\rb" + bytes({ 0, 0x0D, 0x0A, 0x0D, 0x1A, 0x0D, 0x0D, 0x0A });
    const YarnList read = model::DecodeYarnList(stored);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].Name, "a\x1A\rb");
    EXPECT_EQ(read[0].Color, 0x0A0D1A0Du);
}

TEST(YarnListBytes, RecordCutShortAtTheEndIsDropped)
{
    const YarnList yarns = { { "first", 0x000A0A0A }, { "second", 0x00010203 } };
    const std::string stored = model::EncodeYarnList(yarns);
    for (std::size_t cut = 1; cut <= 4 + std::string("second").size() + 3; ++cut) {
        const YarnList read = model::DecodeYarnList(std::string_view(stored).substr(0, stored.size() - cut));
        EXPECT_EQ(read, YarnList { yarns[0] }) << "cut " << cut;
    }
}

TEST(YarnListBytes, NameLineLimitKeepsLaterRecordsInStep)
{
    const Yarn after { "after", 0x000A0B0C };
    const struct {
        std::size_t length;
        std::size_t kept;
    } cases[] = {
        { 47, 47 }, // name, 0x00 and line feed make exactly the 49 bytes read
        { 48, 48 }, // the line feed falls outside; the name is still whole
        { 49, 49 },
        { 60, 49 },
        { 300, 49 },
    };
    for (const auto &c : cases) {
        const std::string name(c.length, 'n');
        const YarnList read = model::DecodeYarnList(model::EncodeYarnList({ { name, 0x00332211 }, after }));
        ASSERT_EQ(read.size(), 2u) << c.length;
        EXPECT_EQ(read[0].Name, name.substr(0, c.kept)) << c.length;
        EXPECT_EQ(read[0].Color, 0x00332211u) << c.length;
        EXPECT_EQ(read[1], after) << c.length;
    }
}

TEST(YarnListBytes, RandomListsSurviveTheRoundTrip)
{
    std::mt19937 random(20240611);
    // Line-end bytes are favoured: they are where the format can go wrong.
    const auto randomByte = [&random]() -> unsigned {
        switch (random() % 4) {
        case 0:
            return 0x0A;
        case 1:
            return 0x0D;
        default:
            return random() % 256;
        }
    };
    for (int round = 0; round < 300; ++round) {
        YarnList yarns(random() % 8);
        for (Yarn &yarn : yarns) {
            const std::size_t length = random() % (model::YarnLineLimit - 1);
            while (yarn.Name.size() < length) {
                const unsigned byte = randomByte();
                if (byte != 0x00 && byte != 0x0A)
                    yarn.Name += char(byte);
            }
            yarn.Color = randomByte() | randomByte() << 8 | randomByte() << 16 | randomByte() << 24;
        }
        ASSERT_EQ(model::DecodeYarnList(model::EncodeYarnList(yarns)), yarns) << "round " << round;
    }
}

class YarnListFile : public ::testing::Test {
protected:
    ScratchFolder folder;
    const std::string fileName = folder.file("Popupfile");
};

TEST_F(YarnListFile, MissingFileIsAnEmptyList)
{
    const auto read = model::ReadYarnListFile(fileName);
    EXPECT_TRUE(read.ok());
    EXPECT_TRUE(read.value().empty());
}

TEST_F(YarnListFile, WrittenListReadsBack)
{
    const YarnList yarns = { { "one", 0x000A0B0C }, { "two", 0x00FFFFFF } };
    ASSERT_TRUE(model::WriteYarnListFile(fileName, yarns).ok());
    EXPECT_EQ(readBytes(fileName), model::EncodeYarnList(yarns));
    EXPECT_EQ(model::ReadYarnListFile(fileName).value(), yarns);

    ASSERT_TRUE(model::WriteYarnListFile(fileName, {}).ok());
    EXPECT_TRUE(std::filesystem::exists(fileName));
    EXPECT_EQ(std::filesystem::file_size(fileName), 0u);
}

TEST_F(YarnListFile, ListOverOneMebibyteOrTenThousandYarnsIsRefused)
{
    const std::string tail(1 << 20, 'x'); // bytes that make no record
    const std::tuple<std::size_t, std::size_t, bool> cases[] = { // yarns, file size, read
        { 10000, 0, true }, { 10001, 0, false }, { 1, 1 << 20, true }, { 1, (1 << 20) + 1, false }
    };
    for (const auto &[count, size, read] : cases) {
        std::string bytes = model::EncodeYarnList(YarnList(count, { "y", 0x00010203 }));
        if (size)
            bytes += tail.substr(0, size - bytes.size());
        writeBytes(fileName, bytes);
        const auto result = model::ReadYarnListFile(fileName);
        EXPECT_EQ(result.ok(), read) << count << " " << size;
        if (read)
            EXPECT_EQ(result.value().size(), count) << count << " " << size;
        else
            EXPECT_EQ(result.failure().kind, model::Failure::Kind::FileTooLarge) << count << " " << size;
    }
}

TEST_F(YarnListFile, ChangesByTwoCopiesAtOnceAreAllKept)
{
    ASSERT_TRUE(model::WriteYarnListFile(fileName, { { "alpha", 1 } }).ok());
    const auto yarnOf = [](int copy, int n) { return Yarn { char('a' + copy) + std::to_string(n), model::TColor(n) }; };
    // Each copy adds twenty yarns of its own, then deletes the even ones.
    ASSERT_TRUE(runTogether(2, [&](int copy) {
        bool ok = true;
        for (int change = 0; change < 30 && ok; ++change) {
            ok = model::UpdateYarnListFile(fileName, [&](YarnList &yarns) {
                if (change < 20)
                    yarns.push_back(yarnOf(copy, change));
                else
                    model::RemoveYarn(yarns, 0, yarnOf(copy, 2 * (change - 20)));
            }).ok();
        }
        return ok;
    }));
    std::multiset<std::string> kept, expected { "alpha" };
    const YarnList yarns = model::ReadYarnListFile(fileName).value();
    for (const Yarn &yarn : yarns)
        kept.insert(yarn.Name);
    for (int odd = 1; odd < 20; odd += 2)
        expected.insert({ yarnOf(0, odd).Name, yarnOf(1, odd).Name });
    EXPECT_EQ(kept, expected);
}
