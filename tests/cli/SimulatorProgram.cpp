#include "cli/SimulatorProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "gtest/gtest.h"

extern char** environ;

namespace netsim::cli::test {

std::vector<std::string> ProgramRun::lines() const {
    std::vector<std::string> result;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

ProgramRun runSimulator(const std::vector<std::string>& arguments, const Scratch& scratch,
                        const Environment& environment) {
    // Everything the child needs is built before fork: only exec-safe calls follow it.
    std::vector<std::string> argumentTexts{SIMULATOR_PATH};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : argumentTexts) argv.push_back(text.data());
    argv.push_back(nullptr);

    Environment variables = environment;
    if (std::none_of(variables.begin(), variables.end(), [](const auto& variable) { return variable.first == "TMPDIR"; }))
        variables.emplace_back("TMPDIR", scratch.temporaryDirectory().string());
    std::vector<std::string> environmentTexts;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        bool replaced = std::any_of(variables.begin(), variables.end(),
                                    [&text](const auto& variable) { return text.starts_with(variable.first + "="); });
        if (!replaced) environmentTexts.push_back(text);
    }
    for (const auto& [name, value] : variables) environmentTexts.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& text : environmentTexts) envp.push_back(text.data());
    envp.push_back(nullptr);

    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);

    ProgramRun run;
    pollfd descriptors[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* targets[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0) {
        if (::poll(descriptors, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (descriptors[i].fd < 0 || descriptors[i].revents == 0) continue;
            char buffer[4096];
            ssize_t count = ::read(descriptors[i].fd, buffer, sizeof buffer);
            if (count > 0) {
                targets[i]->append(buffer, static_cast<std::size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                ::close(descriptors[i].fd);
                descriptors[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

std::string fixture(const std::string& name) { return std::string(NETSIM_TEST_DATA) + "/" + name; }

std::vector<std::vector<std::string>> query(const std::string& database, const std::string& sql) {
    sqlite3* connection = nullptr;
    if (sqlite3_open_v2(database.c_str(), &connection, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(connection);
        throw std::runtime_error("cannot open " + database);
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        std::string reason = sqlite3_errmsg(connection);
        sqlite3_close(connection);
        throw std::runtime_error("cannot prepare " + sql + ": " + reason);
    }
    std::vector<std::vector<std::string>> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            row.push_back(text != nullptr ? text : "NULL");
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(connection);
    return rows;
}

std::vector<std::string> entries(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string readText(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace netsim::cli::test
