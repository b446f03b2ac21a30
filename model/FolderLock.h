#pragma once
// An advisory lock on a folder that copies of the program take around every
// change of a file in it, so two copies saving at once take turns instead of
// mixing their files or undoing each other's changes.

#include "model/Outcome.h"

#include <chrono>
#include <string>

namespace model {

class FolderLock {
public:
    // Waits up to `patience` for the folder holding `fileName`. A folder that
    // cannot be opened or locked at all (no read permission, a file system
    // without locks) is worked in unlocked, as before; only a lock still held
    // by another copy when the time is up fails, with CannotWrite and EAGAIN
    // naming fileName.
    static Outcome<FolderLock> acquire(
        const std::string &fileName, std::chrono::milliseconds patience = std::chrono::seconds(60));

    FolderLock() = default;
    FolderLock(FolderLock &&other) noexcept;
    FolderLock &operator=(FolderLock &&other) noexcept;
    ~FolderLock();

private:
    int m_fd = -1;
};

// The folder a file name lies in, "." for a bare name.
std::string FolderOf(const std::string &path);

} // namespace model
