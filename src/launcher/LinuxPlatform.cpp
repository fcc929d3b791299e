#include "LinuxPlatform.h"

#include "CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace appstart {

namespace {

bool copyPart(std::string_view part, char* buffer, std::size_t size)
{
    if (part.size() >= size)
        return false;
    part.copy(buffer, part.size());
    buffer[part.size()] = '\0';
    return true;
}

// Owns the file actions so that every way out of createProcess releases them.
class SpawnActions {
public:
    SpawnActions()
        : error_(posix_spawn_file_actions_init(&actions_))
    {
    }
    ~SpawnActions()
    {
        if (error_ == 0)
            posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    int error() const { return error_; }
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
    int error_;
};

} // namespace

ModulePath LinuxPlatform::moduleFileName(char* buffer, std::size_t size)
{
    // The kernel's link names the executable with symbolic links resolved, so
    // a link to the launcher placed elsewhere still finds the installation.
    // readlink truncates silently, so a path that fills the whole buffer may be
    // longer still; either way it did not fit with its terminator.
    const ssize_t length = readlink("/proc/self/exe", buffer, size);
    if (length < 0)
        return ModulePath{0, errno};
    const auto fitted = static_cast<std::size_t>(length);
    buffer[fitted < size ? fitted : size - 1] = '\0';
    return ModulePath{fitted, 0};
}

bool LinuxPlatform::splitPath(const char* path, PathParts& parts)
{
    const std::string_view whole(path);
    const std::size_t slash = whole.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view directory = whole.substr(0, nameStart);
    const std::string_view file = whole.substr(nameStart);

    // A leading dot marks a hidden file, not an extension.
    std::size_t dot = file.rfind('.');
    if (dot == 0)
        dot = std::string_view::npos;
    const std::string_view name = file.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : file.substr(dot);

    return copyPart({}, parts.drive, sizeof parts.drive)
        && copyPart(directory, parts.directory, sizeof parts.directory)
        && copyPart(name, parts.name, sizeof parts.name)
        && copyPart(extension, parts.extension, sizeof parts.extension);
}

ProcessStart LinuxPlatform::createProcess(CommandLine& commandLine, const char* workingDirectory)
{
    SpawnActions actions;
    if (actions.error() != 0)
        return ProcessStart{0, actions.error()};
    if (int error = posix_spawn_file_actions_addchdir_np(actions.get(), workingDirectory); error != 0)
        return ProcessStart{0, error};
    // Only the standard streams are handed on; any other descriptor the
    // launcher was given belongs to whoever started it.
    if (int error = posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1); error != 0)
        return ProcessStart{0, error};

    std::vector<char*> argv = commandLine.argumentVector();
    if (argv.front() == nullptr)
        return ProcessStart{0, ENOENT};

    // glibc reports a failing chdir or exec in the child as the call's result,
    // so a missing runtime surfaces here and not as an exit status.
    pid_t process = 0;
    if (int error = posix_spawn(&process, argv.front(), actions.get(), nullptr, argv.data(), environ); error != 0)
        return ProcessStart{0, error};
    return ProcessStart{process, 0};
}

void LinuxPlatform::waitForProcess(ProcessId process)
{
    int status = 0;
    while (waitpid(static_cast<pid_t>(process), &status, 0) < 0 && errno == EINTR) {
    }
}

std::optional<std::string> LinuxPlatform::systemErrorText(int code)
{
    // strerror invents "Unknown error N" for codes it does not know; only the
    // description table tells whether the system really has a text.
    const char* description = strerrordesc_np(code);
    if (description == nullptr)
        return std::nullopt;

    locale_t userLocale = newlocale(LC_ALL_MASK, "", locale_t{});
    if (userLocale == locale_t{})
        return std::string(description);
    std::string text = strerror_l(code, userLocale);
    freelocale(userLocale);
    return text;
}

void LinuxPlatform::messageBox(const char* text, const char* caption)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

} // namespace appstart
