#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Log.h"
#include "cli/NumberFormat.h"
#include "cli/RunSettings.h"

namespace netsim::cli {

// The command-line runner: checks its arguments and the topology file, runs the batch
// through the engine's host operations and writes the CSV files asked for. Everything it has
// to say goes to the log; the first "[error]" line ends it.
class SimulatorCli {
public:
    static constexpr char kVersion[] = "1.0.0";

    // showProgress: the output is a terminal that can redraw a progress line.
    SimulatorCli(std::ostream& out, NumberFormat numbers, bool showProgress);

    // arguments: without the program name. Returns the exit status: 0 after success, 1 after
    // an "[error]" line.
    int run(const std::vector<std::string>& arguments);

private:
    void runChecked(const std::vector<std::string>& arguments);
    void runBatch(const RunSettings& settings, const std::filesystem::path& database);
    bool simulate(const RunSettings& settings, const std::filesystem::path& database, int32_t run);
    void exportCsv(const RunSettings& settings, const std::filesystem::path& database);
    void printUsage();

    std::ostream& out_;
    Log log_;
    NumberFormat numbers_;
    bool showProgress_;
};

}  // namespace netsim::cli
