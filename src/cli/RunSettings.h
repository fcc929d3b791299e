#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace netsim::cli {

// What one invocation of the runner does, as the command line gave it; the batch defaults
// (several runs discard jobs and draw their seeds) are applied by the runner afterwards.
struct RunSettings {
    std::filesystem::path topologyFile;
    // Absent: the runner uses a temporary database and deletes it at the end.
    std::optional<std::filesystem::path> database;
    std::optional<std::filesystem::path> jitterCsv;
    std::optional<std::filesystem::path> latencyCsv;
    double simulatedTime = 1.0;  // seconds
    int32_t runCount = 1;
    // Only the low 32 bits reach the engine; 0 lets it draw a seed.
    uint64_t seed = 0;
    bool discardJobs = false;
    bool experimental = false;  // accept the topology file without validating it
};

}  // namespace netsim::cli
