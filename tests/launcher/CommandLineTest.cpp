#include "CommandLine.h"

#include "CaseName.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace appstart {
namespace {

struct BlockCase {
    const char* name;
    std::vector<std::size_t> lengths;  // lengths of the arguments appended
    std::vector<std::size_t> expected; // lengths of the arguments kept
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.name; }

// Every argument takes its length plus a terminator out of the block.
const BlockCase blockCases[] = {
    {"fit", {10, 0, 20}, {10, 0, 20}},
    {"fill the block exactly", {CommandLine::capacity - 1, 5}, {CommandLine::capacity - 1}},
    {"cut the argument that crosses the end", {30000, 5000, 7}, {30000, CommandLine::capacity - 30001 - 1}},
    {"one byte left keeps an empty argument", {CommandLine::capacity - 2, 5, 7}, {CommandLine::capacity - 2, 0}},
    {"cut a single huge argument", {CommandLine::capacity + 100}, {CommandLine::capacity - 1}},
};

class CommandLineBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(CommandLineBlock, KeepsWhatFitsAndCutsTheRest)
{
    const BlockCase& c = GetParam();
    CommandLine commandLine;
    std::vector<std::string> expected;
    char letter = 'a';
    for (std::size_t i = 0; i < c.lengths.size(); ++i, ++letter) {
        const std::string argument(c.lengths[i], letter);
        commandLine.append("%s", argument.c_str());
        if (i < c.expected.size())
            expected.push_back(argument.substr(0, c.expected[i]));
    }

    const std::vector<std::string_view> kept = commandLine.arguments();
    EXPECT_EQ(std::vector<std::string>(kept.begin(), kept.end()), expected);

    std::vector<char*> vector = commandLine.argumentVector();
    ASSERT_FALSE(vector.empty());
    EXPECT_EQ(vector.back(), nullptr);
    vector.pop_back();
    EXPECT_EQ(std::vector<std::string>(vector.begin(), vector.end()), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineBlock, testing::ValuesIn(blockCases),
                         test::caseName<BlockCase>);

TEST(CommandLine, FormatsEachArgumentSeparately)
{
    CommandLine commandLine;
    commandLine.append("%sjre/bin/java", "/opt/my tool/");
    commandLine.append("-jar");
    commandLine.append("%s%s.jar", "/opt/my tool/", "appstart");
    EXPECT_EQ(commandLine.arguments(),
              (std::vector<std::string_view>{"/opt/my tool/jre/bin/java", "-jar", "/opt/my tool/appstart.jar"}));
}

} // namespace
} // namespace appstart
