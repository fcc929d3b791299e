#include "cli/TemporaryDatabase.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace netsim::cli {

namespace {

constexpr char kSuffix[] = ".db";

// Where std::filesystem::temp_directory_path looks, without its check, so that a directory
// that is missing is named in the error rather than lost in a message without a path.
std::filesystem::path systemTemporaryDirectory() {
    for (const char* variable : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"})
        if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') return value;
    return "/tmp";
}

}  // namespace

TemporaryDatabase::TemporaryDatabase() {
    const std::filesystem::path directory = systemTemporaryDirectory();
    // Creating the file claims the generated name; SQLite takes an empty file as an empty
    // database.
    std::string name = (directory / ("orvo-simulator-XXXXXX" + std::string(kSuffix))).string();
    int descriptor = ::mkstemps(name.data(), static_cast<int>(sizeof kSuffix - 1));
    if (descriptor < 0)
        throw std::filesystem::filesystem_error("cannot create a temporary database", directory,
                                                std::error_code(errno, std::generic_category()));
    ::close(descriptor);
    path_ = name;
}

TemporaryDatabase::~TemporaryDatabase() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    // Left behind only when a write of the engine broke off before its transaction ended.
    std::filesystem::remove(path_.string() + "-journal", ignored);
}

}  // namespace netsim::cli
