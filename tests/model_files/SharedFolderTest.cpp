// Saves by two copies at once, backups, read limits, and shared (sticky) folders.
#include "support/FileSupport.h"

#include "model/BitmapFile.h"
#include "model/PatternFile.h"
#include "model/YarnList.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <sys/stat.h>
#include <thread>

using namespace model;

namespace {

Pattern patternOf(TColor colour)
{
    Pattern pattern;
    CreateBlank(pattern, 4, 3);
    std::fill(pattern.Cells.begin(), pattern.Cells.end(), colour);
    return pattern;
}

Outcome<> exportBitmap(const std::string &name)
{
    static const Pixel pixel = 0xFFFFFFFFu;
    return WriteBitmapFile(name, { 1, 1, {}, [](std::int32_t) -> const void * { return &pixel; } });
}

template <typename T> int errorOf(const Outcome<T> &outcome)
{
    return outcome.ok() ? 0 : outcome.failure().error;
}

} // namespace

TEST(SharedFolder, OverlappingSavesOfOnePatternKeepEachPairTogether)
{
    ScratchFolder folder;
    const std::string name = folder.file("motif.plw");
    // A pause after each rename makes any overlap of two saves show.
    FileSystemCalls slowRenames = FileSystemCalls::system();
    slowRenames.rename = [](const char *from, const char *to) {
        const int renamed = ::rename(from, to);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return renamed;
    };
    for (int round = 0; round < 10; ++round) {
        ASSERT_TRUE(runTogether(2, [&](int copy) {
            return SavePatternFile(name, patternOf(TColor(copy)), WhitePalette(), std::to_string(copy), slowRenames).ok();
        }));
        EXPECT_EQ(std::to_string(LoadPatternFile(name).value().pattern.Cells[0]), readBytes(NotesFileName(name)));
    }
}

TEST(SharedFolder, ReplacedFilesAreKeptOnceAndABlockedBackupStopsTheSave)
{
    for (const std::string blocked : { "", "motif.plw~", "motif.plw.txt~", "picture.bmp~" }) {
        ScratchFolder folder;
        const std::string files[] = { "motif.plw", "motif.plw.txt", "picture.bmp" };
        for (const std::string &file : files)
            writeBytes(folder.file(file + "~"), "older " + file); // replaced by the next backup
        for (const std::string &file : files)
            writeBytes(folder.file(file), "old " + file);
        if (!blocked.empty()) {
            fs::remove(folder.file(blocked));
            fs::create_directory(folder.file(blocked));
        }
        const bool pictureStopped = blocked == "picture.bmp~", patternStopped = !blocked.empty() && !pictureStopped;
        EXPECT_EQ(SavePatternFile(folder.file("motif.plw"), patternOf(4), WhitePalette(), "new").ok(), !patternStopped);
        EXPECT_EQ(exportBitmap(folder.file("picture.bmp")).ok(), !pictureStopped);
        for (const std::string &file : files) {
            // Untouched where the save was stopped, else moved to the backup.
            const bool stopped = (file == "picture.bmp") ? pictureStopped : patternStopped;
            EXPECT_EQ(readBytes(folder.file(stopped ? file : file + "~")), "old " + file) << blocked;
        }
        EXPECT_EQ(folder.names().size(), 6u) << blocked; // nothing half-made left beside them
    }
}

