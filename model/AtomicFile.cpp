#include "model/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace model {

namespace {

std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// A link is replaced through to the file it points at, not turned into a file itself.
std::string resolveLink(const std::string &path)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        return path;
    return resolved;
}

std::string uniqueSuffix()
{
    static std::atomic<unsigned> counter { 0 };
    static const unsigned seed = std::random_device {}();
    return std::to_string(::getpid()) + "-" + std::to_string(seed) + "-" + std::to_string(counter++);
}

void syncFolder(const std::string &folder)
{
    // Makes the rename itself durable; a folder that cannot be synced is no reason to fail.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

FileSystemCalls FileSystemCalls::system()
{
    return { [](int fd, const void *data, std::size_t size) { return ::write(fd, data, size); },
        [](int fd) { return ::fsync(fd); }, [](const char *from, const char *to) { return ::rename(from, to); }, true };
}

FileStatus FileStatus::fromErrno(int error)
{
    return { std::strerror(error ? error : EIO) };
}

AtomicFile::AtomicFile(std::string target, FileSystemCalls calls)
    : m_target(resolveLink(target))
    , m_calls(std::move(calls))
{
}

AtomicFile::~AtomicFile()
{
    cancel();
}

FileStatus AtomicFile::open()
{
    const std::string folder = folderOf(m_target);
    // Shortened so that a long target name still leaves room for the suffix.
    const std::string base = m_target.substr(m_target.rfind('/') + 1).substr(0, 100);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = folder + "/." + base + "." + uniqueSuffix() + ".tmp";
        // 0666 lets the umask decide, as for any newly created file.
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            m_failed = true;
            return FileStatus::fromErrno(errno);
        }
        m_fd = fd;
        m_temp = std::move(temp);
        struct stat old;
        if (::stat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
            ::fchmod(m_fd, old.st_mode & 07777);
        return {};
    }
    m_failed = true;
    return FileStatus::fromErrno(EEXIST);
}

FileStatus AtomicFile::write(const void *data, std::size_t size)
{
    if (m_fd < 0 || m_failed)
        return FileStatus::fromErrno(EBADF);
    const char *next = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t written = m_calls.write(m_fd, next, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            m_failed = true;
            return FileStatus::fromErrno(errno);
        }
        if (written == 0) {
            // No progress and no reason given: the device is as good as full.
            m_failed = true;
            return FileStatus::fromErrno(ENOSPC);
        }
        next += written;
        size -= std::size_t(written);
    }
    return {};
}

FileStatus AtomicFile::finish()
{
    if (m_fd < 0 || m_failed)
        return FileStatus::fromErrno(EBADF);
    if (m_calls.syncToDisk && m_calls.fsync(m_fd) != 0) {
        const int error = errno;
        m_failed = true;
        return FileStatus::fromErrno(error);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        m_failed = true;
        return FileStatus::fromErrno(error);
    }
    m_finished = true;
    return {};
}

FileStatus AtomicFile::commit(bool flushFolder)
{
    if (!m_finished || m_failed)
        return FileStatus::fromErrno(EBADF);
    if (m_calls.rename(m_temp.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        m_failed = true;
        return FileStatus::fromErrno(error);
    }
    m_temp.clear();
    m_finished = false;
    if (flushFolder && m_calls.syncToDisk)
        syncFolder(folderOf(m_target));
    return {};
}

void AtomicFile::cancel()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
    m_finished = false;
}

FileStatus WriteFileAtomically(
    const std::string &target, const void *data, std::size_t size, const FileSystemCalls &calls)
{
    AtomicFile file(target, calls);
    FileStatus status = file.open();
    if (status.ok())
        status = file.write(data, size);
    if (status.ok())
        status = file.finish();
    if (status.ok())
        status = file.commit();
    return status;
}

} // namespace model
