#pragma once
// A scratch folder per test, whole-file and little-endian byte helpers, and a
// scoped file-size limit. Plain C++: the tests of the UI-free core use it too.

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "purlwise-test-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path &path() const { return m_path; }
    std::string file(const std::string &name) const { return (m_path / name).string(); }
    // Every name in the folder, to catch left-over temporary files.
    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto &entry : fs::directory_iterator(m_path))
            result.push_back(entry.path().filename().string());
        std::sort(result.begin(), result.end());
        return result;
    }

private:
    fs::path m_path;
};

inline std::string readBytes(const std::string &name)
{
    std::ifstream in(name, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

inline void writeBytes(const std::string &name, const std::string &bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

inline void putLe32(std::string &bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(char(value >> (8 * i)));
}

inline std::uint32_t le32At(const std::string &bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t(std::uint8_t(bytes[offset + i])) << (8 * i);
    return value;
}

// Lowers the soft RLIMIT_FSIZE for its lifetime, with SIGXFSZ ignored so that an
// oversized write fails with EFBIG instead of killing the test. Restored on every
// way out, so a failing assertion cannot leave the rest of the run limited.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_active = ::getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        if (!m_active)
            return;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_active = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
        if (!m_active)
            std::signal(SIGXFSZ, m_oldHandler);
    }
    ~FileSizeLimit() { lift(); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // False when the limit could not be set; the test should then fail.
    bool active() const { return m_active; }
    // Ends the limit early, before the test inspects what was written.
    void lift()
    {
        if (!m_active)
            return;
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
        m_active = false;
    }

private:
    rlimit m_saved {};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_active = false;
};

// Runs body(copy) in `copies` child processes, released at the same moment
// as copies of the program would run; true when every one returned true.
inline bool runTogether(int copies, const std::function<bool(int copy)> &body)
{
    int start[2];
    if (::pipe(start) != 0)
        return false;
    std::vector<pid_t> children;
    for (int copy = 0; copy < copies; ++copy) {
        char go;
        if (const pid_t child = ::fork(); child != 0)
            children.push_back(child);
        else if (::close(start[1]) == 0 && ::read(start[0], &go, 1) == 0) // the pipe's end releases them
            ::_exit(body(copy) ? 0 : 1);
    }
    ::close(start[0]);
    ::close(start[1]);
    int status = 0, failed = 0;
    for (const pid_t child : children)
        failed += ::waitpid(child, &status, 0) != child || status != 0;
    return failed == 0;
}
