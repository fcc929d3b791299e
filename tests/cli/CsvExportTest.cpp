// The CSV files from results databases written through the engine's results sink.

#include "cli/CsvExport.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/SimulatorProgram.h"
#include "db/DatabasePersistence.h"
#include "gtest/gtest.h"

namespace netsim::cli::test {
namespace {

struct TimerSamples {
    std::string name;
    std::vector<double> values;  // milliseconds
};
using RunResults = std::vector<TimerSamples>;

// One sink per run, as the engine makes them; timers first met after run 1 get no timer row,
// so every timer of a fixture appears in run 1.
void writeBatch(const std::string& database, const std::vector<RunResults>& runs) {
    const auto runCount = static_cast<int32_t>(runs.size());
    for (int32_t run = 1; run <= runCount; ++run) {
        DatabasePersistence sink(database, true, run, runCount, 7);
        sink.saveSimulationInfo(1.0, "network.orvo");
        for (const TimerSamples& timer : runs[static_cast<std::size_t>(run - 1)])
            sink.saveLatencies(timer.name, "Flow1", "ECU1.eth0", "ECU2.eth0", timer.values);
        sink.finishRun(6);
    }
}

struct Exported {
    bool latencyData;
    bool jitterData;
    std::string latency;
    std::string jitter;
};

Exported exportBoth(const Scratch& scratch, const std::vector<RunResults>& runs,
                    const NumberFormat& numbers = NumberFormat(".", ",")) {
    const std::string database = scratch.file("results.db");
    writeBatch(database, runs);
    CsvExport csv(database, numbers);
    csv.writeLatencyCsv(scratch.file("latency.csv"));
    csv.writeJitterCsv(scratch.file("jitter.csv"));
    return {csv.hasLatencyData(), csv.hasJitterData(), readText(scratch.file("latency.csv")),
            readText(scratch.file("jitter.csv"))};
}

TEST(CsvExport, OneTimerWithThreeSamples) {
    Scratch scratch;

    Exported csv = exportBoth(scratch, {{{"T1", {1.0, 1.5, 1.25}}}});

    EXPECT_TRUE(csv.latencyData);
    EXPECT_TRUE(csv.jitterData);
    EXPECT_EQ(csv.latency, "\"T1\",\"1\"\n\"T1\",\"1.5\"\n\"T1\",\"1.25\"\n");
    EXPECT_EQ(csv.jitter, "\"T1\",\"0\"\n\"T1\",\"-0.5\"\n\"T1\",\"0.25\"\n");
}

TEST(CsvExport, QuoteInATimerNameIsDoubled) {
    Scratch scratch;

    Exported csv = exportBoth(scratch, {{{"Cam \"front\"", {2.0, 3.0}}}});

    EXPECT_EQ(csv.latency, "\"Cam \"\"front\"\"\",\"2\"\n\"Cam \"\"front\"\"\",\"3\"\n");
    EXPECT_EQ(csv.jitter, "\"Cam \"\"front\"\"\",\"0\"\n\"Cam \"\"front\"\"\",\"-1\"\n");
}

TEST(CsvExport, TimersByNameRunAfterRunAndJitterOnlyFromRunsWithTwoSamples) {
    Scratch scratch;

    Exported csv = exportBoth(scratch, {
                                           {{"b", {5.0}}, {"c", {}}, {"a", {2.0, 3.0}}},
                                           {{"a", {4.0}}, {"b", {6.0, 8.0, 7.0}}},
                                           {{"a", {1.0, 1.5}}},
                                       });

    EXPECT_EQ(csv.latency,
              "\"a\",\"2\"\n\"a\",\"3\"\n\"a\",\"4\"\n\"a\",\"1\"\n\"a\",\"1.5\"\n"
              "\"b\",\"5\"\n\"b\",\"6\"\n\"b\",\"8\"\n\"b\",\"7\"\n");
    // a: 0 at run 1, then 2-3; run 2 has one sample; run 3 adds 1-1.5 without a second 0.
    // b: run 1 has one sample, so its 0 comes with run 2.
    EXPECT_EQ(csv.jitter,
              "\"a\",\"0\"\n\"a\",\"-1\"\n\"a\",\"-0.5\"\n"
              "\"b\",\"0\"\n\"b\",\"-2\"\n\"b\",\"1\"\n");
}

TEST(CsvExport, SingleSamplesPerRunMakeLatencyButNoJitter) {
    Scratch scratch;

    Exported csv = exportBoth(scratch, {{{"T1", {1.0}}}, {{"T1", {2.0}}}});

    EXPECT_TRUE(csv.latencyData);
    EXPECT_FALSE(csv.jitterData);
    EXPECT_EQ(csv.latency, "\"T1\",\"1\"\n\"T1\",\"2\"\n");
    EXPECT_EQ(csv.jitter, "");
}

TEST(CsvExport, TimersWithoutSamplesMakeNoData) {
    Scratch scratch;

    Exported csv = exportBoth(scratch, {{{"T1", {}}}});

    EXPECT_FALSE(csv.latencyData);
    EXPECT_FALSE(csv.jitterData);
}

TEST(CsvExport, ValuesUseTheLocalesSeparatorAndAtMostFifteenDecimals) {
    Scratch scratch;

    Exported csv = exportBoth(scratch, {{{"T", {0.1 + 0.2, 1.0 / 3.0, 2.0 / 3.0, 1e-16, 123456789.125}}}},
                              NumberFormat(",", "."));

    EXPECT_EQ(csv.latency,
              "\"T\",\"0,3\"\n\"T\",\"0,333333333333333\"\n\"T\",\"0,666666666666667\"\n\"T\",\"0\"\n"
              "\"T\",\"123456789,125\"\n");
}

TEST(CsvExport, UnreadableDatabaseAndUnwritableFileAreErrors) {
    Scratch scratch;
    EXPECT_THROW(CsvExport(scratch.file("absent.db"), NumberFormat()), CsvExportError);

    writeBatch(scratch.file("results.db"), {{{"T1", {1.0}}}});
    CsvExport csv(scratch.file("results.db"), NumberFormat());
    std::filesystem::create_directory(scratch.file("taken"));
    EXPECT_THROW(csv.writeLatencyCsv(scratch.file("taken")), CsvExportError);
}

}  // namespace
}  // namespace netsim::cli::test
