#include "LinuxPlatform.h"

#include "CaseName.h"
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace appstart {
namespace {

struct SplitCase {
    const char* name;
    std::string path;
    bool fits;
    const char* directory;
    const char* fileName;
    const char* extension;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

const std::string longDirectory(253, 'd'); // "/" + 253 + "/" fills the 256-byte buffer

const SplitCase splitCases[] = {
    {"plain", "/opt/tool/appstart", true, "/opt/tool/", "appstart", ""},
    {"blanks and extension", "/opt/my tool/Launch Me.bin", true, "/opt/my tool/", "Launch Me", ".bin"},
    {"dots in directory and name", "/opt/v1.2/app.tar.gz", true, "/opt/v1.2/", "app.tar", ".gz"},
    {"hidden file", "/opt/.hidden", true, "/opt/", ".hidden", ""},
    {"bare dot", "/opt/name.", true, "/opt/", "name", "."},
    {"root directory", "/appstart", true, "/", "appstart", ""},
    {"directory of 255 characters", "/" + longDirectory + "/a", true, nullptr, "a", ""},
    {"directory of 256 characters", "/" + longDirectory + "d/a", false, nullptr, nullptr, nullptr},
    {"name of 255 characters", "/opt/" + std::string(255, 'n'), true, "/opt/", nullptr, ""},
};

class SplitPath : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitPath, SplitsIntoDirectoryNameAndExtension)
{
    const SplitCase& c = GetParam();
    LinuxPlatform platform;
    PathParts parts;
    ASSERT_EQ(platform.splitPath(c.path.c_str(), parts), c.fits);
    if (!c.fits)
        return;
    EXPECT_STREQ(parts.drive, "");
    // A null expectation stands for "the rest"; the parts must then rebuild the path.
    if (c.directory != nullptr) {
        EXPECT_STREQ(parts.directory, c.directory);
    }
    if (c.fileName != nullptr) {
        EXPECT_STREQ(parts.name, c.fileName);
    }
    EXPECT_STREQ(parts.extension, c.extension);
    EXPECT_EQ(std::string(parts.directory) + parts.name + parts.extension, c.path);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitPath, testing::ValuesIn(splitCases), test::caseName<SplitCase>);

TEST(LinuxPlatform, SystemErrorTextOnlyForKnownCodes)
{
    ASSERT_EQ(setenv("LC_ALL", "C", 1), 0);
    LinuxPlatform platform;
    EXPECT_EQ(platform.systemErrorText(ENOENT), std::string(std::strerror(ENOENT)));
    EXPECT_EQ(platform.systemErrorText(EACCES), std::string(std::strerror(EACCES)));
    EXPECT_EQ(platform.systemErrorText(99999), std::nullopt);
    EXPECT_EQ(platform.systemErrorText(-1), std::nullopt);
}

TEST(LinuxPlatform, ModuleFileNameReportsFullLengthWhenTruncated)
{
    const std::string own = std::filesystem::read_symlink("/proc/self/exe").string();
    LinuxPlatform platform;

    char whole[4096];
    const ModulePath full = platform.moduleFileName(whole, sizeof whole);
    EXPECT_EQ(full.error, 0);
    EXPECT_EQ(full.length, own.size());
    EXPECT_EQ(std::string(whole), own);

    char small[8];
    const ModulePath cut = platform.moduleFileName(small, sizeof small);
    EXPECT_EQ(cut.error, 0);
    EXPECT_GE(cut.length, sizeof small);
    EXPECT_EQ(std::string(small), own.substr(0, sizeof small - 1));
}

} // namespace
} // namespace appstart
