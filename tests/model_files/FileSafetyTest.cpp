// Saves never replace what they must not, and clear away what dead saves left.
#include "support/FileSupport.h"

#include "model/PatternFile.h"
#include "model/YarnList.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace model;

namespace {

Pattern tinyPattern()
{
    Pattern pattern;
    CreateBlank(pattern, 2, 2);
    return pattern;
}

} // namespace

TEST(FileSafety, FoldersPipesAndBrokenLinksAreRefusedBeforeAnythingIsRenamed)
{
    struct Case {
        const char *target; // what stands in the way
        const char *kind; // "folder", "link to folder", "broken link" or "pipe"
        int reason; // 0: not checked
    };
    for (const Case c : { Case { "motif.plw", "folder", EISDIR }, Case { "motif.plw.txt", "folder", EISDIR },
             Case { "motif.plw", "link to folder", EISDIR }, Case { "motif.plw.txt", "broken link", ENOENT },
             Case { "motif.plw", "pipe", 0 } }) {
        ScratchFolder folder;
        const std::string target = folder.file(c.target), kind = c.kind;
        if (kind == "folder")
            fs::create_directory(target);
        else if (kind == "pipe")
            ::mkfifo(target.c_str(), 0644);
        else
            fs::create_symlink(folder.file(kind == "broken link" ? "gone" : "."), target);
        for (const char *name : { "motif.plw", "motif.plw.txt" }) {
            if (name != std::string(c.target))
                writeBytes(folder.file(name), "old");
        }
        const auto namesBefore = folder.names();
        const fs::file_type typeBefore = fs::symlink_status(target).type();

        const SaveResult result = SavePatternFile(folder.file("motif.plw"), tinyPattern(), WhitePalette(), "new");
        EXPECT_FALSE(result.ok) << c.target << " " << kind;
        EXPECT_EQ(result.failure.fileName, target) << kind;
        EXPECT_EQ(result.failure.reason, c.reason ? std::strerror(c.reason) : result.failure.reason) << kind;
        EXPECT_EQ(fs::symlink_status(target).type(), typeBefore) << kind;
        EXPECT_EQ(readBytes(folder.file(c.target == std::string("motif.plw") ? "motif.plw.txt" : "motif.plw")), "old");
        EXPECT_EQ(folder.names(), namesBefore) << kind;
    }
}

TEST(FileSafety, NonRootWriteProtectedFilesAreRefusedUntouched)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    const char *const names[] = { "motif.plw", "motif.plw.txt", "Popupfile", "picture.bmp" };
    for (const char *protectedName : names) {
        ScratchFolder folder;
        for (const char *name : names)
            writeBytes(folder.file(name), name);
        ::chmod(folder.file(protectedName).c_str(), 0444);
        // Each save writes its own files: the pattern and notes, the yarn list, or an exported picture.
        const int saved = int(SavePatternFile(folder.file("motif.plw"), tinyPattern(), WhitePalette(), "new").ok)
            + int(WriteYarnListFile(folder.file("Popupfile"), { { "a", 1 } }).ok())
            + int(WriteFileAtomically(folder.file("picture.bmp"), "BM", 2).ok());
        EXPECT_EQ(saved, 2) << protectedName;
        EXPECT_EQ(readBytes(folder.file(protectedName)), protectedName);
        struct stat info { };
        ASSERT_EQ(::stat(folder.file(protectedName).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0444u) << protectedName;
        EXPECT_EQ(folder.names().size(), 4u) << protectedName;
    }
}

TEST(FileSafety, StaleTemporaryFilesOfDeadProcessesAreRemovedAndNothingElse)
{
    ScratchFolder folder;
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child), live = std::to_string(::getppid());
    const std::pair<std::string, bool> cases[] = { // name, removed
        { ".motif.plw." + dead + "-12345-0.tmp", true }, { ".motif.plw.txt." + dead + "-7-3.tmp", true },
        { ".motif.plw." + live + "-12345-0.tmp", false }, { ".other.plw." + dead + "-12345-0.tmp", false },
        { ".motif.plw." + dead + "-x-0.tmp", false }, { ".motif.plw." + dead + "-1-0.tmp.keep", false }
    };
    for (const auto &[name, removed] : cases)
        writeBytes(folder.file(name), "left over");
    fs::create_directory(folder.file(".motif.plw." + dead + "-1-1.tmp"));

    ASSERT_TRUE(SavePatternFile(folder.file("motif.plw"), tinyPattern(), WhitePalette(), "n").ok);
    for (const auto &[name, removed] : cases)
        EXPECT_EQ(fs::exists(folder.file(name)), !removed) << name;
    EXPECT_TRUE(fs::is_directory(folder.file(".motif.plw." + dead + "-1-1.tmp")));
}
