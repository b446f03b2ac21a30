#pragma once
// The yarn list file "Popupfile": per yarn its name bytes, 0x00, a line feed
// and the four colour bytes (red first), written as text, so every 0x0A byte,
// colour bytes included, is stored as 0x0D 0x0A. No header, no count; an
// empty list is an empty file. Names are byte strings in the caller's code page.

#include "model/AtomicFile.h"
#include "model/Pattern.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace model {

struct Yarn {
    std::string Name;
    TColor Color = White;
    bool operator==(const Yarn &) const = default;
};

using YarnList = std::vector<Yarn>;

// The reader keeps at most this many bytes of a name line, its line feed
// included, so names of up to 47 bytes survive whole.
inline constexpr std::size_t YarnLineLimit = 49;

// The bytes as they go on disk.
std::string EncodeYarnList(const YarnList &yarns);
// Reads the bytes as they are on disk. A record cut short at the end is
// dropped; a name line longer than the limit is cut, and the rest of that line
// skipped so the records after it still read correctly.
YarnList DecodeYarnList(std::string_view bytes);

// No one keeps a megabyte of yarn names, or a menu of more than ten thousand
// yarns; a larger list is refused, since filling the menu with it would take
// minutes (the menu's cost grows with the square of its items).
inline constexpr std::size_t YarnListFileLimit = std::size_t(1) << 20;
inline constexpr std::size_t YarnListCountLimit = 10000;

// A missing file is an empty list; a file that cannot be read, is not a
// regular file or is over either limit (FileTooLarge) gives no list.
Outcome<YarnList> ReadYarnListFile(const std::string &fileName);
// Replaces the file atomically; on failure the old file stays as it was.
Outcome<> WriteYarnListFile(
    const std::string &fileName, const YarnList &yarns, const FileSystemCalls &calls = FileSystemCalls::system());

// One Add or Delete, applied to the list as the file holds it at that moment.
using YarnChange = std::function<void(YarnList &)>;
// Another copy of the program may have changed the file since it was read:
// under the folder's lock, reads the file again (missing means empty),
// applies change and writes the result atomically. A list that would pass a
// read limit is not written (CannotWrite with EFBIG), so the file stays
// readable. Gives the list as the file now holds it.
Outcome<YarnList> UpdateYarnListFile(
    const std::string &fileName, const YarnChange &change, const FileSystemCalls &calls = FileSystemCalls::system());
// Removes the yarn at position if it is yarn, or else the first one equal to
// yarn (the other copy may have moved it); nothing when there is none.
void RemoveYarn(YarnList &yarns, std::size_t position, const Yarn &yarn);

} // namespace model
