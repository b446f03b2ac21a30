#include "model/AtomicFile.h"

#include "model/FolderLock.h"

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

// The kernel's fs.protected_symlinks rule for open(): a link in a sticky,
// world-writable folder is followed only when its owner is the user or the
// folder's owner, so a link planted there by someone else cannot redirect a save.
bool mayFollow(const std::string &link, const struct stat &linkInfo)
{
    struct stat folder;
    if (::stat(FolderOf(link).c_str(), &folder) != 0)
        return true;
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return !shared || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == folder.st_uid;
}

// A link is replaced through to the file it points at, not turned into a
// file itself. Followed one link at a time, each checked as open() would.
// Gives 0 or the reason the chain cannot be followed.
int resolveLinks(std::string &path)
{
    constexpr int MaxLinks = 40; // as the kernel allows
    for (int followed = 0;; ++followed) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return 0;
        if (followed == MaxLinks)
            return ELOOP;
        if (!mayFollow(path, info))
            return EACCES;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return errno;
        target.resize(std::size_t(length));
        path = target.starts_with('/') ? target : FolderOf(path) + "/" + target;
    }
}

// Replacing a file by rename needs the folder writable, and in a sticky
// folder the file or the folder owned by the user; root is exempt from both.
int renameForbidden(const std::string &path, const struct stat &file)
{
    const std::string folder = FolderOf(path);
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return errno;
    struct stat folderInfo;
    if (::geteuid() == 0 || ::stat(folder.c_str(), &folderInfo) != 0 || !(folderInfo.st_mode & S_ISVTX))
        return 0;
    return file.st_uid == ::geteuid() || folderInfo.st_uid == ::geteuid() ? 0 : EPERM;
}

// Whether the old file may be moved to its backup name: nothing stands
// there, or a file (or link) that may be replaced.
int backupForbidden(const std::string &backup)
{
    struct stat info;
    if (::lstat(backup.c_str(), &info) != 0)
        return errno == ENOENT ? 0 : errno;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    return renameForbidden(backup, info);
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

// A whole copy of a file, flushed to disk, in a new file; gives 0 or the reason it failed.
int copyFile(const std::string &from, const std::string &to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    int error = out < 0 ? errno : 0;
    struct stat info;
    if (!error && ::fstat(in, &info) == 0)
        ::fchmod(out, info.st_mode & 07777);
    char buffer[1 << 16];
    while (!error) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            error = got < 0 ? errno : (::fsync(out) != 0 ? errno : 0);
            break;
        }
        for (ssize_t done = 0; !error && done < got;) {
            const ssize_t put = ::write(out, buffer + done, std::size_t(got - done));
            if (put < 0 && errno != EINTR)
                error = errno;
            else if (put == 0)
                error = ENOSPC;
            done += put > 0 ? put : 0;
        }
    }
    ::close(in);
    if (out >= 0 && ::close(out) != 0 && !error)
        error = errno;
    if (error && out >= 0)
        ::unlink(to.c_str());
    return error;
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
    std::string resolved = target;
    if (const int error = resolveLinks(resolved))
        return refused(error);
    struct stat info;
    if (::lstat(resolved.c_str(), &info) != 0) {
        // Nothing there yet: only a name given directly may be created.
        if (errno == ENOENT && resolved == target)
            return {};
        return refused(errno);
    }
    if (S_ISDIR(info.st_mode))
        return refused(EISDIR);
    if (!S_ISREG(info.st_mode))
        return refused(NotRegularFileError);
    // Renaming over a file needs only the folder writable; the file's own protection is honoured here.
    if (::faccessat(AT_FDCWD, resolved.c_str(), W_OK, AT_EACCESS) != 0)
        return refused(errno);
    if (const int error = renameForbidden(resolved, info))
        return refused(error);
    return {};
}

std::string BackupFileName(const std::string &target)
{
    return target + "~";
}

