#pragma once
// Replaces a file only once its new content is complete and on disk: the
// content goes to a temporary file in the same folder, which is flushed,
// closed and renamed over the target. Until the rename the target is untouched.

#include "model/Outcome.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <sys/types.h>

namespace model {

// The system calls an AtomicFile makes; tests swap them to fail on purpose.
struct FileSystemCalls {
    std::function<ssize_t(int fd, const void *data, std::size_t size)> write;
    std::function<int(int fd)> fsync;
    std::function<int(const char *from, const char *to)> rename;
    // Skipping the flush to disk is for measuring its cost only.
    bool syncToDisk = true;

    static FileSystemCalls system();
};

// Whether a save may replace target: it must be absent, or a regular file
// (links followed as open() would follow them) that the user may write, in a
// folder the user may write, and not protected by a sticky folder (there only
// the owner of the file or of the folder may replace it). A broken link is
// refused, since replacing it would turn the link into a file. Fails with
// CannotWrite.
Outcome<> CheckReplaceable(const std::string &target);

// Where the file a save replaces is kept: motif.plw's old content is motif.plw~.
std::string BackupFileName(const std::string &target);

// Whether a save keeps the replaced file under BackupFileName.
enum class Backup { None, Keep };

class AtomicFile {
public:
    explicit AtomicFile(
        std::string target, FileSystemCalls calls = FileSystemCalls::system(), Backup backup = Backup::None);
    // Removes the temporary file unless it was committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // The file written to: the target, or the file a link named as target leads to.
    const std::string &target() const { return m_target; }

    // Each step below fails with CannotWrite, naming the target as given.

    // Checks every rule the renames of a commit can fail on: the target may
    // be replaced, and so may its backup name when a backup is kept.
    Outcome<> checkTargets();
    // Checks that the target may be replaced, clears away temporary files
    // that dead processes left for it, and creates the temporary file.
    Outcome<> open();
    // Writes all of data or fails; a short write that makes no progress is a failure.
    Outcome<> write(std::span<const std::byte> data);
    // Flushes the content to disk and closes the temporary file.
    Outcome<> finish();
    // Checks the target again and renames the finished temporary file over
    // it, keeping the old file as its backup. Files renamed in one folder
    // together need the folder flushed after the last one only.
    Outcome<> commit(bool flushFolder = true);
    // Drops the temporary file; the target stays as it was.
    void cancel();

    // commit() in two steps, for files that go in together: replace() puts
    // the new file in place, holding the old one under a temporary name;
    // undo() then puts the old one back, or keepBackup() moves it to its
    // backup name (or drops it when no backup is kept).
    Outcome<> replace();
    Outcome<> keepBackup(bool flushFolder = true);
    Outcome<> undo();

private:
    Outcome<> failed(int error);
    std::string newTemporaryName() const;
    void dropOld();

    std::string m_name;
    std::string m_target;
    std::string m_temp;
    std::string m_oldTemp; // the replaced file, until it is kept or dropped
    int m_resolveError = 0;
    bool m_replaced = false;
    bool m_hadTarget = false;
    Backup m_backup;
    FileSystemCalls m_calls;
    int m_fd = -1;
    bool m_finished = false;
    bool m_failed = false;
};

// Makes the renames in folder durable; skipped when calls do not sync, and
// a folder that cannot be flushed is no reason to fail.
void SyncFolder(const std::string &folder, const FileSystemCalls &calls);

// Opens, fills through writeContent, finishes and commits one file; stops at
// the first step that fails.
Outcome<> WriteFileAtomically(const std::string &target, const std::function<Outcome<>(AtomicFile &)> &writeContent,
    const FileSystemCalls &calls = FileSystemCalls::system(), Backup backup = Backup::None);
// Writes a whole file atomically in one go.
Outcome<> WriteFileAtomically(const std::string &target, std::span<const std::byte> data,
    const FileSystemCalls &calls = FileSystemCalls::system(), Backup backup = Backup::None);

} // namespace model
