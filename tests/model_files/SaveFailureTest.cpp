// A save that fails at any point leaves both files on disk as they were.
#include "support/FileSupport.h"

#include "model/PatternFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace model;

namespace {

Pattern smallPattern()
{
    Pattern pattern;
    CreateBlank(pattern, 3, 2);
    for (std::size_t i = 0; i < pattern.Cells.size(); ++i)
        pattern.Cells[i] = TColor(0x00112233u * (i + 1)) & 0x00FFFFFF;
    return pattern;
}

struct OldFiles {
    std::string patternName, notesName, patternBytes, notesBytes;

    OldFiles(const std::string &name)
        : patternName(name)
        , notesName(NotesFileName(name))
        , patternBytes("old pattern bytes")
        , notesBytes("old notes")
    {
        writeBytes(patternName, patternBytes);
        writeBytes(notesName, notesBytes);
    }
    void expectUntouched(const std::string &context) const
    {
        EXPECT_EQ(readBytes(patternName), patternBytes) << context;
        EXPECT_EQ(readBytes(notesName), notesBytes) << context;
    }
};

// Lets `budget` bytes through in all, then fails the way a full disk does:
// either with an error or with a write that makes no progress.
FileSystemCalls writesThatStopAfter(std::size_t budget, bool failWithError)
{
    FileSystemCalls calls = FileSystemCalls::system();
    auto left = std::make_shared<std::size_t>(budget);
    calls.write = [left, failWithError](int fd, const void *data, std::size_t size) -> ssize_t {
        if (*left == 0) {
            if (!failWithError)
                return 0;
            errno = ENOSPC;
            return -1;
        }
        const ssize_t written = ::write(fd, data, std::min(size, *left));
        if (written > 0)
            *left -= std::size_t(written);
        return written;
    };
    return calls;
}

} // namespace

TEST(SaveFailure, ShortWriteAtEveryOffsetKeepsTheOldFiles)
{
    ScratchFolder folder;
    const Pattern pattern = smallPattern();
    const std::string notes = "new notes\r\nline two";
    const std::size_t total = EncodePatternFile(pattern, WhitePalette()).size() + notes.size();
    ASSERT_EQ(total, 76 + 24 + notes.size());

    for (bool failWithError : { true, false }) {
        const OldFiles old(folder.file("motif.plw"));
        const auto namesBefore = folder.names();
        for (std::size_t offset = 0; offset < total; ++offset) {
            const std::string context = "offset " + std::to_string(offset) + (failWithError ? " error" : " stall");
            const Outcome<> result = SavePatternFile(
                old.patternName, pattern, WhitePalette(), notes, writesThatStopAfter(offset, failWithError));
            ASSERT_FALSE(result.ok()) << context;
            EXPECT_EQ(result.failure().error, ENOSPC) << context;
            EXPECT_FALSE(result.failure().notesReplaced) << context;
            old.expectUntouched(context);
            EXPECT_EQ(folder.names(), namesBefore) << context << ": a temporary file was left behind";
        }
        // With room for every byte the same save goes through.
        ASSERT_TRUE(
            SavePatternFile(old.patternName, pattern, WhitePalette(), notes, writesThatStopAfter(total, failWithError))
                .ok());
        EXPECT_EQ(readBytes(old.notesName), notes);
    }
}

