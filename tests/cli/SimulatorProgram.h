#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "TempDir.h"

namespace netsim::cli::test {

// A directory of its own for each test, removed afterwards. Its "tmp" folder serves as the
// program's temporary directory, so that a test can see what the runner leaves there.
class Scratch : public netsim::test::TempDir {
public:
    Scratch() { std::filesystem::create_directories(temporaryDirectory()); }

    std::filesystem::path temporaryDirectory() const { return path() / "tmp"; }
};

struct ProgramRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
    std::vector<std::string> lines() const;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs the built simulator with its output on pipes (not a terminal), the scratch's tmp
// folder as TMPDIR unless the given variables, added to the environment, name another.
ProgramRun runSimulator(const std::vector<std::string>& arguments, const Scratch& scratch,
                        const Environment& environment = {});

// A topology file of tests/cli/data.
std::string fixture(const std::string& name);

// The rows of a query on an SQLite file, every value as text ("NULL" for null).
std::vector<std::vector<std::string>> query(const std::string& database, const std::string& sql);

// The names of the entries of a directory, sorted.
std::vector<std::string> entries(const std::filesystem::path& directory);

std::string readText(const std::string& file);

}  // namespace netsim::cli::test
