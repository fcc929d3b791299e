#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "common/Exception.h"

namespace netsim {

// A counting semaphore; the maximum count is 2^31 - 1.
class Semaphore {
public:
    virtual ~Semaphore() = default;
    virtual void post() = 0;
    virtual void wait() = 0;
};

// The engine's only door to the operating system for files, paths and semaphores. Failures
// raise PlatformException.
class Platform {
public:
    virtual ~Platform() = default;
    virtual std::string currentDirectory() = 0;
    virtual uint64_t fileSize(const std::string& utf8Path) = 0;
    virtual std::FILE* openFile(const std::string& utf8Path, const char* mode) = 0;
    virtual void closeFile(std::FILE* file) = 0;
    virtual bool isAbsolutePath(const std::string& path) = 0;
    virtual std::string directoryOf(const std::string& path) = 0;
    virtual char pathSeparator() = 0;
    virtual std::unique_ptr<Semaphore> createSemaphore(uint32_t initialCount) = 0;
    virtual void destroySemaphore(std::unique_ptr<Semaphore> semaphore) = 0;

    static Platform& instance();
};

}  // namespace netsim
