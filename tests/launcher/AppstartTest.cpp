// End-to-end runs of the built launcher, copied into temporary installations
// whose runtime is a script that records how it was started.

#include "CaseName.h"
#include "Installation.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace appstart::test {
namespace {

namespace fs = std::filesystem;

void expectCleanSuccess(const ProgramRun& run)
{
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errorOutput, "");
    EXPECT_FALSE(run.leftProcessesBehind) << "the launcher ended before the runtime";
}

// --- arguments ------------------------------------------------------------

struct ArgumentCase {
    const char* name;
    std::string launcherName;
    std::string archiveName;
    std::vector<std::string> arguments;
};

void PrintTo(const ArgumentCase& c, std::ostream* os) { *os << c.name; }

const ArgumentCase argumentCases[] = {
    {"no arguments", "appstart", "appstart.jar", {}},
    {"one argument", "appstart", "appstart.jar", {"project.orvo"}},
    {"awkward arguments", "appstart", "appstart.jar",
     {"with blank", "", "\"quoted\"", "back\\slash\\", "$HOME", "*", "%s%n", "two\nlines", "--opt=a b", "-jar"}},
    {"launcher with extension", "Launch Me.bin", "Launch Me.jar", {"b", "a"}},
};

class AppstartArguments : public testing::TestWithParam<ArgumentCase> {};

TEST_P(AppstartArguments, ReachRuntimeVerbatimAfterArchive)
{
    const ArgumentCase& c = GetParam();
    netsim::test::TempDir temporary;
    Installation installation(temporary.path() / "my installation", c.launcherName);
    installation.installRecordingRuntime();

    expectCleanSuccess(installation.run(c.arguments, temporary.path()));

    ASSERT_TRUE(installation.runtimeStarted());
    EXPECT_EQ(installation.recordedArguments(), installation.expectedArguments(c.archiveName, c.arguments));
}

INSTANTIATE_TEST_SUITE_P(Cases, AppstartArguments, testing::ValuesIn(argumentCases), caseName<ArgumentCase>);

TEST(Appstart, CutsArgumentsBeyondTheArgumentBlock)
{
    netsim::test::TempDir temporary;
    Installation installation(temporary.path() / "installation");
    installation.installRecordingRuntime();

    std::vector<std::string> arguments;
    for (int i = 0; i < 40; ++i)
        arguments.emplace_back(1000, static_cast<char>('A' + i));

    // The runtime's path, its three options and the arguments share 32768
    // bytes, each with its terminator; what crosses the end is cut.
    const std::vector<std::string> all = installation.expectedArguments("appstart.jar", arguments);
    std::size_t room = 0x8000 - (installation.runtime().string().size() + 1);
    std::vector<std::string> expected;
    for (const std::string& argument : all) {
        if (room == 0)
            break;
        expected.push_back(argument.substr(0, room - 1));
        room -= expected.back().size() + 1;
    }
    ASSERT_LT(expected.size(), all.size()) << "the arguments must overflow the block";

    expectCleanSuccess(installation.run(arguments, temporary.path()));
    EXPECT_EQ(installation.recordedArguments(), expected);
}

TEST(Appstart, HandsRuntimeOnlyStandardStreams)
{
    netsim::test::TempDir temporary;
    Installation installation(temporary.path() / "installation");
    // A descriptor that whoever starts the launcher happens to leave open.
    const fs::path strayFile = temporary.path() / "stray";
    writeFile(strayFile, "");
    const int stray = open(strayFile.c_str(), O_RDONLY);
    ASSERT_GE(stray, 0);
    installation.installRecordingRuntime("echo to output; echo to error >&2\n"
                                         "if [ \"$(readlink /proc/$$/fd/" + std::to_string(stray) + ")\" = \""
                                         + strayFile.string() + "\" ]; then touch \"$0.stray\"; fi");

    const ProgramRun run = installation.run({}, temporary.path());
    close(stray);

    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "to output\n");
    EXPECT_EQ(run.errorOutput, "to error\n");
    EXPECT_TRUE(installation.runtimeStarted());
    EXPECT_FALSE(fs::exists(installation.runtime().string() + ".stray")) << "the runtime inherited the descriptor";
}

// --- working directory ----------------------------------------------------

struct StartCase {
    const char* name;
    // Given the installation directory and a directory outside it, where to
    // start from and by which path to call the launcher.
    std::pair<fs::path, std::string> (*place)(const fs::path& installation, const fs::path& elsewhere);
};

void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

const StartCase startCases[] = {
    {"absolute path from root",
     [](const fs::path& installation, const fs::path&) {
         return std::pair<fs::path, std::string>{"/", (installation / "appstart").string()};
     }},
    {"relative path from a sibling",
     [](const fs::path& installation, const fs::path& elsewhere) {
         return std::pair<fs::path, std::string>{elsewhere, "../" + installation.filename().string() + "/appstart"};
     }},
    {"relative path from inside the runtime",
     [](const fs::path& installation, const fs::path&) {
         return std::pair<fs::path, std::string>{installation / "jre" / "bin", "../../appstart"};
     }},
    {"symbolic link elsewhere",
     [](const fs::path& installation, const fs::path& elsewhere) {
         fs::create_symlink(installation / "appstart", elsewhere / "link to appstart");
         return std::pair<fs::path, std::string>{elsewhere, "./link to appstart"};
     }},
};

class AppstartStartedFrom : public testing::TestWithParam<StartCase> {};

