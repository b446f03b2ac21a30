// Saves by two copies at once, backups of replaced files, and the rules of
// shared (sticky) folders, whose refusals are checked as another user.
#include "support/FileSupport.h"

#include "model/BitmapFile.h"
#include "model/PatternFile.h"
#include "model/YarnList.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace model;

namespace {

Pattern patternOf(TColor colour)
{
    Pattern pattern;
    CreateBlank(pattern, 4, 3);
    std::fill(pattern.Cells.begin(), pattern.Cells.end(), colour);
    return pattern;
}

// Runs body in a child process and gives its exit code.
int inChild(const std::function<int()> &body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

constexpr uid_t Nobody = 65534;

} // namespace

TEST(SharedFolder, OverlappingSavesOfOnePatternKeepEachPairTogether)
{
    ScratchFolder folder;
    const std::string name = folder.file("motif.plw");
    // A pause between the two renames of a save makes any overlap of two saves show.
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
        const Outcome<LoadedPattern> loaded = LoadPatternFile(name);
        ASSERT_TRUE(loaded.ok());
        EXPECT_EQ(std::to_string(loaded.value().pattern.Cells[0]), readBytes(NotesFileName(name))) << round;
    }
}

TEST(SharedFolder, ReplacedFilesAreKeptOnceAndABlockedBackupStopsTheSave)
{
    ScratchFolder folder;
    const std::string name = folder.file("motif.plw"), picture = folder.file("picture.bmp");
    const Pixel pixel = 0xFFFFFFFFu;
    const BitmapSource bitmap { 1, 1, {}, [&pixel](std::int32_t) -> const void * { return &pixel; } };
    ASSERT_TRUE(SavePatternFile(name, patternOf(1), WhitePalette(), "first").ok());
    EXPECT_FALSE(fs::exists(BackupFileName(name))); // nothing was replaced
    ASSERT_TRUE(SavePatternFile(name, patternOf(2), WhitePalette(), "second").ok());
    const std::string second = readBytes(name);
    ASSERT_TRUE(SavePatternFile(name, patternOf(3), WhitePalette(), "third").ok());
    // One generation: the second save's files, replaced by the third.
    EXPECT_EQ(readBytes(BackupFileName(name)), second);
    EXPECT_EQ(readBytes(BackupFileName(NotesFileName(name))), "second");
    EXPECT_NE(readBytes(name), second);

    for (const std::string blocked : { "motif.plw~", "motif.plw.txt~", "picture.bmp~" }) {
        ScratchFolder other;
        const std::string files[] = { "motif.plw", "motif.plw.txt", "picture.bmp" };
        for (const std::string &file : files)
            writeBytes(other.file(file), "old " + file);
        fs::create_directory(other.file(blocked));
        const bool pictureBlocked = blocked == "picture.bmp~";
        EXPECT_EQ(SavePatternFile(other.file("motif.plw"), patternOf(4), WhitePalette(), "new").ok(), pictureBlocked);
        EXPECT_EQ(WriteBitmapFile(other.file("picture.bmp"), bitmap).ok(), !pictureBlocked);
        for (const std::string &file : files) {
            // Kept where the save was stopped, or moved to the backup.
            const bool stopped = (file == "picture.bmp") == pictureBlocked;
            EXPECT_EQ(readBytes(other.file(stopped ? file : file + "~")), "old " + file) << blocked;
        }
        // Nothing half-made is left beside them.
        EXPECT_EQ(other.names().size(), pictureBlocked ? 6u : 5u) << blocked;
    }
}

TEST(SharedFolder, NotesAndYarnListsPastTheReadLimitsAreRefusedBeforeWriting)
{
    ScratchFolder folder;
    const std::string name = folder.file("motif.plw");
    for (const std::size_t size : { NotesFileLimit, NotesFileLimit + 1 }) {
        const bool fits = size == NotesFileLimit;
        const Outcome<> saved = SavePatternFile(name, patternOf(TColor(size)), WhitePalette(), std::string(size, 'n'));
        ASSERT_EQ(saved.ok(), fits) << size;
        if (!fits) {
            EXPECT_EQ(saved.failure().error, EFBIG);
            EXPECT_EQ(saved.failure().fileName, NotesFileName(name));
        }
        // What is on disk always opens: the notes saved at the limit, kept when refused.
        EXPECT_EQ(ReadNotesFile(name).value().size(), NotesFileLimit) << size;
        EXPECT_EQ(LoadPatternFile(name).value().pattern.Cells[0], TColor(NotesFileLimit)) << size;
    }

    const std::string list = folder.file("Popupfile");
    for (const std::size_t count : { YarnListCountLimit - 1, YarnListCountLimit, YarnListCountLimit + 1 }) {
        ASSERT_TRUE(WriteYarnListFile(list, YarnList(count - 1, Yarn { "wool", 1 })).ok());
        const Outcome<YarnList> added
            = UpdateYarnListFile(list, [](YarnList &yarns) { yarns.push_back({ "silk", 2 }); });
        const bool fits = count <= YarnListCountLimit;
        ASSERT_EQ(added.ok(), fits) << count;
        EXPECT_EQ(ReadYarnListFile(list).value().size(), fits ? count : count - 1) << count;
        EXPECT_EQ(fits ? 0 : added.failure().error, fits ? 0 : EFBIG) << count;
    }
}

