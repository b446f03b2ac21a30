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

// The outcome of one step: empty reason means success.
struct FileStatus {
    std::string reason; // the system's text for the failure (strerror)
    bool ok() const { return reason.empty(); }
    static FileStatus fromErrno(int error);
};

class AtomicFile {
public:
    explicit AtomicFile(std::string target, FileSystemCalls calls = FileSystemCalls::system());
    // Removes the temporary file unless it was committed.
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    const std::string &target() const { return m_target; }

    // Creates the temporary file beside the target.
    FileStatus open();
    // Writes all of data or fails; a short write that makes no progress is a failure.
    FileStatus write(const void *data, std::size_t size);
    // Flushes the content to disk and closes the temporary file.
    FileStatus finish();
    // Renames the finished temporary file over the target. Files renamed in
    // one folder together need the folder flushed after the last one only.
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
