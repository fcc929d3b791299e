#include "Installation.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace appstart::test {

namespace {

void check(int error, const char* what)
{
    if (error != 0)
        throw std::runtime_error(std::string(what) + ": " + std::strerror(error));
}

std::string readAll(std::FILE* file)
{
    std::rewind(file);
    std::string contents;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        contents.append(chunk, got);
    return contents;
}

// The caller's environment with every locale setting replaced by the C
// locale, so that system texts come out in the language the tests expect.
std::vector<std::string> cLocaleEnvironment()
{
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view variable(*entry);
        if (variable.starts_with("LC_") || variable.starts_with("LANG=") || variable.starts_with("LANGUAGE="))
            continue;
        result.emplace_back(variable);
    }
    result.emplace_back("LC_ALL=C");
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (auto& string : strings)
        result.push_back(string.data());
    result.push_back(nullptr);
    return result;
}

// Reaps whatever descendants were handed to this process; true if there were any.
bool reapAdopted()
{
    bool any = false;
    int status = 0;
    while (true) {
        const pid_t reaped = waitpid(-1, &status, 0);
        if (reaped > 0) {
            any = true;
            continue;
        }
        if (errno == EINTR)
            continue;
        return any;
    }
}

} // namespace

ProgramRun runProgram(const std::vector<std::string>& arguments, const fs::path& workingDirectory)
{
    if (prctl(PR_SET_CHILD_SUBREAPER, 1) != 0)
        throw std::runtime_error("cannot become a subreaper");
    if (reapAdopted())
        throw std::runtime_error("an earlier program left processes behind");

    using File = std::unique_ptr<std::FILE, decltype(&std::fclose)>;
    File output(std::tmpfile(), &std::fclose);
    File errorOutput(std::tmpfile(), &std::fclose);
    if (!output || !errorOutput)
        throw std::runtime_error("cannot create output files");

    posix_spawn_file_actions_t actions;
    check(posix_spawn_file_actions_init(&actions), "posix_spawn_file_actions_init");
    std::unique_ptr<posix_spawn_file_actions_t, int (*)(posix_spawn_file_actions_t*)> actionsGuard(
        &actions, &posix_spawn_file_actions_destroy);
    check(posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str()), "addchdir");
    check(posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0), "addopen");
    check(posix_spawn_file_actions_adddup2(&actions, fileno(output.get()), STDOUT_FILENO), "adddup2");
    check(posix_spawn_file_actions_adddup2(&actions, fileno(errorOutput.get()), STDERR_FILENO), "adddup2");

    std::vector<std::string> argumentCopies = arguments;
    std::vector<std::string> environment = cLocaleEnvironment();
    std::vector<char*> argv = pointers(argumentCopies);
    std::vector<char*> envp = pointers(environment);

    pid_t process = 0;
    check(posix_spawn(&process, argv.front(), &actions, nullptr, argv.data(), envp.data()), "posix_spawn");

    int status = 0;
    while (waitpid(process, &status, 0) < 0) {
        if (errno != EINTR)
            throw std::runtime_error("waitpid failed");
    }

    ProgramRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.leftProcessesBehind = reapAdopted();
    run.output = readAll(output.get());
    run.errorOutput = readAll(errorOutput.get());
    return run;
}

Installation::Installation(const fs::path& directory, const std::string& launcherName)
    : directory_(directory)
    , launcher_(directory / launcherName)
{
    fs::create_directories(directory_);
    fs::copy_file(APPSTART_PATH, launcher_);
}

std::string Installation::base() const
{
    return directory_.string() + "/";
}

fs::path Installation::runtime() const
{
    return directory_ / "jre" / "bin" / "java";
}

void Installation::installRecordingRuntime(const std::string& ending)
{
    fs::create_directories(runtime().parent_path());
    writeFile(runtime(),
              "#!/bin/sh\n"
              "pwd -P > \"$0.cwd\"\n"
              "for argument in \"$@\"; do printf '%s\\0' \"$argument\"; done > \"$0.args\"\n"
              + ending + "\n");
    fs::permissions(runtime(), fs::perms::owner_all, fs::perm_options::add);
}

bool Installation::runtimeStarted() const
{
    return fs::exists(runtime().string() + ".cwd");
}

std::vector<std::string> Installation::recordedArguments() const
{
    const std::string record = readFile(runtime().string() + ".args");
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = record.find('\0', start)) != std::string::npos; start = end + 1)
        result.push_back(record.substr(start, end - start));
    return result;
}

fs::path Installation::recordedWorkingDirectory() const
{
    std::string line = readFile(runtime().string() + ".cwd");
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

std::vector<std::string> Installation::expectedArguments(const std::string& archiveName,
                                                         const std::vector<std::string>& launcherArguments) const
{
    std::vector<std::string> result{"-Djava.library.path=" + base() + "core", "-jar", base() + archiveName};
    result.insert(result.end(), launcherArguments.begin(), launcherArguments.end());
    return result;
}

ProgramRun Installation::run(const std::vector<std::string>& arguments, const fs::path& from) const
{
    std::vector<std::string> command{launcher_.string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runProgram(command, from);
}

fs::path directoryForPathLength(const fs::path& root, std::size_t pathLength, std::size_t fileNameLength)
{
    // Every component below the root costs its length plus one separator.
    const std::size_t rootLength = root.string().size() + 1;
    if (pathLength < rootLength + fileNameLength)
        throw std::invalid_argument("path length too short for the root");
    std::size_t remaining = pathLength - rootLength - fileNameLength;
    fs::path directory = root;
    char letter = 'a';
    while (remaining > 0) {
        if (remaining == 1)
            throw std::invalid_argument("cannot fill a single character");
        std::size_t component = std::min<std::size_t>(remaining - 1, 200);
        // A single character left over could not hold a component and its separator.
        if (remaining - (component + 1) == 1)
            --component;
        directory /= std::string(component, letter++);
        remaining -= component + 1;
    }
    fs::create_directories(directory);
    return directory;
}

std::string readFile(const fs::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        throw std::runtime_error("cannot read " + file.string());
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

void writeFile(const fs::path& file, const std::string& contents)
{
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream << contents;
    if (!stream)
        throw std::runtime_error("cannot write " + file.string());
}

} // namespace appstart::test
