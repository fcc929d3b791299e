#include "platform/Platform.h"

#include <climits>
#include <semaphore.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace netsim {
namespace {

class PosixSemaphore final : public Semaphore {
public:
    explicit PosixSemaphore(uint32_t initialCount) {
        if (initialCount > static_cast<uint32_t>(INT32_MAX) || sem_init(&sem_, 0, initialCount) != 0)
            throw Exception("Unable to create semaphore object!");
    }
    ~PosixSemaphore() override { sem_destroy(&sem_); }
    void post() override { sem_post(&sem_); }
    void wait() override {
        while (sem_wait(&sem_) != 0 && errno == EINTR) {
        }
    }

private:
    sem_t sem_;
};

class PosixPlatform final : public Platform {
public:
    std::string currentDirectory() override {
        std::vector<char> buffer(PATH_MAX);
        while (getcwd(buffer.data(), buffer.size()) == nullptr) {
            if (errno != ERANGE) throw PlatformException("Unable to obtain current directory");
            buffer.resize(buffer.size() * 2);
        }
        return buffer.data();
    }

    uint64_t fileSize(const std::string& utf8Path) override {
        struct stat info {};
        if (stat(utf8Path.c_str(), &info) != 0) throw PlatformException("Stat() failed on file");
        return static_cast<uint64_t>(info.st_size);
    }

    std::FILE* openFile(const std::string& utf8Path, const char* mode) override {
        // Paths are UTF-8 already on this platform; a path with an embedded NUL cannot be
        // handed to the system and counts as unresolvable.
        if (utf8Path.find('\0') != std::string::npos) throw PlatformException("fopen() failed on file");
        return std::fopen(utf8Path.c_str(), mode);
    }

    void closeFile(std::FILE* file) override {
        if (file != nullptr) std::fclose(file);
    }

    bool isAbsolutePath(const std::string& path) override { return !path.empty() && path[0] == '/'; }

    std::string directoryOf(const std::string& path) override {
        auto slash = path.find_last_of('/');
        if (slash == std::string::npos) return std::string();
        return slash == 0 ? std::string("/") : path.substr(0, slash);
    }

    char pathSeparator() override { return '/'; }

    std::unique_ptr<Semaphore> createSemaphore(uint32_t initialCount) override {
        try {
            return std::make_unique<PosixSemaphore>(initialCount);
        } catch (const std::bad_alloc&) {
            throw PlatformException("Unable to create semaphore.");
        }
    }

    void destroySemaphore(std::unique_ptr<Semaphore> semaphore) override { semaphore.reset(); }
};

}  // namespace

Platform& Platform::instance() {
    static PosixPlatform platform;
    return platform;
}

}  // namespace netsim
