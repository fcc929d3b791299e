#pragma once

#include "Platform.h"

namespace appstart {

// The launcher's services on Linux. Reports go to standard error, the one
// channel every way of starting a program offers.
class LinuxPlatform : public Platform {
public:
    ModulePath moduleFileName(char* buffer, std::size_t size) override;
    bool splitPath(const char* path, PathParts& parts) override;
    ProcessStart createProcess(CommandLine& commandLine, const char* workingDirectory) override;
    void waitForProcess(ProcessId process) override;
    std::optional<std::string> systemErrorText(int code) override;
    void messageBox(const char* text, const char* caption) override;
};

} // namespace appstart
