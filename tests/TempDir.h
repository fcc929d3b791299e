#pragma once

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace netsim::test {

// A fresh directory of its own for a test, removed with the object. Its path has symbolic
// links resolved, so it compares equal to paths the system reports.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::canonical(std::filesystem::temp_directory_path()) / "netsim-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary directory");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Writes content into a new file below the directory and returns its path.
    std::string write(const std::string& name, const std::string& content) const {
        std::filesystem::path target = path_ / name;
        std::filesystem::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary) << content;
        return target.string();
    }

private:
    std::filesystem::path path_;
};

}  // namespace netsim::test
