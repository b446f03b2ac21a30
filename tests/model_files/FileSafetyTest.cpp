// Saves never replace what they must not: folders, special files, broken
// links, write-protected files; and they clear away what dead saves left.
#include "FileTestSupport.h"

#include "model/PatternFile.h"
#include "model/YarnList.h"

#include <cerrno>
#include <cstring>
#include <functional>
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

// A process id that certainly runs no more.
pid_t deadProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

} // namespace

TEST(FileSafety, FoldersSpecialFilesAndBrokenLinksAreRefusedBeforeAnythingIsRenamed)
{
    struct Case {
        const char *what;
        std::function<void(const ScratchFolder &)> arrange;
        const char *refused; // the file named in the failure
        int reason; // 0: not checked
    };
    const Case cases[] = {
        { "pattern is a folder", [](const ScratchFolder &f) { fs::create_directory(f.file("motif.plw")); }, "motif.plw",
            EISDIR },
        { "notes are a folder", [](const ScratchFolder &f) { fs::create_directory(f.file("motif.plw.txt")); },
            "motif.plw.txt", EISDIR },
        { "pattern links to a folder",
            [](const ScratchFolder &f) {
                fs::create_directory(f.file("elsewhere"));
                fs::create_symlink(f.file("elsewhere"), f.file("motif.plw"));
            },
            "motif.plw", EISDIR },
        { "notes are a broken link",
            [](const ScratchFolder &f) { fs::create_symlink(f.file("gone.txt"), f.file("motif.plw.txt")); },
            "motif.plw.txt", ENOENT },
        { "pattern is a named pipe", [](const ScratchFolder &f) { ::mkfifo(f.file("motif.plw").c_str(), 0644); },
            "motif.plw", 0 },
    };
    for (const Case &c : cases) {
        ScratchFolder folder;
        const std::string patternName = folder.file("motif.plw"), notesName = folder.file("motif.plw.txt");
        c.arrange(folder);
        if (!fs::exists(fs::symlink_status(patternName)))
            writeBytes(patternName, "old pattern");
        if (!fs::exists(fs::symlink_status(notesName)))
            writeBytes(notesName, "old notes");
        const auto namesBefore = folder.names();
        const auto kind = [](const std::string &name) { return fs::symlink_status(name).type(); };
        const fs::file_type patternKind = kind(patternName), notesKind = kind(notesName);

        const SaveResult result = SavePatternFile(patternName, tinyPattern(), WhitePalette(), "new notes");
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_EQ(result.failure.fileName, folder.file(c.refused)) << c.what;
        if (c.reason) {
            EXPECT_EQ(result.failure.reason, std::strerror(c.reason)) << c.what;
        }
        EXPECT_FALSE(result.failure.notesReplaced) << c.what;
        EXPECT_EQ(kind(patternName), patternKind) << c.what;
        EXPECT_EQ(kind(notesName), notesKind) << c.what;
        if (patternKind == fs::file_type::regular) {
            EXPECT_EQ(readBytes(patternName), "old pattern") << c.what;
        }
        if (notesKind == fs::file_type::regular) {
            EXPECT_EQ(readBytes(notesName), "old notes") << c.what;
        }
        EXPECT_EQ(folder.names(), namesBefore) << c.what;
    }
}

TEST(FileSafety, NonRootWriteProtectedFilesAreRefusedUntouched)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    struct Case {
        const char *what;
        const char *protectedName;
        std::function<bool(const ScratchFolder &)> save; // true when it reported success
    };
    const auto savePattern = [](const ScratchFolder &f) {
        return SavePatternFile(f.file("motif.plw"), tinyPattern(), WhitePalette(), "new").ok;
    };
    const Case cases[] = {
        { "pattern", "motif.plw", savePattern },
        { "notes", "motif.plw.txt", savePattern },
        { "yarn list", "Popupfile",
            [](const ScratchFolder &f) {
                return WriteYarnListFile(f.file("Popupfile"), { { "a", 1 } }).ok();
            } },
        { "bitmap export", "picture.bmp",
            [](const ScratchFolder &f) { return WriteFileAtomically(f.file("picture.bmp"), "BM", 2).ok(); } },
    };
    for (const Case &c : cases) {
        ScratchFolder folder;
        for (const char *name : { "motif.plw", "motif.plw.txt", "Popupfile", "picture.bmp" })
            writeBytes(folder.file(name), std::string("old ") + name);
        const std::string target = folder.file(c.protectedName);
        ::chmod(target.c_str(), 0444);
        const auto namesBefore = folder.names();

        EXPECT_FALSE(c.save(folder)) << c.what;
        for (const char *name : { "motif.plw", "motif.plw.txt", "Popupfile", "picture.bmp" })
            EXPECT_EQ(readBytes(folder.file(name)), std::string("old ") + name) << c.what;
        struct stat info { };
        ASSERT_EQ(::stat(target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0444u) << c.what;
        EXPECT_EQ(folder.names(), namesBefore) << c.what;
    }
}

TEST(FileSafety, StaleTemporaryFilesOfDeadProcessesAreRemovedAndNothingElse)
{
    ScratchFolder folder;
    const std::string dead = std::to_string(deadProcess());
    const std::string live = std::to_string(::getppid());
    struct Case {
        std::string name;
        bool removed;
    };
    const Case cases[] = {
        { ".motif.plw." + dead + "-12345-0.tmp", true },
        { ".motif.plw.txt." + dead + "-7-3.tmp", true }, // the notes are saved too
        { ".motif.plw." + live + "-12345-0.tmp", false }, // a save still running
        { ".other.plw." + dead + "-12345-0.tmp", false }, // another target
        { ".motif.plw." + dead + "-x-0.tmp", false }, // not a name this program makes
        { "motif.plw." + dead + "-1-0.tmp", false },
        { ".motif.plw." + dead + "-1-0.tmp.keep", false },
    };
    for (const Case &c : cases)
        writeBytes(folder.file(c.name), "left over");
    fs::create_directory(folder.file(".motif.plw." + dead + "-1-1.tmp"));

    ASSERT_TRUE(SavePatternFile(folder.file("motif.plw"), tinyPattern(), WhitePalette(), "n").ok);
    for (const Case &c : cases)
        EXPECT_EQ(fs::exists(folder.file(c.name)), !c.removed) << c.name;
    EXPECT_TRUE(fs::is_directory(folder.file(".motif.plw." + dead + "-1-1.tmp")));
}
