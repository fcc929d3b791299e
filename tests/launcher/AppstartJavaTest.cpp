// The launcher against the machine's own Java runtime and a real archive.

#include "Installation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace appstart::test {
namespace {

namespace fs = std::filesystem;

const char* const echoSource = R"(public class Echo {
    public static void main(String[] arguments) {
        System.out.println("user.dir=" + System.getProperty("user.dir"));
        System.out.println("java.library.path=" + System.getProperty("java.library.path"));
        System.out.println("java.class.path=" + System.getProperty("java.class.path"));
        for (String argument : arguments)
            System.out.println("argument=" + argument);
        System.exit(7);
    }
}
)";

void runTool(const std::vector<std::string>& command, const fs::path& from)
{
    const ProgramRun run = runProgram(command, from);
    ASSERT_EQ(run.status, 0) << command.front() << " failed:\n" << run.output << run.errorOutput;
}

TEST(AppstartWithJava, StartsArchiveOnRuntimeBesideIt)
{
    netsim::test::TempDir temporary;
    const fs::path build = temporary.path() / "build";
    fs::create_directories(build / "classes");
    writeFile(build / "Echo.java", echoSource);

    Installation installation(temporary.path() / "my installation");
    ASSERT_NO_FATAL_FAILURE(runTool({JAVAC_PATH, "-d", "classes", "Echo.java"}, build));
    ASSERT_NO_FATAL_FAILURE(runTool({JAR_PATH, "--create", "--file", installation.base() + "appstart.jar",
                                     "--main-class", "Echo", "-C", "classes", "."},
                                    build));
    // The runtime of the JDK that compiled the archive is sure to run it.
    const fs::path javaHome = fs::canonical(JAVAC_PATH).parent_path().parent_path();
    fs::create_directory_symlink(javaHome, temporary.path() / "my installation" / "jre");

    const ProgramRun run = installation.run({"first", "with blank", "", "\"quoted\""}, "/");

    EXPECT_EQ(run.status, 0) << run.errorOutput;
    EXPECT_FALSE(run.leftProcessesBehind);
    const std::string base = installation.base();
    EXPECT_EQ(run.output, "user.dir=" + base.substr(0, base.size() - 1) + "\n"
                          "java.library.path=" + base + "core\n"
                          "java.class.path=" + base + "appstart.jar\n"
                          "argument=first\n"
                          "argument=with blank\n"
                          "argument=\n"
                          "argument=\"quoted\"\n");
}

} // namespace
} // namespace appstart::test
