#include "model/RegularFile.h"

#include "model/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace model {

int OpenRegularFile(const std::string &fileName, int &error)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    // The kind is checked on what was opened, so a swap in between cannot fool it.
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        error = errno;
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : NotRegularFileError;
        ::close(fd);
        return -1;
    }
    // Reads of a regular file never wait anyway; the flag only kept open() from waiting.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

FileContent ReadRegularFile(const std::string &fileName, std::size_t limit)
{
    FileContent content;
    int error = 0;
    const int fd = OpenRegularFile(fileName, error);
    if (fd < 0) {
        if (error == ENOENT)
            content.missing = true;
        else
            content.error = error;
        return content;
    }
    struct stat info;
    if (::fstat(fd, &info) == 0 && std::size_t(info.st_size) > limit) {
        ::close(fd);
        content.tooLarge = true;
        return content;
    }
    // One byte more than allowed tells a file that grew past the limit.
    content.bytes.resize(std::size_t(info.st_size) + 1);
    std::size_t done = 0;
    for (;;) {
        if (done == content.bytes.size()) {
            if (done > limit)
                break;
            content.bytes.resize(std::min(limit + 1, done * 2 + 4096));
        }
        const ssize_t got = ::read(fd, content.bytes.data() + done, content.bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            content.error = errno;
            break;
        }
        if (got == 0)
            break;
        done += std::size_t(got);
    }
    ::close(fd);
    if (content.error != 0 || done > limit) {
        content.tooLarge = content.error == 0;
        content.bytes.clear();
        return content;
    }
    content.bytes.resize(done);
    return content;
}

} // namespace model
