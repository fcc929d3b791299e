#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace netsim::cli {

// Checks a topology file before the engine sees it, so that the common mistakes get a short
// message of the runner instead of an engine error. The checks run in a fixed order and the
// first failing one gives the "[error]" log line that is returned.
class TopologyCheck {
public:
    // The version of the description language the engine reads.
    static constexpr int kSupportedVersion = 40;

    // experimental: accept any well-formed file that needs no upgrade, flows or not.
    static std::optional<std::string> check(const std::filesystem::path& topologyFile, bool experimental);
};

}  // namespace netsim::cli
