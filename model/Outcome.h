#pragma once
// How every fallible operation of the model reports back: the value it made,
// or a Failure that holds what a message about it needs. The model never
// words a message; the windows turn a Failure into one in one place.

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace model {

// An error number of the program's own, beside the system's: the file
// exists but is a named pipe, device or socket, which a save must not replace
// and an open must not wait on.
inline constexpr int NotRegularFileError = -1;

struct Failure {
    enum class Kind {
        NoPattern, // there is no pattern to work on
        EmptyResult, // a halving would leave a count of 0: stitchCount x rowCount
        TooLarge, // the counts stitchCount x rowCount pass the program's limits
        OutOfMemory,
        CannotRead, // fileName could not be read; error says why
        FileTooLarge, // fileName is over its size limit; nothing was read
        Damaged, // fileName is cut short or is not a pattern file
        CannotWrite, // fileName could not be written; error says why
    };
    Kind kind = Kind::Damaged;
    int error = 0; // errno or NotRegularFileError
    std::string fileName; // as the system names it
    std::int64_t stitchCount = 0;
    std::int64_t rowCount = 0;
    // A pattern file that could not be written after its notes file was replaced.
    bool notesReplaced = false;

    // A file that is not there at all, which some readers take as empty.
    bool missingFile() const { return kind == Kind::CannotRead && error == ENOENT; }

    static Failure of(Kind kind, std::string fileName = {});
    static Failure fromErrno(Kind kind, std::string fileName, int error);
    static Failure tooLarge(std::int64_t stitchCount, std::int64_t rowCount, std::string fileName = {});
};

// Either a value or why there is none. Outcome<> is for operations that only
// succeed or fail. Code outside the model with failures of its own, such as
// the picture readers, names its failure type instead.
template <typename T = std::monostate, typename F = Failure> class Outcome {
public:
    Outcome() = default;
    Outcome(T value)
        : m_value(std::move(value))
    {
    }
    Outcome(F failure)
        : m_failure(std::move(failure))
    {
    }

    bool ok() const { return !m_failure; }
    // Precondition for both: ok() says which one holds.
    T &value() { return m_value; }
    const T &value() const { return m_value; }
    const F &failure() const { return *m_failure; }

private:
    T m_value {};
    std::optional<F> m_failure;
};

inline Failure Failure::of(Kind kind, std::string fileName)
{
    Failure failure;
    failure.kind = kind;
    failure.fileName = std::move(fileName);
    return failure;
}

inline Failure Failure::fromErrno(Kind kind, std::string fileName, int error)
{
    Failure failure = of(kind, std::move(fileName));
    // A call that failed without saying why still failed.
    failure.error = error == 0 ? EIO : error;
    return failure;
}

inline Failure Failure::tooLarge(std::int64_t stitchCount, std::int64_t rowCount, std::string fileName)
{
    Failure failure = of(Kind::TooLarge, std::move(fileName));
    failure.stitchCount = stitchCount;
    failure.rowCount = rowCount;
    return failure;
}

} // namespace model
