#pragma once

#include "Platform.h"

#include <span>

namespace appstart {

// Starts the desktop application on the Java runtime installed beside the
// launcher and waits for it to end.
//
// The installation directory (the base directory) holds the launcher, the
// runtime under `jre`, the native libraries under `core` and the
// application's archive, named after the launcher with the extension ".jar".
class Launcher {
public:
    static constexpr int exitSuccess = 0;
    static constexpr int exitFailure = -1;

    explicit Launcher(Platform& platform);

    // `arguments` are the launcher's own arguments without the program name;
    // they reach the runtime verbatim after the archive. Returns the exit
    // status: the runtime's own status is deliberately not passed on.
    int run(std::span<const char* const> arguments);

private:
    int reportSystemError(int code);
    int reportPathnameTooLong();

    Platform& platform_;
};

} // namespace appstart
