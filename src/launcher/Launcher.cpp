#include "Launcher.h"

#include "CommandLine.h"

#include <cstdio>

namespace appstart {

Launcher::Launcher(Platform& platform)
    : platform_(platform)
{
}

int Launcher::run(std::span<const char* const> arguments)
{
    char modulePath[260];
    const ModulePath module = platform_.moduleFileName(modulePath, sizeof modulePath);
    if (module.error != 0)
        return reportSystemError(module.error);
    if (module.length >= sizeof modulePath)
        return reportPathnameTooLong();

    // A directory part that does not fit would silently name another
    // directory, so it counts as a path too long as well.
    PathParts parts;
    if (!platform_.splitPath(modulePath, parts))
        return reportPathnameTooLong();

    char baseDirectory[260];
    std::snprintf(baseDirectory, sizeof baseDirectory, "%s%s", parts.drive, parts.directory);

    CommandLine commandLine;
    commandLine.append("%sjre/bin/java", baseDirectory);
    commandLine.append("-Djava.library.path=%score", baseDirectory);
    commandLine.append("-jar");
    commandLine.append("%s%s.jar", baseDirectory, parts.name);
    for (const char* argument : arguments)
        commandLine.append("%s", argument);

    const ProcessStart start = platform_.createProcess(commandLine, baseDirectory);
    if (start.error != 0)
        return reportSystemError(start.error);

    platform_.waitForProcess(start.process);
    return exitSuccess;
}

int Launcher::reportSystemError(int code)
{
    if (const auto text = platform_.systemErrorText(code)) {
        platform_.messageBox(text->c_str(), "System error");
        return exitFailure;
    }
    char fallback[1024];
    std::snprintf(fallback, sizeof fallback, "A JRE is required to run this program. (%d)", code);
    platform_.messageBox(fallback, "Java not detected.");
    return exitFailure;
}

int Launcher::reportPathnameTooLong()
{
    platform_.messageBox("Pathname too long.", "Error");
    return exitFailure;
}

} // namespace appstart