AtomicFile::AtomicFile(std::string target, FileSystemCalls calls, Backup backup)
    : m_name(std::move(target))
    , m_target(m_name)
    , m_backup(backup)
    , m_calls(std::move(calls))
{
    m_resolveError = resolveLinks(m_target);
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

std::string AtomicFile::newTemporaryName() const
{
    return FolderOf(m_target) + "/" + temporaryPrefix(m_target) + uniqueSuffix() + ".tmp";
}

// Every rule the renames of a commit can fail on, checked before anything is renamed.
Outcome<> AtomicFile::checkTargets()
{
    if (m_resolveError)
        return failed(m_resolveError);
    // The name as given: a link is checked link by link, and a broken one refused.
    if (Outcome<> checked = CheckReplaceable(m_name); !checked.ok())
        return failed(checked.failure().error);
    struct stat old;
    if (m_backup == Backup::Keep && ::lstat(m_target.c_str(), &old) == 0) {
        if (const int error = backupForbidden(BackupFileName(m_target)))
            return failed(error);
    }
    return {};
}

Outcome<> AtomicFile::open()
{
    if (Outcome<> checked = checkTargets(); !checked.ok())
        return checked;
    removeStaleTemporaries(FolderOf(m_target), m_target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = newTemporaryName();
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
    Outcome<> done = replace();
    return done.ok() ? keepBackup(flushFolder) : done;
}

Outcome<> AtomicFile::replace()
{
    if (!m_finished || m_failed)
        return failed(EBADF);
    if (Outcome<> checked = checkTargets(); !checked.ok())
        return checked;
    struct stat old;
    m_hadTarget = ::lstat(m_target.c_str(), &old) == 0;
    // The old file stays reachable under a second name until the new one is in place.
    if (m_hadTarget && m_backup == Backup::Keep) {
        std::string held = newTemporaryName();
        if (::link(m_target.c_str(), held.c_str()) != 0) {
            // File systems without hard links get a copy instead.
            const bool noLinks = errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK || errno == ENOSYS;
            if (!noLinks)
                return failed(errno);
            if (const int error = copyFile(m_target, held))
                return failed(error);
        }
        m_oldTemp = std::move(held);
    }
    if (m_calls.rename(m_temp.c_str(), m_target.c_str()) != 0) {
        const int error = errno;
        dropOld();
        return failed(error);
    }
    m_temp.clear();
    m_finished = false;
    m_replaced = true;
    return {};
}

Outcome<> AtomicFile::keepBackup(bool flushFolder)
{
    if (!m_replaced)
        return failed(EBADF);
    if (!m_oldTemp.empty() && ::rename(m_oldTemp.c_str(), BackupFileName(m_target).c_str()) != 0) {
        const int error = errno;
        undo();
        return failed(error);
    }
    m_oldTemp.clear();
    m_replaced = false;
    if (flushFolder)
        SyncFolder(FolderOf(m_target), m_calls);
    return {};
}

Outcome<> AtomicFile::undo()
{
    if (!m_replaced)
        return failed(EBADF);
    m_replaced = false;
    // Without a backup there is no old file held: only a file that was not there before can be undone.
    const int undone = !m_oldTemp.empty() ? ::rename(m_oldTemp.c_str(), m_target.c_str())
        : !m_hadTarget                    ? ::unlink(m_target.c_str())
                                          : (errno = EEXIST, -1);
    if (undone != 0)
        return failed(errno);
    m_oldTemp.clear();
    return {};
}

void AtomicFile::dropOld()
{
    if (!m_oldTemp.empty()) {
        ::unlink(m_oldTemp.c_str());
        m_oldTemp.clear();
    }
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
    dropOld();
    m_finished = false;
}

void SyncFolder(const std::string &folder, const FileSystemCalls &calls)
{
    if (!calls.syncToDisk)
        return;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

Outcome<> WriteFileAtomically(
    const std::string &target, const std::function<Outcome<>(AtomicFile &)> &writeContent, const FileSystemCalls &calls,
    Backup backup)
{
    AtomicFile file(target, calls, backup);
    Outcome<> done = file.open();
    if (done.ok())
        done = writeContent(file);
    if (done.ok())
        done = file.finish();
    if (done.ok())
        done = file.commit();
    return done;
}

Outcome<> WriteFileAtomically(
    const std::string &target, std::span<const std::byte> data, const FileSystemCalls &calls, Backup backup)
{
    return WriteFileAtomically(
        target, [data](AtomicFile &file) { return file.write(data); }, calls, backup);
}

} // namespace model