TEST_P(AppstartStartedFrom, RunsRuntimeInInstallationDirectory)
{
    netsim::test::TempDir temporary;
    const fs::path elsewhere = temporary.path() / "elsewhere";
    fs::create_directories(elsewhere);
    Installation installation(temporary.path() / "my installation");
    installation.installRecordingRuntime();
    const auto [from, launcher] = GetParam().place(temporary.path() / "my installation", elsewhere);

    expectCleanSuccess(runProgram({launcher, "arg"}, from));

    ASSERT_TRUE(installation.runtimeStarted());
    EXPECT_EQ(installation.recordedWorkingDirectory(), temporary.path() / "my installation");
    EXPECT_EQ(installation.recordedArguments(), installation.expectedArguments("appstart.jar", {"arg"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, AppstartStartedFrom, testing::ValuesIn(startCases), caseName<StartCase>);

// --- exit status ----------------------------------------------------------

struct EndingCase {
    const char* name;
    std::string ending;
};

void PrintTo(const EndingCase& c, std::ostream* os) { *os << c.name; }

const EndingCase endingCases[] = {
    {"success", "exit 0"},
    {"failure", "exit 1"},
    {"status 3", "exit 3"},
    {"status 255", "exit 255"},
    {"killed", "kill -KILL $$"},
};

class AppstartRuntimeEnding : public testing::TestWithParam<EndingCase> {};

TEST_P(AppstartRuntimeEnding, EndsWithZeroAfterRuntime)
{
    netsim::test::TempDir temporary;
    Installation installation(temporary.path() / "installation");
    installation.installRecordingRuntime(GetParam().ending);

    const ProgramRun run = installation.run({}, temporary.path());

    EXPECT_TRUE(installation.runtimeStarted());
    expectCleanSuccess(run);
    EXPECT_EQ(run.output, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, AppstartRuntimeEnding, testing::ValuesIn(endingCases), caseName<EndingCase>);

// --- runtime that cannot start --------------------------------------------

struct BrokenRuntimeCase {
    const char* name;
    void (*breakRuntime)(const fs::path& runtime);
    int error;
};

void PrintTo(const BrokenRuntimeCase& c, std::ostream* os) { *os << c.name; }

const BrokenRuntimeCase brokenRuntimeCases[] = {
    {"no runtime", [](const fs::path&) {}, ENOENT},
    {"runtime without bin", [](const fs::path& runtime) { fs::create_directories(runtime.parent_path().parent_path()); },
     ENOENT},
    {"runtime not executable",
     [](const fs::path& runtime) {
         fs::create_directories(runtime.parent_path());
         writeFile(runtime, "#!/bin/sh\nexit 0\n");
         fs::permissions(runtime, fs::perms::owner_read | fs::perms::owner_write);
     },
     EACCES},
    {"runtime is a directory", [](const fs::path& runtime) { fs::create_directories(runtime); }, EACCES},
    {"runtime in an unknown format",
     [](const fs::path& runtime) {
         fs::create_directories(runtime.parent_path());
         writeFile(runtime, "not a program\n");
         fs::permissions(runtime, fs::perms::owner_all);
     },
     ENOEXEC},
};

class AppstartBrokenRuntime : public testing::TestWithParam<BrokenRuntimeCase> {};

TEST_P(AppstartBrokenRuntime, ReportsSystemErrorAndEndsWithMinusOne)
{
    const BrokenRuntimeCase& c = GetParam();
    netsim::test::TempDir temporary;
    Installation installation(temporary.path() / "installation");
    c.breakRuntime(installation.runtime());

    const ProgramRun run = installation.run({"arg"}, temporary.path());

    EXPECT_EQ(run.status, 255); // -1 as a POSIX parent sees it
    EXPECT_EQ(run.errorOutput, std::string("System error: ") + std::strerror(c.error) + "\n");
    EXPECT_EQ(run.output, "");
    EXPECT_FALSE(run.leftProcessesBehind);
}

INSTANTIATE_TEST_SUITE_P(Cases, AppstartBrokenRuntime, testing::ValuesIn(brokenRuntimeCases),
                         caseName<BrokenRuntimeCase>);

// --- length of the launcher's path ----------------------------------------

struct PathLengthCase {
    const char* name;
    std::size_t pathLength;
    std::string launcherName;
    bool accepted;
};

void PrintTo(const PathLengthCase& c, std::ostream* os) { *os << c.name; }

const PathLengthCase pathLengthCases[] = {
    {"259 characters", 259, "appstart", true},
    {"260 characters", 260, "appstart", false},
    {"261 characters", 261, "appstart", false},
    {"400 characters", 400, "appstart", false},
    // With a one-letter name the directory part alone reaches its buffer's limit.
    {"directory of 255 characters", 256, "a", true},
    {"directory of 256 characters", 257, "a", false},
};

class AppstartPathLength : public testing::TestWithParam<PathLengthCase> {};

TEST_P(AppstartPathLength, RefusesPathsThatDoNotFit)
{
    const PathLengthCase& c = GetParam();
    netsim::test::TempDir temporary;
    Installation installation(directoryForPathLength(temporary.path(), c.pathLength, c.launcherName.size()),
                              c.launcherName);
    ASSERT_EQ(installation.launcher().string().size(), c.pathLength);
    installation.installRecordingRuntime();

    const ProgramRun run = installation.run({"arg"}, temporary.path());

    if (c.accepted) {
        expectCleanSuccess(run);
        ASSERT_TRUE(installation.runtimeStarted());
        EXPECT_EQ(installation.recordedArguments(), installation.expectedArguments(c.launcherName + ".jar", {"arg"}));
    } else {
        EXPECT_EQ(run.status, 255);
        EXPECT_EQ(run.errorOutput, "Error: Pathname too long.\n");
        EXPECT_FALSE(installation.runtimeStarted());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AppstartPathLength, testing::ValuesIn(pathLengthCases), caseName<PathLengthCase>);

} // namespace
} // namespace appstart::test
