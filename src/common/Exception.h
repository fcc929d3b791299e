#pragma once

#include <cstdarg>
#include <cstdint>
#include <exception>
#include <string>

namespace netsim {

// The engine's error type. Every message the engine raises is a printf format with a fixed
// text, so the host can show it verbatim; the location (function, file, line) is fixed per
// raise site rather than taken from the compiler, so it stays stable across refactorings.
class Exception : public std::exception {
public:
    static constexpr std::size_t kMessageBufferSize = 1024;

    // Located form: file is the logical source name, e.g. "simulator/Simulator".
    Exception(const char* file, const char* function, int32_t line, const char* format, ...)
        __attribute__((format(printf, 5, 6)));

    // Message-only form: function and file stay empty, line is 0.
    explicit Exception(const char* format, ...) __attribute__((format(printf, 2, 3)));

    ~Exception() override = default;
    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;

    const char* what() const noexcept override { return message_.c_str(); }

    const std::string& function() const { return function_; }
    const std::string& file() const { return file_; }
    int32_t line() const { return line_; }
    const std::string& message() const { return message_; }

    // Builds an exception whose message is taken as text, never as a format; used where a
    // message is composed from user-controlled names that may contain '%'.
    static Exception withText(const char* file, const char* function, int32_t line,
                              const std::string& text);

private:
    Exception() = default;
    void format(const char* format, va_list args);

    std::string function_;
    std::string file_;
    int32_t line_ = 0;
    std::string message_;
    std::string detail_;  // a second text that no raise site fills; copied with the rest
};

// Raised by the operating-system layer; carries a message only.
class PlatformException : public Exception {
public:
    explicit PlatformException(const char* message) : Exception("%s", message) {}
};

}  // namespace netsim
