#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/RunSettings.h"

namespace netsim::cli {

// Reads the command line: options in any order, then the topology file as the very last
// argument. The first fault ends the reading; its "[error]" log line is returned.
class ArgumentParser {
public:
    // arguments: without the program name, at least one.
    static std::optional<std::string> parse(const std::vector<std::string>& arguments, RunSettings& settings);
};

}  // namespace netsim::cli
