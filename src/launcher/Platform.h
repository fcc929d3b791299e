#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace appstart {

class CommandLine;

// The parts of a path as the launcher splits it, each in a buffer of fixed size.
// The drive part stays empty on systems without drives.
struct PathParts {
    char drive[3] = {};
    char directory[256] = {};
    char name[256] = {};
    char extension[256] = {};
};

// Outcome of asking for the launcher's own path: `length` is the length of the
// path, at least the buffer's size when it did not fit; `error` is a system
// error code (0 on success).
struct ModulePath {
    std::size_t length = 0;
    int error = 0;
};

using ProcessId = std::int64_t;

// Outcome of starting a process: `error` is 0 and `process` names it when it
// started, otherwise `error` is the system error code.
struct ProcessStart {
    ProcessId process = 0;
    int error = 0;
};

// The operating-system services the launcher needs. Keeping them behind this
// interface lets the launcher's decisions be exercised without an operating
// system that fails on request.
class Platform {
public:
    virtual ~Platform() = default;

    // Writes the launcher's own full path into `buffer`, truncated and
    // terminated when it does not fit.
    virtual ModulePath moduleFileName(char* buffer, std::size_t size) = 0;

    // Splits `path` into its parts; false when a part does not fit its buffer.
    virtual bool splitPath(const char* path, PathParts& parts) = 0;

    // Starts the program named by the first argument of `commandLine` with the
    // caller's environment, in `workingDirectory`, inheriting nothing but the
    // standard streams.
    virtual ProcessStart createProcess(CommandLine& commandLine, const char* workingDirectory) = 0;

    // Waits without a time limit until `process` has ended.
    virtual void waitForProcess(ProcessId process) = 0;

    // The system's text for an error code in the user's language, if it has one.
    virtual std::optional<std::string> systemErrorText(int code) = 0;

    // Reports to the user; every report of the launcher is an error.
    virtual void messageBox(const char* text, const char* caption) = 0;
};

} // namespace appstart