TEST(SharedFolder, NotesAndYarnListsPastTheReadLimitsAreRefusedBeforeWriting)
{
    ScratchFolder folder;
    const std::string name = folder.file("motif.plw"), list = folder.file("Popupfile");
    for (const std::size_t size : { NotesFileLimit, NotesFileLimit + 1 }) {
        const Outcome<> saved = SavePatternFile(name, patternOf(TColor(size)), WhitePalette(), std::string(size, 'n'));
        EXPECT_EQ(errorOf(saved), size > NotesFileLimit ? EFBIG : 0);
        // What is on disk always opens: the pair saved at the limit, kept when refused.
        EXPECT_EQ(ReadNotesFile(name).value().size(), NotesFileLimit) << size;
        EXPECT_EQ(LoadPatternFile(name).value().pattern.Cells[0], TColor(NotesFileLimit)) << size;
    }
    for (const std::size_t count : { YarnListCountLimit - 1, YarnListCountLimit, YarnListCountLimit + 1 }) {
        ASSERT_TRUE(WriteYarnListFile(list, YarnList(count - 1, Yarn { "wool", 1 })).ok());
        const Outcome<YarnList> added = UpdateYarnListFile(list, [](YarnList &yarns) { yarns.push_back({ "s", 2 }); });
        const bool fits = count <= YarnListCountLimit;
        EXPECT_EQ(errorOf(added), fits ? 0 : EFBIG) << count;
        EXPECT_EQ(ReadYarnListFile(list).value().size(), fits ? count : count - 1) << count;
    }
}

TEST(SharedFolder, NotesOfTheLongestPatternNamesCannotExistAndAreNotWritten)
{
    ScratchFolder folder;
    const std::string name = folder.file(std::string(251, 'k') + ".plw"); // 255 bytes: no room for ".txt"
    const auto bytes = EncodePatternFile(patternOf(5), WhitePalette());
    writeBytes(name, std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(ReadNotesFile(name).value(), "");
    EXPECT_EQ(LoadPatternFile(name).value().pattern.Cells[0], 5u);
    const Outcome<> saved = SavePatternFile(name, patternOf(6), WhitePalette(), "");
    EXPECT_EQ(errorOf(saved), ENAMETOOLONG);
    EXPECT_EQ(readBytes(name), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(folder.names().size(), 1u);
}

// Files and links of other users can only be made by root; the saves that
// meet them in a sticky folder are made by a child that became "nobody".
class SharedFolderAsRoot : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "only root can give files to another user";
        fs::permissions(scratch.path(), fs::perms(0755));
        fs::create_directory(shared);
        ::chmod(shared.c_str(), 01777);
    }
    ScratchFolder scratch;
    const std::string shared = scratch.file("shared");
};

TEST_F(SharedFolderAsRoot, StickyFolderRefusesToReplaceOtherUsersFilesBeforeAnyRename)
{
    constexpr uid_t Nobody = 65534, Other = 1;
    const std::string pattern = shared + "/motif.plw", files[] = { pattern, NotesFileName(pattern) };
    for (const std::string &theirs : files) {
        for (const std::string &file : files) {
            writeBytes(file, "old " + file);
            ::chmod(file.c_str(), 0666);
            ::chown(file.c_str(), file == theirs ? Other : Nobody, Nobody);
        }
        EXPECT_TRUE(runTogether(1, [&](int) {
            const bool becameNobody = ::setgid(Nobody) == 0 && ::setuid(Nobody) == 0;
            const Outcome<> saved = SavePatternFile(pattern, patternOf(7), WhitePalette(), "new");
            return becameNobody && errorOf(saved) == EPERM && errorOf(CheckReplaceable(theirs)) == EPERM;
        }));
        for (const std::string &file : files)
            EXPECT_EQ(readBytes(file), "old " + file) << theirs;
    }
}

TEST_F(SharedFolderAsRoot, LinksPlantedByOthersInAStickyFolderAreNotFollowed)
{
    writeBytes(scratch.file("victim"), "victim");
    const std::string bmp = shared + "/picture.bmp", list = shared + "/Popupfile";
    for (const std::string &link : { bmp, list }) {
        fs::create_symlink(scratch.file("victim"), link);
        ::lchown(link.c_str(), 1, 1);
    }
    // Even root is refused, as open() would refuse it.
    EXPECT_EQ(errorOf(exportBitmap(bmp)), EACCES);
    EXPECT_EQ(errorOf(WriteYarnListFile(list, { { "wool", 1 } })), EACCES);
    EXPECT_EQ(readBytes(scratch.file("victim")), "victim");
    // A link of the user's own is followed.
    ::lchown(bmp.c_str(), 0, 0);
    EXPECT_TRUE(exportBitmap(bmp).ok());
    EXPECT_NE(readBytes(scratch.file("victim")), "victim");
}
