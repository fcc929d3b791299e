// Preparing the output files, end to end: the faults that stop the runner before any run,
// and their order (database, jitter, latency).

#include <filesystem>
#include <string>
#include <vector>

#include "cli/SimulatorProgram.h"
#include "gtest/gtest.h"

namespace netsim::cli::test {
namespace {

const std::string kWelcome = "ORVO Quillmark 1.0.0 - Simulator CLI";

TEST(OutputFiles, ParentThatIsAFileCannotBeCreated) {
    Scratch scratch;
    scratch.write("plain", "not a directory");
    const std::string database = scratch.file("plain/results.db");

    ProgramRun run = runSimulator({"-db", database, "-experimental", fixture("minimal.orvo")}, scratch);

    EXPECT_EQ(run.lines(), (std::vector<std::string>{
                               "", kWelcome,
                               "[error] the parent directory for -db file [" + database + "] could not be created"}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "");
}

TEST(OutputFiles, OnlyOneMissingDirectoryLevelIsCreated) {
    Scratch scratch;
    const std::string jitter = scratch.file("one/two/jitter.csv");

    ProgramRun run = runSimulator({"-jitter", jitter, "-experimental", fixture("minimal.orvo")}, scratch);

    EXPECT_EQ(run.lines().back(), "[error] the parent directory for -jitter file [" + jitter + "] could not be created");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(std::filesystem::exists(scratch.file("one")));
}

TEST(OutputFiles, ADirectoryInTheFilesPlaceIsNotDeleted) {
    Scratch scratch;
    std::filesystem::create_directory(scratch.file("latency.csv"));

    ProgramRun run =
        runSimulator({"-latency", scratch.file("latency.csv"), "-experimental", fixture("minimal.orvo")}, scratch);

    EXPECT_EQ(run.lines().back(), "[error] the -latency file [" + scratch.file("latency.csv") + "] could not be deleted");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(std::filesystem::is_directory(scratch.file("latency.csv")));
}

TEST(OutputFiles, ArePreparedDatabaseFirstThenJitterThenLatency) {
    Scratch scratch;
    const std::string database = scratch.write("old.db", "previous results");
    std::filesystem::create_directory(scratch.file("latency.csv"));
    scratch.write("blocked", "a file where a directory is needed");

    // Given in the opposite order on the command line.
    ProgramRun run = runSimulator({"-latency", scratch.file("latency.csv"), "-jitter", scratch.file("blocked/j.csv"),
                                   "-db", database, "-experimental", fixture("minimal.orvo")},
                                  scratch);

    EXPECT_EQ(run.lines().back(),
              "[error] the parent directory for -jitter file [" + scratch.file("blocked/j.csv") + "] could not be created");
    EXPECT_FALSE(std::filesystem::exists(database));
    EXPECT_TRUE(std::filesystem::is_directory(scratch.file("latency.csv")));
}

TEST(OutputFiles, AreNotTouchedWhenTheTopologyFileFailsItsChecks) {
    Scratch scratch;
    const std::string database = scratch.write("old.db", "previous results");

    ProgramRun run = runSimulator({"-db", database, fixture("minimal.orvo")}, scratch);

    EXPECT_EQ(run.exitStatus, 1);

    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readText(database), "previous results");
}

}  // namespace
}  // namespace netsim::cli::test
