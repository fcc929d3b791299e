#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "db/DatabasePersistence.h"
#include "db/ResultsFile.h"
#include "gtest/gtest.h"
#include "simulator/kernel/JobRecord.h"

extern char** environ;

namespace netsim::test {
namespace {

// The child process learns its database file from this variable.
constexpr const char* kChildFileVariable = "NETSIM_DB_KILLED_WRITER_FILE";
// The child dies just before this write into the database file. Its run's commit of the
// run_info row has written two pages, and the commit of the first job batch has written page 1,
// whose header now counts pages that are not in the file yet: without a journal the next
// opening finds the file malformed, with one it restores the file as run 1 left it.
constexpr int kFatalWrite = 4;

// A VFS that forwards to the default one and kills the process at a given write into a main
// database file, as a crash of the process or a kill -9 in the middle of a commit would.
class KillingVfs {
public:
    static void install(int fatalWrite) {
        fatalWrite_ = fatalWrite;
        real_ = sqlite3_vfs_find(nullptr);
        vfs_ = *real_;
        vfs_.zName = "netsim-killing";
        vfs_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
        vfs_.xOpen = &open;
        sqlite3_vfs_register(&vfs_, 1);
    }

private:
    struct File {
        sqlite3_file base;
        sqlite3_file* real;
        bool mainDatabase;
    };

    static sqlite3_file* real(sqlite3_file* file) { return reinterpret_cast<File*>(file)->real; }

    static int open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
        File* wrapper = reinterpret_cast<File*>(file);
        wrapper->real = reinterpret_cast<sqlite3_file*>(wrapper + 1);
        wrapper->mainDatabase = (flags & SQLITE_OPEN_MAIN_DB) != 0;
        int result = real_->xOpen(real_, name, wrapper->real, flags, outFlags);
        wrapper->base.pMethods = wrapper->real->pMethods != nullptr ? &methods_ : nullptr;
        return result;
    }

    static int close(sqlite3_file* f) { return real(f)->pMethods->xClose(real(f)); }
    static int read(sqlite3_file* f, void* data, int amount, sqlite3_int64 offset) {
        return real(f)->pMethods->xRead(real(f), data, amount, offset);
    }
    static int write(sqlite3_file* f, const void* data, int amount, sqlite3_int64 offset) {
        if (reinterpret_cast<File*>(f)->mainDatabase && ++writes_ == fatalWrite_) ::kill(::getpid(), SIGKILL);
        return real(f)->pMethods->xWrite(real(f), data, amount, offset);
    }
    static int truncate(sqlite3_file* f, sqlite3_int64 size) { return real(f)->pMethods->xTruncate(real(f), size); }
    static int sync(sqlite3_file* f, int flags) { return real(f)->pMethods->xSync(real(f), flags); }
    static int fileSize(sqlite3_file* f, sqlite3_int64* size) { return real(f)->pMethods->xFileSize(real(f), size); }
    static int lock(sqlite3_file* f, int level) { return real(f)->pMethods->xLock(real(f), level); }
    static int unlock(sqlite3_file* f, int level) { return real(f)->pMethods->xUnlock(real(f), level); }
    static int checkReservedLock(sqlite3_file* f, int* out) {
        return real(f)->pMethods->xCheckReservedLock(real(f), out);
    }
    static int fileControl(sqlite3_file* f, int op, void* arg) {
        return real(f)->pMethods->xFileControl(real(f), op, arg);
    }
    static int sectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
    static int deviceCharacteristics(sqlite3_file* f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); }

    // Version 1: the rollback journal needs neither shared memory nor memory mapping.
    static constexpr sqlite3_io_methods methods_ = {
        1,
        &close,
        &read,
        &write,
        &truncate,
        &sync,
        &fileSize,
        &lock,
        &unlock,
        &checkReservedLock,
        &fileControl,
        &sectorSize,
        &deviceCharacteristics,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
    };

    static inline sqlite3_vfs* real_ = nullptr;
    static inline sqlite3_vfs vfs_{};
    static inline int fatalWrite_ = 0;
    static inline int writes_ = 0;
};

void saveJobs(DatabasePersistence& sink, JobRecordPool& pool, int count, const char* task) {
    for (int i = 0; i < count; ++i) {
        JobRecord* record = pool.take();
        record->resourceName = "SW1.P1.Transmitter";
        record->taskName = task;
        record->start = i * 1e-3;
        record->end = i * 1e-3 + 5e-4;
        record->colour = 6;
        sink.saveJob(record);
    }
}

// Run 2 of a batch, in a process of its own that dies while writing.
TEST(KilledWriter, WritesRunTwoUntilKilled) {
    const char* path = std::getenv(kChildFileVariable);
    if (path == nullptr) GTEST_SKIP() << "started only by KillSafety";
    KillingVfs::install(kFatalWrite);
    JobRecordPool pool;
    DatabasePersistence sink(path, false, 2, 3, 2);
    saveJobs(sink, pool, 5000, "EthHwTx run 2");
    sink.finishRun(6);
    ADD_FAILURE() << "the writer was not killed";
}

int runKilledWriter(const std::string& path) {
    std::string variable = std::string(kChildFileVariable) + "=" + path;
    std::vector<char*> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) environment.push_back(*entry);
    environment.push_back(variable.data());
    environment.push_back(nullptr);
    std::string program = "/proc/self/exe";
    std::string filter = "--gtest_filter=KilledWriter.WritesRunTwoUntilKilled";
    char* arguments[] = {program.data(), filter.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST(KillSafety, RunKilledInTheMiddleOfACommitLeavesTheEarlierRunsIntact) {
    TempDir directory;
    std::string path = directory.file("results.db");
    JobRecordPool pool;
    {
        DatabasePersistence sink(path, false, 1, 3, 1);
        saveJobs(sink, pool, 5000, "EthHwTx run 1");
        sink.saveInfoMessage("run 1 done");
        sink.finishRun(6);
    }
    const std::string jobsOfRun1 =
        "select j.id, a.name, t.name, j.start_time from job j join active_resource a on a.id = "
        "j.active_resource_id join task t on t.id = j.task_id where t.name = 'EthHwTx run 1' order by j.rowid";
    const std::vector<Row> run1 = ResultsFile(path).rows(jobsOfRun1);
    ASSERT_EQ(run1.size(), 5000u);

    int status = runKilledWriter(path);
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    ASSERT_EQ(WTERMSIG(status), SIGKILL);

    // The batch goes on; opening the file for the next run restores it from the journal.
    {
        DatabasePersistence sink(path, false, 3, 3, 3);
        saveJobs(sink, pool, 10, "EthHwTx run 3");
        ASSERT_NO_THROW(sink.finishRun(6));
    }
    ResultsFile file(path);
    EXPECT_EQ(file.rows("pragma integrity_check"), (std::vector<Row>{{text("ok")}}));
    EXPECT_EQ(file.rows(jobsOfRun1), run1);
    EXPECT_EQ(file.count("select count(*) from job j join task t on t.id = j.task_id where t.name = 'EthHwTx run 2'"),
              0);
    EXPECT_EQ(file.count("select count(*) from job j join task t on t.id = j.task_id where t.name = 'EthHwTx run 3'"),
              10);
    EXPECT_EQ(file.rows("select message_text from message"), (std::vector<Row>{{text("run 1 done")}}));
}

}  // namespace
}  // namespace netsim::test
