// The command line, end to end through the built program: usage, the argument faults with
// their exact lines, and that nothing is run or written after a fault.

#include <string>
#include <vector>

#include "cli/SimulatorProgram.h"
#include "gtest/gtest.h"

namespace netsim::cli::test {
namespace {

const std::string kWelcome = "ORVO Quillmark 1.0.0 - Simulator CLI";

TEST(Usage, NoArgumentsPrintsTheUsageTextAndRunsNothing) {
    Scratch scratch;
    ProgramRun run = runSimulator({}, scratch);

    EXPECT_EQ(run.exitStatus, 0);

    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.lines(), (std::vector<std::string>{
                               "",
                               "Usage: simulator.bat [-r <int>] [-t <double] [-discard] [-db <path>] [-jitter <path>] "
                               "[-latency <path>] <orvo file path>",
                               "",
                               "Where",
                               "<orvo file path> --- The file to simulate; must be valid and contain at least one flow",
                               "-t <double> --- Simulated time in seconds [default: 1.0]",
                               "-r <int> --- Run multiple simulations in sequence [default: 1]",
                               "-s <uint32> --- Random generator seed (not availabe when -r has a value greater than 1) "
                               "[default: 0 (random)]",
                               "-discard --- Discard task from the result db (to save space) - this is always the "
                               "case when -r has a value greater than 1 [default: false]",
                               "-experimental --- Don't validate the orvo file [default: false]",
                               "-db <path> --- Where to save the result sqlite database (default: none)",
                               "-jitter <path> --- Where to save jitter CSV (if the result contains jitter data) "
                               "[default: none]",
                               "-latency <path> --- Where to save latency CSV (if the result contains latency data) "
                               "[default: none]",
                               "",
                               "Note! All <path>:s are absolute ie c:\\orvo\\data\\can.orvo",
                               "Note! If a <path> contains spaces, it must be quoted ie \"c:\\orvo\\my "
                               "data\\can.orvo\"",
                               "Note! The <path>:s specified for -db -jitter -latency will be overwritten",
                           }));
    EXPECT_EQ(entries(scratch.temporaryDirectory()), std::vector<std::string>{});
}

struct ArgumentFault {
    const char* name;
    std::vector<std::string> options;  // the topology file follows them
    const char* line;
};

class ArgumentFaults : public ::testing::TestWithParam<ArgumentFault> {};

TEST_P(ArgumentFaults, LogTheirLineAndEndWithAFailureStatusBeforeAnythingIsWritten) {
    Scratch scratch;
    std::vector<std::string> arguments = GetParam().options;
    for (std::string& argument : arguments)
        if (argument.starts_with("@")) argument = scratch.file(argument.substr(1));
    arguments.push_back(fixture("minimal.orvo"));

    ProgramRun run = runSimulator(arguments, scratch);

    EXPECT_EQ(run.lines(), (std::vector<std::string>{"", kWelcome, GetParam().line}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(entries(scratch.path()), std::vector<std::string>{"tmp"});
    EXPECT_EQ(entries(scratch.temporaryDirectory()), std::vector<std::string>{});
}

// "@name" stands for a file of the test's scratch directory.
INSTANTIATE_TEST_SUITE_P(
    Table, ArgumentFaults,
    ::testing::Values(
        ArgumentFault{"Unknown", {"-x"}, "[error] Unknown argument [-x]"},
        ArgumentFault{"UnknownCaseDiffers", {"-DB", "@a.db"}, "[error] Unknown argument [-DB]"},
        ArgumentFault{"SecondFileBeforeTheLast", {"other.orvo"}, "[error] Unknown argument [other.orvo]"},
        ArgumentFault{"DuplicatedWithValue", {"-db", "@a.db", "-db", "@b.db"}, "[error] Argument [-db] is duplicated"},
        ArgumentFault{"DuplicatedFlag", {"-discard", "-r", "2", "-discard"}, "[error] Argument [-discard] is duplicated"},
        // The last argument is always the file, never an option's value.
        ArgumentFault{"ValueMissingBeforeTheFile", {"-db"}, "[error] Argument [-db] requires a parameter"},
        ArgumentFault{"ValueMissingAfterOthers", {"-t", "2", "-latency"},
                      "[error] Argument [-latency] requires a parameter"},
        ArgumentFault{"RunCountZero", {"-r", "0"}, "[error] \"-r\" must be >= 1"},
        ArgumentFault{"RunCountNegative", {"-r", "-3"}, "[error] \"-r\" must be >= 1"},
        ArgumentFault{"RunCountNotANumber", {"-r", "three"}, "[error] \"-r\" must be an integer"},
        ArgumentFault{"RunCountFraction", {"-r", "1.5"}, "[error] \"-r\" must be an integer"},
        ArgumentFault{"RunCountBeyond32Bits", {"-r", "2147483648"}, "[error] \"-r\" must be an integer"},
        ArgumentFault{"SeedNegative", {"-s", "-1"}, "[error] \"-s\" must be an uint32"},
        ArgumentFault{"SeedBeyond32Bits", {"-s", "4294967296"}, "[error] \"-s\" must be an uint32"},
        ArgumentFault{"SeedNotANumber", {"-s", "0x10"}, "[error] \"-s\" must be an uint32"},
        ArgumentFault{"TimeZero", {"-t", "0"}, "[error] \"-t\" must be >= 0.00000001"},
        ArgumentFault{"TimeJustBelowMinimum", {"-t", "9.99e-9"}, "[error] \"-t\" must be >= 0.00000001"},
        ArgumentFault{"TimeNegative", {"-t", "-1"}, "[error] \"-t\" must be >= 0.00000001"},
        ArgumentFault{"TimeNotANumber", {"-t", "1s"}, "[error] \"-t\" must be a double"},
        ArgumentFault{"TimeInfinite", {"-t", "inf"}, "[error] \"-t\" must be a double"},
        ArgumentFault{"TimeUndefined", {"-t", "nan"}, "[error] \"-t\" must be a double"},
        // An option takes the next argument as its value, whatever it looks like.
        ArgumentFault{"OptionAsValue", {"-r", "-t", "5"}, "[error] \"-r\" must be an integer"},
        // Read from the first argument on: the first fault is the one reported.
        ArgumentFault{"FirstFaultWins", {"-r", "0", "-x"}, "[error] \"-r\" must be >= 1"},
        ArgumentFault{"StructureBeforeLaterValues", {"-x", "-r", "0"}, "[error] Unknown argument [-x]"}),
    [](const ::testing::TestParamInfo<ArgumentFault>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace netsim::cli::test
