#include "model/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string_view>
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

// The name of a temporary file is "." + target name + "." + pid-seed-counter + ".tmp".
std::string temporaryPrefix(const std::string &target)
{
    // Shortened so that a long target name still leaves room for the suffix.
    return "." + target.substr(target.rfind('/') + 1).substr(0, 100) + ".";
}

bool allDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The process that made a temporary file of this program's, or 0 for any other name.
pid_t temporaryOwner(std::string_view name, std::string_view prefix)
{
    constexpr std::string_view Suffix = ".tmp";
    if (!name.starts_with(prefix) || !name.ends_with(Suffix))
        return 0;
    std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - Suffix.size());
    const auto first = middle.find('-'), second = middle.rfind('-');
    if (first == std::string_view::npos || first == second || !allDigits(middle.substr(0, first))
        || !allDigits(middle.substr(first + 1, second - first - 1)) || !allDigits(middle.substr(second + 1))
        || first > 9)
        return 0;
    return pid_t(std::stol(std::string(middle.substr(0, first))));
}

// A save killed half-way leaves its temporary file behind; the next save of
// the same target clears those whose process no longer runs, and nothing else.
void removeStaleTemporaries(const std::string &folder, const std::string &target)
{
    DIR *listing = ::opendir(folder.c_str());
    if (!listing)
        return;
    const std::string prefix = temporaryPrefix(target);
    while (const dirent *entry = ::readdir(listing)) {
        const pid_t owner = temporaryOwner(entry->d_name, prefix);
        if (owner <= 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        struct stat info;
        if (::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
    ::closedir(listing);
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

Outcome<> CheckReplaceable(const std::string &target)
{
    const auto refused = [&target](int error) { return Failure::fromErrno(Failure::Kind::CannotWrite, target, error); };
    struct stat info;
    if (::lstat(target.c_str(), &info) != 0)
        return errno == ENOENT ? Outcome<> {} : refused(errno);
    if (::stat(target.c_str(), &info) != 0)
        return refused(errno);
    if (S_ISDIR(info.st_mode))
        return refused(EISDIR);
    if (!S_ISREG(info.st_mode))
        return refused(NotRegularFileError);
    // Renaming over a file needs only the folder writable; the file's own protection is honoured here.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return refused(errno);
    return {};
}

AtomicFile::AtomicFile(std::string target, FileSystemCalls calls)
    : m_name(std::move(target))
    , m_target(resolveLink(m_name))
    , m_calls(std::move(calls))
{
}

// Failures name the target as the caller gave it, so a message names the link chosen.
Outcome<> AtomicFile::failed(int error)
{
    m_failed = true;
    return Failure::fromErrno(Failure::Kind::CannotWrite, m_name, error);
}

AtomicFile::~AtomicFile()
{
    cancel();
}

Outcome<> AtomicFile::open()
{
    if (Outcome<> checked = CheckReplaceable(m_target); !checked.ok())
        return failed(checked.failure().error);
    const std::string folder = folderOf(m_target);
    removeStaleTemporaries(folder, m_target);
    const std::string prefix = temporaryPrefix(m_target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = folder + "/" + prefix + uniqueSuffix() + ".tmp";
        // 0666 lets the umask decide, as for any newly created file.
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return failed(errno);
        }
        m_fd = fd;
        m_temp = std::move(temp);
        struct stat old;
        if (::stat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
            ::fchmod(m_fd, old.st_mode & 07777);
        return {};
    }
    return failed(EEXIST);
}

Outcome<> AtomicFile::write(std::span<const std::byte> data)
{
    if (m_fd < 0 || m_failed)
        return failed(EBADF);
    while (!data.empty()) {
        const ssize_t written = m_calls.write(m_fd, data.data(), data.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return failed(errno);
        // No progress and no reason given: the device is as good as full.
        if (written == 0)
            return failed(ENOSPC);
        data = data.subspan(std::size_t(written));
    }
    return {};
}

Outcome<> AtomicFile::finish()
{
    if (m_fd < 0 || m_failed)
        return failed(EBADF);
    if (m_calls.syncToDisk && m_calls.fsync(m_fd) != 0)
        return failed(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return failed(errno);
    m_finished = true;
    return {};
}

Outcome<> AtomicFile::commit(bool flushFolder)
{
    if (!m_finished || m_failed)
        return failed(EBADF);
    if (Outcome<> checked = CheckReplaceable(m_target); !checked.ok())
        return failed(checked.failure().error);
    if (m_calls.rename(m_temp.c_str(), m_target.c_str()) != 0)
        return failed(errno);
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

Outcome<> WriteFileAtomically(
    const std::string &target, const std::function<Outcome<>(AtomicFile &)> &writeContent, const FileSystemCalls &calls)
{
    AtomicFile file(target, calls);
    Outcome<> done = file.open();
    if (done.ok())
        done = writeContent(file);
    if (done.ok())
        done = file.finish();
    if (done.ok())
        done = file.commit();
    return done;
}

Outcome<> WriteFileAtomically(const std::string &target, std::span<const std::byte> data, const FileSystemCalls &calls)
{
    return WriteFileAtomically(
        target, [data](AtomicFile &file) { return file.write(data); }, calls);
}

} // namespace model
