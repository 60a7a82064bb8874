#pragma once
// What a step that can fail hands back: its value, or why it failed as an
// error number (errno, or 0 where the fault has none) and one line of text
// for the log. Ignoring one is a build error, so a failure that changes what
// happens next cannot be dropped by accident.

#include <cerrno>
#include <string>
#include <utility>
#include <variant>

namespace korva {

struct Error {
    int code = 0;      // errno, or 0
    std::string text;  // one line, English

    // "<what>: <strerror(code)>"
    [[nodiscard]] static Error fromErrno(int code, const std::string& what);
    // The errno at the call, as fromErrno().
    [[nodiscard]] static Error fromLastErrno(const std::string& what) { return fromErrno(errno, what); }
    [[nodiscard]] static Error withText(std::string text, int code = 0) { return Error{code, std::move(text)}; }
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

    [[nodiscard]] bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    [[nodiscard]] T& value() & { return std::get<0>(state_); }
    [[nodiscard]] const T& value() const& { return std::get<0>(state_); }
    [[nodiscard]] T&& value() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    [[nodiscard]] T valueOr(T fallback) const& { return ok() ? value() : std::move(fallback); }

    [[nodiscard]] const Error& error() const { return std::get<1>(state_); }
    [[nodiscard]] int code() const { return ok() ? 0 : error().code; }

private:
    std::variant<T, Error> state_;
};

// A step with nothing to hand back but success.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)), failed_(true) {}

    [[nodiscard]] bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    [[nodiscard]] const Error& error() const { return error_; }
    [[nodiscard]] int code() const { return failed_ ? error_.code : 0; }

private:
    Error error_;
    bool failed_ = false;
};

// 0 or an errno from a POSIX-style call, as a Result.
[[nodiscard]] inline Result<void> resultOfErrno(int code, const std::string& what)
{
    if (code == 0)
        return {};
    return Error::fromErrno(code, what);
}

}  // namespace korva
