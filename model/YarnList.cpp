#include "model/YarnList.h"

#include "model/FolderLock.h"
#include "model/RegularFile.h"

#include <algorithm>
#include <cerrno>

namespace model {

namespace {

// Text-mode writing: a line feed goes to disk as carriage return and line feed.
void appendAsText(std::string &out, char byte)
{
    if (byte == '\n')
        out += '\r';
    out += byte;
}

// Text-mode reading: only a carriage return directly before a line feed is dropped.
std::string fromText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        text += bytes[i];
    }
    return text;
}

} // namespace

std::string EncodeYarnList(const YarnList &yarns)
{
    std::string out;
    for (const Yarn &yarn : yarns) {
        for (char byte : yarn.Name)
            appendAsText(out, byte);
        out += '\0';
        appendAsText(out, '\n');
        for (int shift = 0; shift < 32; shift += 8)
            appendAsText(out, char((yarn.Color >> shift) & 0xFF));
    }
    return out;
}

YarnList DecodeYarnList(std::string_view bytes)
{
    const std::string text = fromText(bytes);
    const std::string_view rest(text);
    YarnList yarns;
    std::size_t pos = 0;
    while (pos < rest.size()) {
        const std::string_view window = rest.substr(pos, YarnLineLimit);
        const std::size_t lineFeed = window.find('\n');
        const std::string_view line = lineFeed == std::string_view::npos ? window : window.substr(0, lineFeed);
        pos += line.size();
        if (lineFeed != std::string_view::npos) {
            ++pos;
        } else {
            // Too long a line: what the reader did not keep must not be taken for the colour.
            const std::size_t end = rest.find('\n', pos);
            pos = end == std::string_view::npos ? rest.size() : end + 1;
        }
        if (rest.size() - pos < 4)
            break;
        Yarn yarn;
        yarn.Name = std::string(line.substr(0, line.find('\0')));
        yarn.Color = 0;
        for (int i = 0; i < 4; ++i)
            yarn.Color |= TColor(static_cast<unsigned char>(rest[pos + i])) << (8 * i);
        pos += 4;
        yarns.push_back(std::move(yarn));
    }
    return yarns;
}

Outcome<YarnList> ReadYarnListFile(const std::string &fileName)
{
    const Outcome<std::string> read = ReadWholeFile(fileName, YarnListFileLimit);
    if (!read.ok())
        return read.failure().missingFile() ? Outcome<YarnList>() : read.failure();
    YarnList yarns = DecodeYarnList(read.value());
    if (yarns.size() > YarnListCountLimit)
        return Failure::of(Failure::Kind::FileTooLarge, fileName);
    return yarns;
}

Outcome<> WriteYarnListFile(const std::string &fileName, const YarnList &yarns, const FileSystemCalls &calls)
{
    const std::string bytes = EncodeYarnList(yarns);
    return WriteFileAtomically(fileName, std::as_bytes(std::span(bytes)), calls);
}

Outcome<YarnList> UpdateYarnListFile(const std::string &fileName, const YarnChange &change, const FileSystemCalls &calls)
{
    const Outcome<FolderLock> lock = FolderLock::acquire(fileName);
    if (!lock.ok())
        return lock.failure();
    Outcome<YarnList> yarns = ReadYarnListFile(fileName);
    if (!yarns.ok())
        return yarns;
    if (change)
        change(yarns.value());
    const std::string bytes = EncodeYarnList(yarns.value());
    if (yarns.value().size() > YarnListCountLimit || bytes.size() > YarnListFileLimit)
        return Failure::fromErrno(Failure::Kind::CannotWrite, fileName, EFBIG);
    const Outcome<> written = WriteFileAtomically(fileName, std::as_bytes(std::span(bytes)), calls);
    if (!written.ok())
        return written.failure();
    return yarns;
}

void RemoveYarn(YarnList &yarns, std::size_t position, const Yarn &yarn)
{
    if (position < yarns.size() && yarns[position] == yarn) {
        yarns.erase(yarns.begin() + std::ptrdiff_t(position));
        return;
    }
    if (const auto found = std::find(yarns.begin(), yarns.end(), yarn); found != yarns.end())
        yarns.erase(found);
}

} // namespace model
