#include "Launcher.h"

#include "CaseName.h"
#include "CommandLine.h"
#include "LinuxPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace appstart {
namespace {

// Answers the operating-system questions as a test configures them and
// records what the launcher asks for; only path splitting stays real.
class ScriptedPlatform : public LinuxPlatform {
public:
    std::string modulePath = "/opt/my tool/appstart";
    int moduleError = 0;
    int startError = 0;
    std::map<int, std::string> errorTexts;

    std::optional<std::vector<std::string>> startedArguments;
    std::string startedIn;
    std::optional<ProcessId> waitedFor;
    std::vector<std::pair<std::string, std::string>> messages; // caption, text

    ModulePath moduleFileName(char* buffer, std::size_t size) override
    {
        if (moduleError != 0)
            return ModulePath{0, moduleError};
        const std::size_t kept = std::min(modulePath.size(), size - 1);
        std::memcpy(buffer, modulePath.data(), kept);
        buffer[kept] = '\0';
        return ModulePath{modulePath.size(), 0};
    }

    ProcessStart createProcess(CommandLine& commandLine, const char* workingDirectory) override
    {
        const auto arguments = commandLine.arguments();
        startedArguments.emplace(arguments.begin(), arguments.end());
        startedIn = workingDirectory;
        return startError != 0 ? ProcessStart{0, startError} : ProcessStart{42, 0};
    }

    void waitForProcess(ProcessId process) override { waitedFor = process; }

    std::optional<std::string> systemErrorText(int code) override
    {
        const auto found = errorTexts.find(code);
        return found == errorTexts.end() ? std::nullopt : std::optional<std::string>(found->second);
    }

    void messageBox(const char* text, const char* caption) override { messages.emplace_back(caption, text); }
};

int runLauncher(ScriptedPlatform& platform, const std::vector<const char*>& arguments)
{
    Launcher launcher(platform);
    return launcher.run(arguments);
}

TEST(Launcher, StartsRuntimeBesideItselfAndWaitsForIt)
{
    ScriptedPlatform platform;
    // Arguments are never taken as formats.
    EXPECT_EQ(runLauncher(platform, {"a b", "", "%s%n", "last"}), 0);

    ASSERT_TRUE(platform.startedArguments);
    EXPECT_EQ(*platform.startedArguments,
              (std::vector<std::string>{"/opt/my tool/jre/bin/java", "-Djava.library.path=/opt/my tool/core", "-jar",
                                        "/opt/my tool/appstart.jar", "a b", "", "%s%n", "last"}));
    EXPECT_EQ(platform.startedIn, "/opt/my tool/");
    EXPECT_EQ(platform.waitedFor, ProcessId{42});
    EXPECT_TRUE(platform.messages.empty());
}

TEST(Launcher, NamesArchiveAfterItselfWithoutExtension)
{
    ScriptedPlatform platform;
    platform.modulePath = "/srv/v2.0/Launch Me.bin";
    EXPECT_EQ(runLauncher(platform, {}), 0);
    ASSERT_TRUE(platform.startedArguments);
    EXPECT_EQ(*platform.startedArguments,
              (std::vector<std::string>{"/srv/v2.0/jre/bin/java", "-Djava.library.path=/srv/v2.0/core", "-jar",
                                        "/srv/v2.0/Launch Me.jar"}));
}

struct FailureCase {
    const char* name;
    std::string modulePath;
    int moduleError;
    int startError;
    std::map<int, std::string> errorTexts;
    bool triesToStart;
    const char* caption;
    const char* text;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

const FailureCase failureCases[] = {
    {"runtime missing", "/opt/appstart", 0, ENOENT, {{ENOENT, "No such file or directory"}}, true,
     "System error", "No such file or directory"},
    {"error without system text", "/opt/appstart", 0, 12345, {}, true,
     "Java not detected.", "A JRE is required to run this program. (12345)"},
    {"own path unavailable", "/opt/appstart", EACCES, 0, {{EACCES, "Permission denied"}}, false,
     "System error", "Permission denied"},
    {"own path of 260 characters", "/" + std::string(250, 'd') + "/appstart", 0, 0, {}, false,
     "Error", "Pathname too long."},
    {"own path far too long", "/" + std::string(1000, 'd') + "/appstart", 0, 0, {}, false,
     "Error", "Pathname too long."},
    {"directory part over its buffer", "/" + std::string(256, 'd') + "/a", 0, 0, {}, false,
     "Error", "Pathname too long."},
};

class LauncherFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(LauncherFailure, ReportsInOneMessageAndEndsWithMinusOne)
{
    const FailureCase& c = GetParam();
    ScriptedPlatform platform;
    platform.modulePath = c.modulePath;
    platform.moduleError = c.moduleError;
    platform.startError = c.startError;
    platform.errorTexts = c.errorTexts;

    EXPECT_EQ(runLauncher(platform, {"x"}), -1);

    EXPECT_EQ(platform.messages, (std::vector<std::pair<std::string, std::string>>{{c.caption, c.text}}));
    EXPECT_EQ(platform.startedArguments.has_value(), c.triesToStart);
    EXPECT_FALSE(platform.waitedFor);
}

INSTANTIATE_TEST_SUITE_P(Cases, LauncherFailure, testing::ValuesIn(failureCases),
                         test::caseName<FailureCase>);

} // namespace
} // namespace appstart