TEST(SharedFolder, NotesOfTheLongestPatternNamesCannotExistAndAreNotWritten)
{
    ScratchFolder folder;
    const std::string name = folder.file(std::string(251, 'k') + ".plw"); // 255 bytes: no room for ".txt"
    writeBytes(name, std::string(reinterpret_cast<const char *>(EncodePatternFile(patternOf(5), WhitePalette()).data()),
                         HeaderSize + 48));
    EXPECT_EQ(ReadNotesFile(name).value(), "");
    ASSERT_TRUE(LoadPatternFile(name).ok());
    const std::string before = readBytes(name);
    const Outcome<> saved = SavePatternFile(name, patternOf(6), WhitePalette(), "");
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.failure().error, ENAMETOOLONG);
    EXPECT_EQ(readBytes(name), before);
    EXPECT_EQ(folder.names().size(), 1u);
}

// The refusals below concern files of other users, which only root can set up;
// each save is then made by a child that has become an ordinary user.
class SharedFolderAsRoot : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "only root can give files to another user";
        fs::permissions(m_scratch.path(), fs::perms(0755));
        fs::create_directory(shared);
        ::chmod(shared.c_str(), 01777);
    }
    ScratchFolder m_scratch;
    const std::string shared = m_scratch.file("shared");
    std::string in(const std::string &file) const { return shared + "/" + file; }
};

TEST_F(SharedFolderAsRoot, StickyFolderRefusesToReplaceOtherUsersFilesBeforeAnyRename)
{
    for (const std::string theirs : { "motif.plw", "motif.plw.txt" }) {
        for (const std::string file : { "motif.plw", "motif.plw.txt" }) {
            writeBytes(in(file), "old " + file);
            ::chmod(in(file).c_str(), 0666);
            ::chown(in(file).c_str(), file == theirs ? 1 : Nobody, file == theirs ? 1 : Nobody);
        }
        const int error = inChild([this] {
            if (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
                return 100;
            const Outcome<> saved = SavePatternFile(in("motif.plw"), patternOf(7), WhitePalette(), "new");
            return saved.ok() ? 0 : saved.failure().error;
        });
        EXPECT_EQ(error, EPERM) << theirs;
        for (const std::string file : { "motif.plw", "motif.plw.txt" })
            EXPECT_EQ(readBytes(in(file)), "old " + file) << theirs;
        fs::remove_all(shared);
        fs::create_directory(shared);
        ::chmod(shared.c_str(), 01777);
    }
}

TEST_F(SharedFolderAsRoot, LinksPlantedByOthersInAStickyFolderAreNotFollowed)
{
    writeBytes(m_scratch.file("victim"), "victim");
    const std::string bmp = in("picture.bmp"), list = in("Popupfile");
    for (const std::string &link : { bmp, list }) {
        fs::create_symlink(m_scratch.file("victim"), link);
        ::lchown(link.c_str(), 1, 1);
    }
    const Pixel pixel = 0xFFFFFFFFu;
    const BitmapSource bitmap { 1, 1, {}, [&pixel](std::int32_t) -> const void * { return &pixel; } };
    // Even root is refused, as open() would refuse it.
    const Outcome<> exported = WriteBitmapFile(bmp, bitmap);
    const Outcome<> written = WriteYarnListFile(list, { { "wool", 1 } });
    ASSERT_FALSE(exported.ok());
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(exported.failure().error, EACCES);
    EXPECT_EQ(written.failure().error, EACCES);
    EXPECT_EQ(readBytes(m_scratch.file("victim")), "victim");
    // A link of the user's own is followed.
    ::lchown(bmp.c_str(), 0, 0);
    EXPECT_TRUE(WriteBitmapFile(bmp, bitmap).ok());
    EXPECT_NE(readBytes(m_scratch.file("victim")), "victim");
}
