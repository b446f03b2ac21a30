#pragma once
// The one way the program reads files the user chose: only regular files are
// read, opening never waits (a named pipe would block until a writer came),
// and every failure says which file and why.

#include "model/Outcome.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace model {

// A regular file open for reading; closed when it goes.
class ReadableFile {
public:
    // Fails with CannotRead: errno, EISDIR for a folder, NotRegularFileError
    // for other kinds of file.
    static Outcome<ReadableFile> open(const std::string &fileName);

    ReadableFile() = default;
    ReadableFile(ReadableFile &&other) noexcept;
    ReadableFile &operator=(ReadableFile &&other) noexcept;
    ~ReadableFile();

    const std::string &name() const { return m_name; }
    std::uint64_t size() const { return m_size; }
    // Fills buffer from offset on, or as much of it as the file holds; gives
    // the number of bytes read.
    Outcome<std::size_t> readAt(std::span<std::byte> buffer, std::uint64_t offset) const;

private:
    std::string m_name;
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

// Reads a whole regular file of at most limit bytes. A missing file fails
// with CannotRead and ENOENT, a larger one with FileTooLarge.
Outcome<std::string> ReadWholeFile(const std::string &fileName, std::size_t limit);

} // namespace model
