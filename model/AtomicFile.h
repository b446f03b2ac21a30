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
// (links followed) that the user may write. A broken link is refused, since
// replacing it would turn the link into a file. Fails with CannotWrite.
Outcome<> CheckReplaceable(const std::string &target);

class AtomicFile {
public:
    explicit AtomicFile(std::string target, FileSystemCalls calls = FileSystemCalls::system());
    // Removes the temporary file unless it was committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // The file written to: the target, or the file a link named as target leads to.
    const std::string &target() const { return m_target; }

    // Each step below fails with CannotWrite, naming the target as given.

    // Checks that the target may be replaced, clears away temporary files
    // that dead processes left for it, and creates the temporary file.
    Outcome<> open();
    // Writes all of data or fails; a short write that makes no progress is a failure.
    Outcome<> write(std::span<const std::byte> data);
    // Flushes the content to disk and closes the temporary file.
    Outcome<> finish();
    // Checks the target again and renames the finished temporary file over
    // it. Files renamed in one folder together need the folder flushed after
    // the last one only.
    Outcome<> commit(bool flushFolder = true);
    // Drops the temporary file; the target stays as it was.
    void cancel();

private:
    Outcome<> failed(int error);

    std::string m_name;
    std::string m_target;
    std::string m_temp;
    FileSystemCalls m_calls;
    int m_fd = -1;
    bool m_finished = false;
    bool m_failed = false;
};

// Opens, fills through writeContent, finishes and commits one file; stops at
// the first step that fails.
Outcome<> WriteFileAtomically(const std::string &target, const std::function<Outcome<>(AtomicFile &)> &writeContent,
    const FileSystemCalls &calls = FileSystemCalls::system());
// Writes a whole file atomically in one go.
Outcome<> WriteFileAtomically(const std::string &target, std::span<const std::byte> data,
    const FileSystemCalls &calls = FileSystemCalls::system());

} // namespace model
