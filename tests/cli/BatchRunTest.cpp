// Batches of runs through the engine, end to end: the log, the results database, the
// temporary database and the exit status.

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/SimulatorProgram.h"
#include "gtest/gtest.h"

namespace netsim::cli::test {
namespace {

const std::string kWelcome = "ORVO Quillmark 1.0.0 - Simulator CLI";

TEST(BatchRun, OneRunIntoAGivenDatabase) {
    Scratch scratch;
    const std::string topology = fixture("minimal.orvo");
    // A missing parent directory is created; the normalised path is what the log shows.
    const std::string typed = scratch.path().string() + "/results/./out.db";
    const std::string database = scratch.file("results/out.db");

    ProgramRun run = runSimulator({"-s", "4294967295", "-experimental", "-db", typed, topology}, scratch);

    EXPECT_EQ(run.lines(), (std::vector<std::string>{
                               "",
                               kWelcome,
                               "[db] Generating db to [" + database + "]",
                               "[simulator] Running [" + topology + "] for 1 second(s) (run 1 of 1)",
                           }));
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(query(database, "select id, seed from run_info"),
              (std::vector<std::vector<std::string>>{{"1", "4294967295"}}));
    EXPECT_EQ(query(database, "select run_count, version from info"),
              (std::vector<std::vector<std::string>>{{"1", "2"}}));
    EXPECT_EQ(entries(scratch.temporaryDirectory()), std::vector<std::string>{});
}

TEST(BatchRun, SeveralRunsDrawTheirOwnSeedsAndShareTheDatabase) {
    Scratch scratch;
    const std::string topology = fixture("minimal.orvo");
    const std::string database = scratch.file("batch.db");

    ProgramRun run = runSimulator({"-r", "3", "-s", "42", "-t", "0.5", "-experimental", "-db", database, topology},
                                  scratch);

    EXPECT_EQ(run.lines(), (std::vector<std::string>{
                               "",
                               kWelcome,
                               "[db] Generating db to [" + database + "]",
                               "[simulator] Running [" + topology + "] for 0.5 second(s) (run 1 of 3)",
                               "[simulator] Running [" + topology + "] for 0.5 second(s) (run 2 of 3)",
                               "[simulator] Running [" + topology + "] for 0.5 second(s) (run 3 of 3)",
                           }));
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    auto runs = query(database, "select id, seed from run_info order by id");
    ASSERT_EQ(runs.size(), 3u);
    std::set<std::string> seeds;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i][0], std::to_string(i + 1));
        EXPECT_NE(runs[i][1], "42");
        seeds.insert(runs[i][1]);
    }
    EXPECT_EQ(seeds.size(), 3u) << "seed 0 lets the engine draw a new seed for every run";
    EXPECT_EQ(query(database, "select run_count from info"), (std::vector<std::vector<std::string>>{{"3"}}));
}

TEST(BatchRun, SmallestTimeIsAcceptedAndShownRoundedToThreeDecimals) {
    Scratch scratch;
    const std::string topology = fixture("hex_version.orvo");

    ProgramRun run = runSimulator({"-t", "1e-8", "-experimental", topology}, scratch);

    EXPECT_EQ(run.lines().back(), "[simulator] Running [" + topology + "] for 0 second(s) (run 1 of 1)");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
}

TEST(BatchRun, LargeNumbersAreGroupedInTheLog) {
    Scratch scratch;
    const std::string topology = fixture("minimal.orvo");

    ProgramRun run = runSimulator({"-t", "12345.6789", "-experimental", topology}, scratch);

    EXPECT_EQ(run.lines().back(), "[simulator] Running [" + topology + "] for 12,345.679 second(s) (run 1 of 1)");
}

TEST(BatchRun, TemporaryDatabaseIsDeletedAfterSuccess) {
    Scratch scratch;

    const std::string topology = fixture("minimal.orvo");

    ProgramRun run = runSimulator({"-r", "2", "-experimental", topology}, scratch);

    EXPECT_EQ(run.exitStatus, 0);

    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.lines(), (std::vector<std::string>{
                               "",
                               kWelcome,
                               "[simulator] Running [" + topology + "] for 1 second(s) (run 1 of 2)",
                               "[simulator] Running [" + topology + "] for 1 second(s) (run 2 of 2)",
                           }));
    EXPECT_EQ(entries(scratch.temporaryDirectory()), std::vector<std::string>{});
}

TEST(BatchRun, EngineErrorEndsTheBatchWithItsMessageAndTheTemporaryDatabaseGoes) {
    Scratch scratch;
    const std::string topology = fixture("version41.orvo");
    const std::string latency = scratch.file("latency.csv");

    // Accepted by the runner without validation; the engine reads version 40 only.
    ProgramRun run = runSimulator({"-r", "2", "-latency", latency, "-experimental", topology}, scratch);

    EXPECT_EQ(run.lines(), (std::vector<std::string>{
                               "",
                               kWelcome,
                               "[simulator] Running [" + topology + "] for 1 second(s) (run 1 of 2)",
                               "[error] The Network element attribute 'version' differ from 40: This version of ORVO "
                               "Simulator can only read RERURU v40 files",
                           }));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(entries(scratch.temporaryDirectory()), std::vector<std::string>{});
    EXPECT_FALSE(std::filesystem::exists(latency));
}

TEST(BatchRun, MissingTemporaryDirectoryEndsTheRunnerBeforeAnyRun) {
    Scratch scratch;
    const std::string missing = scratch.file("missing");

    ProgramRun run = runSimulator({"-experimental", fixture("minimal.orvo")}, scratch, {{"TMPDIR", missing}});

    EXPECT_EQ(run.lines(), (std::vector<std::string>{
                               "", kWelcome, "[error] no temporary database could be created in [" + missing + "]"}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "");
}

TEST(BatchRun, CsvFilesAreSkippedWhenTheRunsMeasuredNoLatency) {
    Scratch scratch;
    const std::string jitter = scratch.file("jitter.csv");
    const std::string latency = scratch.file("latency.csv");

    ProgramRun run = runSimulator({"-latency", latency, "-jitter", jitter, "-experimental", fixture("minimal.orvo")},
                                  scratch);

    std::vector<std::string> lines = run.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
              (std::vector<std::string>{"[csv] The simulation did not produce any jitter data - skipping",
                                        "[csv] The simulation did not produce any latency data - skipping"}));
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(std::filesystem::exists(jitter));
    EXPECT_FALSE(std::filesystem::exists(latency));
    EXPECT_EQ(entries(scratch.temporaryDirectory()), std::vector<std::string>{});
}

// A German locale built from the system's locale sources into the scratch directory; empty
// when the sources or localedef are missing.
std::string buildGermanLocale(const Scratch& scratch) {
    const std::string directory = scratch.file("locales");
    std::filesystem::create_directories(directory);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + directory + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(directory + "/de_DE.UTF-8")) return "";
    return directory;
}

TEST(BatchRun, LogNumbersFollowTheUsersLocale) {
    Scratch scratch;
    const std::string locales = buildGermanLocale(scratch);
    if (locales.empty()) GTEST_SKIP() << "no de_DE locale can be built here";
    const std::string topology = fixture("minimal.orvo");
    const std::string database = scratch.file("out.db");

    ProgramRun run = runSimulator({"-t", "1234.5", "-experimental", "-db", database, topology}, scratch,
                                  {{"LOCPATH", locales}, {"LC_ALL", "de_DE.UTF-8"}});

    EXPECT_EQ(run.lines().back(), "[simulator] Running [" + topology + "] for 1.234,5 second(s) (run 1 of 1)");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace netsim::cli::test
