#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace appstart {

// The argument vector of the process to start, kept in one block of fixed size
// in which every argument ends with a NUL, the form in which the kernel hands
// arguments to a program. Like any formatting into a fixed buffer, an argument
// that does not fit is truncated to what fits and the arguments after it are
// dropped; the truncated vector is used unchanged.
class CommandLine {
public:
    static constexpr std::size_t capacity = 0x8000;

    CommandLine() = default;
    // The block is large and argument vectors point into it: neither copy nor move.
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // Formats one argument printf-style onto the end of the vector.
    void append(const char* format, ...) __attribute__((format(printf, 2, 3)));

    std::vector<std::string_view> arguments() const;

    // NUL-terminated pointer vector for exec-style calls; valid while this
    // object lives and is not appended to.
    std::vector<char*> argumentVector();

private:
    std::array<char, capacity> block_{};
    std::size_t used_ = 0;
    std::vector<std::size_t> starts_;
};

} // namespace appstart
