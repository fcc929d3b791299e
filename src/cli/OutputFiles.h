#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace netsim::cli {

// Makes room for a file the runner will write: the old file goes, so that a failed run never
// leaves a previous result looking like the new one, and a missing parent directory is
// created (one level only, to catch mistyped paths).
class OutputFiles {
public:
    // option: the key that named the file ("-db", "-jitter", "-latency"), for the "[error]"
    // log line that is returned when the file cannot be prepared.
    static std::optional<std::string> prepare(const std::filesystem::path& file, std::string_view option);
};

}  // namespace netsim::cli
