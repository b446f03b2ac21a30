// Saves never replace what they must not, and clear away what dead saves left.
#include "support/FileSupport.h"

#include "model/PatternFile.h"
#include "model/RegularFile.h"
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

        const Outcome<> result = SavePatternFile(folder.file("motif.plw"), tinyPattern(), WhitePalette(), "new");
        ASSERT_FALSE(result.ok()) << c.target << " " << kind;
        EXPECT_EQ(result.failure().kind, Failure::Kind::CannotWrite) << kind;
        EXPECT_EQ(result.failure().fileName, target) << kind;
        EXPECT_EQ(result.failure().error, c.reason ? c.reason : result.failure().error) << kind;
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
        const int saved = int(SavePatternFile(folder.file("motif.plw"), tinyPattern(), WhitePalette(), "new").ok())
            + int(WriteYarnListFile(folder.file("Popupfile"), { { "a", 1 } }).ok())
            + int(WriteFileAtomically(folder.file("picture.bmp"), std::as_bytes(std::span("BM", 2))).ok());
        EXPECT_EQ(saved, 2) << protectedName;
        EXPECT_EQ(readBytes(folder.file(protectedName)), protectedName);
        struct stat info { };
        ASSERT_EQ(::stat(folder.file(protectedName).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0444u) << protectedName;
        // Nothing else is left beside them but the backups of a pattern save that went through.
        const bool patternSaved = std::string_view(protectedName).find("motif") == std::string_view::npos;
        EXPECT_EQ(folder.names().size(), patternSaved ? 6u : 4u) << protectedName;
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

    ASSERT_TRUE(SavePatternFile(folder.file("motif.plw"), tinyPattern(), WhitePalette(), "n").ok());
    for (const auto &[name, removed] : cases)
        EXPECT_EQ(fs::exists(folder.file(name)), !removed) << name;
    EXPECT_TRUE(fs::is_directory(folder.file(".motif.plw." + dead + "-1-1.tmp")));
}

TEST(FileReading, OnlyWholeRegularFilesWithinTheLimitAreRead)
{
    ScratchFolder folder;
    writeBytes(folder.file("empty"), "");
    writeBytes(folder.file("at limit"), std::string(10, 'a'));
    writeBytes(folder.file("over limit"), std::string(11, 'a'));
    fs::create_directory(folder.file("folder"));
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0644), 0);
    struct Case {
        const char *name;
        Failure::Kind kind; // CannotRead with error 0: read
        int error;
        std::size_t size;
    };
    const Case cases[] = {
        { "empty", Failure::Kind::CannotRead, 0, 0 },
        { "at limit", Failure::Kind::CannotRead, 0, 10 },
        { "over limit", Failure::Kind::FileTooLarge, 0, 0 },
        { "missing", Failure::Kind::CannotRead, ENOENT, 0 },
        { "folder", Failure::Kind::CannotRead, EISDIR, 0 },
        // A pipe would block the read until a writer came; it is refused at once.
        { "pipe", Failure::Kind::CannotRead, NotRegularFileError, 0 },
    };
    for (const Case &c : cases) {
        const Outcome<std::string> read = ReadWholeFile(folder.file(c.name), 10);
        const bool expectRead = c.kind == Failure::Kind::CannotRead && c.error == 0;
        ASSERT_EQ(read.ok(), expectRead) << c.name;
        if (expectRead) {
            EXPECT_EQ(read.value().size(), c.size) << c.name;
            continue;
        }
        EXPECT_EQ(read.failure().kind, c.kind) << c.name;
        EXPECT_EQ(read.failure().error, c.error) << c.name;
        EXPECT_EQ(read.failure().fileName, folder.file(c.name)) << c.name;
    }
    // Notes and the yarn list take a missing file as empty, and nothing else.
    EXPECT_EQ(ReadNotesFile(folder.file("motif.plw")).value(), "");
    EXPECT_TRUE(ReadYarnListFile(folder.file("missing")).value().empty());
    EXPECT_EQ(ReadYarnListFile(folder.file("pipe")).failure().error, NotRegularFileError);
    fs::create_directory(folder.file("boxed.plw.txt"));
    EXPECT_EQ(ReadNotesFile(folder.file("boxed.plw")).failure().error, EISDIR);
}
