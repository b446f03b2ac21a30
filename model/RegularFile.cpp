#include "model/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace model {

Outcome<ReadableFile> ReadableFile::open(const std::string &fileName)
{
    const auto refused
        = [&fileName](int error) { return Failure::fromErrno(Failure::Kind::CannotRead, fileName, error); };
    ReadableFile file;
    file.m_name = fileName;
    file.m_fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file.m_fd < 0)
        return refused(errno);
    // The kind is checked on what was opened, so a swap in between cannot fool it.
    struct stat info;
    if (::fstat(file.m_fd, &info) != 0)
        return refused(errno);
    if (!S_ISREG(info.st_mode))
        return refused(S_ISDIR(info.st_mode) ? EISDIR : NotRegularFileError);
    // Reads of a regular file never wait anyway; the flag only kept open() from waiting.
    ::fcntl(file.m_fd, F_SETFL, ::fcntl(file.m_fd, F_GETFL) & ~O_NONBLOCK);
    file.m_size = std::uint64_t(info.st_size);
    return file;
}

ReadableFile::ReadableFile(ReadableFile &&other) noexcept
    : m_name(std::move(other.m_name))
    , m_fd(std::exchange(other.m_fd, -1))
    , m_size(other.m_size)
{
}

ReadableFile &ReadableFile::operator=(ReadableFile &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_name = std::move(other.m_name);
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
    }
    return *this;
}

ReadableFile::~ReadableFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Outcome<std::size_t> ReadableFile::readAt(std::span<std::byte> buffer, std::uint64_t offset) const
{
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::pread(m_fd, buffer.data() + done, buffer.size() - done, off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Failure::fromErrno(Failure::Kind::CannotRead, m_name, errno);
        if (got == 0)
            break;
        done += std::size_t(got);
    }
    return done;
}

Outcome<std::string> ReadWholeFile(const std::string &fileName, std::size_t limit)
{
    Outcome<ReadableFile> opened = ReadableFile::open(fileName);
    if (!opened.ok())
        return opened.failure();
    const ReadableFile &file = opened.value();
    const Failure tooLarge = Failure::of(Failure::Kind::FileTooLarge, fileName);
    if (file.size() > limit)
        return tooLarge;
    // One byte more than allowed tells a file that grew past the limit.
    std::string bytes(std::size_t(file.size()) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > limit)
                return tooLarge;
            bytes.resize(std::min(limit + 1, done * 2 + 4096));
        }
        const Outcome<std::size_t> got
            = file.readAt(std::as_writable_bytes(std::span(bytes)).subspan(done), std::uint64_t(done));
        if (!got.ok())
            return got.failure();
        done += got.value();
        if (done < bytes.size())
            break; // the file ended
    }
    if (done > limit)
        return tooLarge;
    bytes.resize(done);
    return bytes;
}

} // namespace model
