#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/NumberFormat.h"

struct sqlite3;

namespace netsim::cli {

// A results database that cannot be read, or a CSV file that cannot be written.
class CsvExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the latency samples of a results database, and the jitter derived from them, as CSV
// files: one record per sample, the timer's name and the value each in double quotes,
// milliseconds in the user's decimal notation.
class CsvExport {
public:
    // Opens the database read-only; throws CsvExportError.
    CsvExport(const std::filesystem::path& database, NumberFormat numbers);
    ~CsvExport();
    CsvExport(const CsvExport&) = delete;
    CsvExport& operator=(const CsvExport&) = delete;

    // Some timer has a sample.
    bool hasLatencyData() const;
    // Some timer has at least two samples in one run, which makes one difference.
    bool hasJitterData() const;

    // Both throw CsvExportError and leave what was written so far.
    void writeLatencyCsv(const std::filesystem::path& file) const;
    void writeJitterCsv(const std::filesystem::path& file) const;

    // The jitter list of one timer from its samples run by run: a 0 when the first run with
    // two samples is met, then l(i) - l(i+1) of every run's consecutive samples.
    static std::vector<double> jitter(const std::vector<std::vector<double>>& samplesPerRun);

    // One record, with the platform's line separator.
    static std::string record(const std::string& timerName, const std::string& value);

private:
    struct Timer {
        int64_t id;
        std::string name;
    };

    std::vector<Timer> timers() const;
    // The timer's samples of runs 1 ... runs, each run in the order its rows were written.
    std::vector<std::vector<double>> samplesPerRun(int64_t timerId, int64_t runs) const;
    // The batch's run count from the run summary; 0 when no run recorded one.
    int64_t runCount() const;
    bool hasRow(const char* query) const;
    void write(const std::filesystem::path& file, bool jitterValues) const;
    [[noreturn]] void fail() const;

    std::filesystem::path path_;
    NumberFormat numbers_;
    sqlite3* connection_ = nullptr;
};

}  // namespace netsim::cli
