#pragma once

#include <filesystem>

namespace netsim::cli {

// The results database of a batch run without "-db": a new file with a generated name in the
// system's temporary directory, deleted when this object goes, whether the runs succeeded,
// failed or were cut short by an exception.
class TemporaryDatabase {
public:
    // Throws std::filesystem::filesystem_error, naming the directory, when no file can be
    // created.
    TemporaryDatabase();
    ~TemporaryDatabase();
    TemporaryDatabase(const TemporaryDatabase&) = delete;
    TemporaryDatabase& operator=(const TemporaryDatabase&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace netsim::cli
