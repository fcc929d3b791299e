#include "cli/OutputFiles.h"

#include <system_error>

namespace netsim::cli {

std::optional<std::string> OutputFiles::prepare(const std::filesystem::path& file, std::string_view option) {
    namespace fs = std::filesystem;
    const std::string named = " file [" + file.string() + "]";
    std::error_code error;

    // A directory in the file's place is the user's, not an old result: it is left alone.
    const fs::file_status status = fs::symlink_status(file, error);
    if (fs::is_directory(status) || (fs::exists(status) && !fs::remove(file, error)))
        return "[error] the " + std::string(option) + named + " could not be deleted";

    const fs::path parent = file.parent_path();
    if (parent.empty()) return std::nullopt;
    const fs::file_status parentStatus = fs::status(parent, error);
    if (fs::is_directory(parentStatus)) return std::nullopt;
    if (fs::exists(parentStatus) || !fs::create_directory(parent, error))
        return "[error] the parent directory for " + std::string(option) + named + " could not be created";
    return std::nullopt;
}

}  // namespace netsim::cli