TEST(SaveFailure, FailedFlushOrRenameKeepsTheOldFilesOrSaysWhatChanged)
{
    ScratchFolder folder;
    const Pattern pattern = smallPattern();

    FileSystemCalls failingSync = FileSystemCalls::system();
    failingSync.fsync = [](int) {
        errno = EIO;
        return -1;
    };
    {
        const OldFiles old(folder.file("a.plw"));
        const Outcome<> result = SavePatternFile(old.patternName, pattern, WhitePalette(), "n", failingSync);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure().error, EIO);
        EXPECT_EQ(result.failure().fileName, old.patternName);
        old.expectUntouched("fsync");
    }

    // The notes file is renamed first: when that fails nothing has changed.
    FileSystemCalls failingNotesRename = FileSystemCalls::system();
    failingNotesRename.rename = [](const char *from, const char *to) {
        if (std::string(to).ends_with(".txt")) {
            errno = EACCES;
            return -1;
        }
        return ::rename(from, to);
    };
    {
        const OldFiles old(folder.file("b.plw"));
        const Outcome<> result = SavePatternFile(old.patternName, pattern, WhitePalette(), "n", failingNotesRename);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure().fileName, old.notesName);
        EXPECT_FALSE(result.failure().notesReplaced);
        old.expectUntouched("notes rename");
    }

    // When the pattern's rename fails after the notes went in, the old notes go back.
    FileSystemCalls failingPatternRename = FileSystemCalls::system();
    failingPatternRename.rename = [](const char *from, const char *to) {
        if (std::string(to).ends_with(".plw")) {
            errno = EROFS;
            return -1;
        }
        return ::rename(from, to);
    };
    {
        const OldFiles old(folder.file("c.plw"));
        const Outcome<> result = SavePatternFile(old.patternName, pattern, WhitePalette(), "n", failingPatternRename);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure().fileName, old.patternName);
        EXPECT_EQ(result.failure().error, EROFS);
        EXPECT_FALSE(result.failure().notesReplaced);
        old.expectUntouched("pattern rename");
    }
    EXPECT_EQ(folder.names(),
        (std::vector<std::string> { "a.plw", "a.plw.txt", "b.plw", "b.plw.txt", "c.plw", "c.plw.txt" }));
}

TEST(SaveFailure, FileSizeLimitKeepsTheOldFiles)
{
    ScratchFolder folder;
    const OldFiles old(folder.file("motif.plw"));
    Pattern pattern;
    CreateBlank(pattern, 24, 100);

    FileSizeLimit limit(1000);
    ASSERT_TRUE(limit.active());
    const Outcome<> result = SavePatternFile(old.patternName, pattern, WhitePalette(), "notes");
    limit.lift();

    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.failure().error, EFBIG);
    old.expectUntouched("file size limit");
    EXPECT_EQ(folder.names(), (std::vector<std::string> { "motif.plw", "motif.plw.txt" }));
}

TEST(SaveFailure, FullFileSystemKeepsTheOldFiles)
{
    ScratchFolder folder;
    const std::string mountPoint = folder.file("small");
    fs::create_directory(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount { mountPoint };

    const OldFiles old(mountPoint + "/motif.plw");
    Pattern pattern;
    CreateBlank(pattern, 100, 100); // 40,076 bytes: more than the file system holds
    const Outcome<> result = SavePatternFile(old.patternName, pattern, WhitePalette(), "notes");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.failure().error, ENOSPC);
    old.expectUntouched("full file system");
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(mountPoint))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "motif.plw", "motif.plw.txt" }));
}

TEST(SaveFailure, ReplacedFilesKeepTheirPermissionsAndLinks)
{
    ScratchFolder folder;
    const OldFiles old(folder.file("motif.plw"));
    ::chmod(old.patternName.c_str(), 0640);
    fs::create_symlink(old.patternName, folder.file("link.plw"));
    const Pattern pattern = smallPattern();

    ASSERT_TRUE(SavePatternFile(folder.file("link.plw"), pattern, WhitePalette(), "").ok());
    EXPECT_TRUE(fs::is_symlink(folder.file("link.plw")));
    EXPECT_EQ(readBytes(old.patternName), std::string(readBytes(folder.file("link.plw"))));
    EXPECT_EQ(readBytes(old.patternName).size(), 100u);
    struct stat info { };
    ASSERT_EQ(::stat(old.patternName.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    // Empty notes replace the old notes by an empty file.
    EXPECT_EQ(readBytes(folder.file("link.plw.txt")), "");
    EXPECT_TRUE(fs::exists(folder.file("link.plw.txt")));
}

TEST(SaveFailure, LongestFileNamesStillLeaveRoomForTheTemporaryFile)
{
    ScratchFolder folder;
    const std::string name = folder.file(std::string(247, 'k') + ".plw"); // notes name: 255 characters
    ASSERT_TRUE(SavePatternFile(name, smallPattern(), WhitePalette(), "n").ok());
    EXPECT_EQ(readBytes(name).size(), 100u);
    EXPECT_EQ(readBytes(NotesFileName(name)), "n");
}
