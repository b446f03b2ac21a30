#pragma once
// Reading files the user chose: only regular files are read, and opening
// never waits (a named pipe would block until a writer came).

#include <cstddef>
#include <string>

namespace model {

// Opens an existing regular file for reading. Returns the descriptor, or -1
// with error set: errno, EISDIR for a folder, NotRegularFileError for other
// kinds of file.
int OpenRegularFile(const std::string &fileName, int &error);

struct FileContent {
    bool missing = false; // there is no such file
    int error = 0; // why it could not be read
    bool tooLarge = false; // larger than the limit; nothing was read
    std::string bytes;
    bool ok() const { return !missing && error == 0 && !tooLarge; }
};

// Reads a whole regular file of at most limit bytes.
FileContent ReadRegularFile(const std::string &fileName, std::size_t limit);

} // namespace model
