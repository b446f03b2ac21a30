#include "model/FolderLock.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace model {

std::string FolderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

Outcome<FolderLock> FolderLock::acquire(const std::string &fileName, std::chrono::milliseconds patience)
{
    FolderLock lock;
    // The folder itself is locked: no lock file is left lying beside the user's files.
    lock.m_fd = ::open(FolderOf(fileName).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock.m_fd < 0)
        return lock;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        if (::flock(lock.m_fd, LOCK_EX | LOCK_NB) == 0)
            return lock;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            ::close(std::exchange(lock.m_fd, -1));
            return lock;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return Failure::fromErrno(Failure::Kind::CannotWrite, fileName, EAGAIN);
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

FolderLock::FolderLock(FolderLock &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{
}

FolderLock &FolderLock::operator=(FolderLock &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FolderLock::~FolderLock()
{
    // Closing the last descriptor releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace model
