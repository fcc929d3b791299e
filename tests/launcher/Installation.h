#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"

namespace appstart::test {

// What a finished program left behind.
struct ProgramRun {
    int status = -1;             // exit status, or 128 + signal number
    std::string output;          // standard output
    std::string errorOutput;     // standard error
    bool leftProcessesBehind = false; // a descendant outlived the program
};

// Runs `arguments` (the first names the program) from `workingDirectory` with
// the caller's environment in the C locale, and waits for it. The calling
// process adopts orphaned descendants, so a program that ends without waiting
// for its children is caught in the act.
ProgramRun runProgram(const std::vector<std::string>& arguments, const std::filesystem::path& workingDirectory);

// An installation directory holding a copy of the built launcher. The runtime
// is whatever a test puts under jre/.
class Installation {
public:
    // Creates `directory` (and its parents) and copies the launcher into it as
    // `launcherName`.
    explicit Installation(const std::filesystem::path& directory, const std::string& launcherName = "appstart");

    // The installation directory with a trailing separator, as the launcher
    // forms it.
    std::string base() const;
    const std::filesystem::path& launcher() const { return launcher_; }
    std::filesystem::path runtime() const;

    // Installs a script as the runtime that records its arguments and working
    // directory and then runs `ending` (for example "exit 3").
    void installRecordingRuntime(const std::string& ending = "exit 0");

    bool runtimeStarted() const;
    std::vector<std::string> recordedArguments() const;
    std::filesystem::path recordedWorkingDirectory() const;

    // The arguments the runtime must receive after its program name.
    std::vector<std::string> expectedArguments(const std::string& archiveName,
                                               const std::vector<std::string>& launcherArguments) const;

    ProgramRun run(const std::vector<std::string>& arguments, const std::filesystem::path& from) const;

private:
    std::filesystem::path directory_;
    std::filesystem::path launcher_;
};

// Creates nested directories below `root` such that a file named `fileName`
// in the innermost one has a path of exactly `pathLength` characters, and
// returns that innermost directory.
std::filesystem::path directoryForPathLength(const std::filesystem::path& root, std::size_t pathLength,
                                             std::size_t fileNameLength);

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& contents);

} // namespace appstart::test
