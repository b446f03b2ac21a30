#pragma once
// Replaces a file only once its new content is complete and on disk: the
// content goes to a temporary file in the same folder, which is flushed,
// closed and renamed over the target. Until the rename the target is untouched.

#include <cstddef>
#include <functional>
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

// An error number of the program's own, beside the system's: the file
// exists but is a named pipe, device or socket, which a save must not replace
// and an open must not wait on.
inline constexpr int NotRegularFileError = -1;

// How an error number reads for the user. The user interface installs its
// own texts in the user's language; until then the C library's are used.
using SystemErrorDescriber = std::string (*)(int error);
void SetSystemErrorDescriber(SystemErrorDescriber describe);
std::string DescribeSystemError(int error);

// The outcome of one step: empty reason means success.
struct FileStatus {
    std::string reason; // DescribeSystemError(error)
    int error = 0; // errno, or NotRegularFileError
    bool ok() const { return reason.empty(); }
    static FileStatus fromErrno(int error);
};

// Whether a save may replace target: it must be absent, or a regular file
// (links followed) that the user may write. A broken link is refused, since
// replacing it would turn the link into a file.
FileStatus CheckReplaceable(const std::string &target);

class AtomicFile {
public:
    explicit AtomicFile(std::string target, FileSystemCalls calls = FileSystemCalls::system());
    // Removes the temporary file unless it was committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    const std::string &target() const { return m_target; }

    // Checks that the target may be replaced, clears away temporary files
    // that dead processes left for it, and creates the temporary file.
    FileStatus open();
    // Writes all of data or fails; a short write that makes no progress is a failure.
    FileStatus write(const void *data, std::size_t size);
    // Flushes the content to disk and closes the temporary file.
    FileStatus finish();
    // Checks the target again and renames the finished temporary file over
    // it. Files renamed in one folder together need the folder flushed after
    // the last one only.
    FileStatus commit(bool flushFolder = true);
    // Drops the temporary file; the target stays as it was.
    void cancel();

private:
    std::string m_target;
    std::string m_temp;
    FileSystemCalls m_calls;
    int m_fd = -1;
    bool m_finished = false;
    bool m_failed = false;
};

// Writes a whole file atomically in one go.
FileStatus WriteFileAtomically(const std::string &target, const void *data, std::size_t size,
    const FileSystemCalls &calls = FileSystemCalls::system());

} // namespace model
