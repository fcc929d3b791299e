#include "cli/SimulatorCli.h"

#include <cstdlib>
#include <exception>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>

#include "cli/ArgumentParser.h"
#include "cli/CsvExport.h"
#include "cli/OutputFiles.h"
#include "cli/ProgressLine.h"
#include "cli/TemporaryDatabase.h"
#include "cli/TopologyCheck.h"
#include "host/HostOperations.h"

namespace netsim::cli {
namespace {

constexpr const char* kUsage[] = {
    "Usage: simulator.bat [-r <int>] [-t <double] [-discard] [-db <path>] [-jitter <path>] [-latency <path>] "
    "<orvo file path>",
    "",
    "Where",
    "<orvo file path> --- The file to simulate; must be valid and contain at least one flow",
    "-t <double> --- Simulated time in seconds [default: 1.0]",
    "-r <int> --- Run multiple simulations in sequence [default: 1]",
    "-s <uint32> --- Random generator seed (not availabe when -r has a value greater than 1) [default: 0 (random)]",
    "-discard --- Discard task from the result db (to save space) - this is always the case when -r has a value "
    "greater than 1 [default: false]",
    "-experimental --- Don't validate the orvo file [default: false]",
    "-db <path> --- Where to save the result sqlite database (default: none)",
    "-jitter <path> --- Where to save jitter CSV (if the result contains jitter data) [default: none]",
    "-latency <path> --- Where to save latency CSV (if the result contains latency data) [default: none]",
    "",
    "Note! All <path>:s are absolute ie c:\\orvo\\data\\can.orvo",
    "Note! If a <path> contains spaces, it must be quoted ie \"c:\\orvo\\my data\\can.orvo\"",
    "Note! The <path>:s specified for -db -jitter -latency will be overwritten",
};

// Some engine messages end in a line break of their own; the log adds its own.
std::string errorLine(std::string_view message) {
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.remove_suffix(1);
    return "[error] " + std::string(message);
}

}  // namespace

SimulatorCli::SimulatorCli(std::ostream& out, NumberFormat numbers, bool showProgress)
    : out_(out), log_(out), numbers_(std::move(numbers)), showProgress_(showProgress) {}

int SimulatorCli::run(const std::vector<std::string>& arguments) {
    try {
        runChecked(arguments);
    } catch (const std::exception& failure) {
        log_.line(errorLine(failure.what()));
    } catch (...) {
        log_.line(errorLine("unknown failure"));
    }
    return log_.failed() ? 1 : 0;
}

void SimulatorCli::printUsage() {
    for (const char* line : kUsage) log_.line(line);
}

void SimulatorCli::runChecked(const std::vector<std::string>& arguments) {
    log_.line("");
    if (arguments.empty()) {
        printUsage();
        return;
    }
    log_.line(std::string("ORVO Quillmark ") + kVersion + " - Simulator CLI");

    RunSettings settings;
    if (auto error = ArgumentParser::parse(arguments, settings)) return log_.line(*error);
    if (auto error = TopologyCheck::check(settings.topologyFile, settings.experimental)) return log_.line(*error);

    const std::pair<const std::optional<std::filesystem::path>&, const char*> outputs[] = {
        {settings.database, "-db"}, {settings.jitterCsv, "-jitter"}, {settings.latencyCsv, "-latency"}};
    for (const auto& [file, option] : outputs)
        if (file)
            if (auto error = OutputFiles::prepare(*file, option)) return log_.line(*error);

    // A batch is for statistics: every run draws its own seed, and the job trace of many runs
    // would only fill the disk.
    if (settings.runCount > 1) {
        settings.discardJobs = true;
        settings.seed = 0;
    }

    std::optional<TemporaryDatabase> temporary;
    std::filesystem::path database;
    if (settings.database) {
        database = *settings.database;
    } else {
        try {
            database = temporary.emplace().path();
        } catch (const std::filesystem::filesystem_error& failure) {
            return log_.line("[error] no temporary database could be created in [" + failure.path1().string() + "]");
        }
    }

    if (const char* capturePaths = std::getenv("ORVO_CAPTURE_PATH")) host::setCapturePaths(capturePaths);
    if (!temporary) log_.line("[db] Generating db to [" + database.string() + "]");

    runBatch(settings, database);
}

void SimulatorCli::runBatch(const RunSettings& settings, const std::filesystem::path& database) {
    for (int32_t run = 1; run <= settings.runCount; ++run)
        if (!simulate(settings, database, run)) return;
    exportCsv(settings, database);
}

bool SimulatorCli::simulate(const RunSettings& settings, const std::filesystem::path& database, int32_t run) {
    log_.line("[simulator] Running [" + settings.topologyFile.string() + "] for " +
              numbers_.grouped(settings.simulatedTime) + " second(s) (run " + numbers_.grouped(run) + " of " +
              numbers_.grouped(settings.runCount) + ")");
    try {
        // Its result adds nothing: a failure is thrown.
        host::readFile(settings.topologyFile.c_str(), database.c_str(), static_cast<int64_t>(settings.seed),
                       settings.discardJobs, run, settings.runCount);
        std::exception_ptr failure;
        {
            std::optional<ProgressLine> progress;
            if (showProgress_) {
                progress.emplace(out_, settings.simulatedTime, numbers_, host::getSimulationInfo);
                progress->start();
            }
            std::thread simulation([&failure, &settings] {
                try {
                    host::startSimulation(settings.simulatedTime);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
            simulation.join();
        }
        if (failure) std::rethrow_exception(failure);
    } catch (const std::exception& engineError) {
        log_.line(errorLine(engineError.what()));
        return false;
    }
    return true;
}

void SimulatorCli::exportCsv(const RunSettings& settings, const std::filesystem::path& database) {
    if (!settings.jitterCsv && !settings.latencyCsv) return;
    try {
        CsvExport csv(database, numbers_);
        if (settings.jitterCsv) {
            if (csv.hasJitterData()) {
                log_.line("[csv] Generating jitter CSV to [" + settings.jitterCsv->string() + "]");
                csv.writeJitterCsv(*settings.jitterCsv);
            } else {
                log_.line("[csv] The simulation did not produce any jitter data - skipping");
            }
        }
        if (settings.latencyCsv) {
            if (csv.hasLatencyData()) {
                log_.line("[csv] Generating latency CSV to [" + settings.latencyCsv->string() + "]");
                csv.writeLatencyCsv(*settings.latencyCsv);
            } else {
                log_.line("[csv] The simulation did not produce any latency data - skipping");
            }
        }
    } catch (const CsvExportError& failure) {
        log_.line(errorLine(failure.what()));
    }
}

}  // namespace netsim::cli
