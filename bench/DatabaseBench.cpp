// The results database under the load of a long run: 1 000 000 job records and 100 000
// dropped frames (one after every tenth job) written into a file on local disk.
//
//   SaveJob_NoPersistence        take a record, fill it, hand it to a sink that drops it: the
//                                simulation thread's cost without a database
//   SaveJob_DatabasePersistence  the same into the database sink, pushed flat out (the worker
//                                is busy); records are created beforehand, as after the first
//                                moments of a long run
//   SaveJob_WorkerAsleep         one save after every 2 us of other work, so that the worker has
//                                caught up: the time of the call alone
//   WriteRun/*                   whole runs through the sink: the worker's rows per second,
//                                measured from construction until the worker has closed the file
//                                (rows_per_s) and per second of the worker's own CPU time
//                                (rows_per_worker_cpu_s, which other load on the machine does
//                                not change); records_created is the memory the run needed
//     rollback_journal           as built, in a run that is not the last of its batch
//     journal_off                the same with the journal switched off, the other candidate
//     last_run                   as built, with the index build of the batch's last run
//     paced                      about 1 us of other simulation work per job, as in a real run
//
// Compare the journal variants with --benchmark_enable_random_interleaving=true, so that other
// load on the machine falls on both alike.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/DatabasePersistence.h"
#include "simulator/kernel/ISimulationPersistence.h"
#include "simulator/kernel/JobRecord.h"

namespace {

using netsim::DatabasePersistence;
using netsim::JobRecord;
using netsim::JobRecordPool;

constexpr int64_t kJobs = 1'000'000;
constexpr int64_t kDroppedFrames = 100'000;
constexpr int64_t kJobsPerDroppedFrame = kJobs / kDroppedFrames;

// A database file on local disk, removed with its journal afterwards.
class ScratchFile {
public:
    explicit ScratchFile(const char* name)
        : path_((std::filesystem::temp_directory_path() /
                 ("netsim-bench-" + std::to_string(::getpid()) + "-" + name + ".db"))
                    .string()) {
        remove();
    }
    ~ScratchFile() { remove(); }
    const std::string& path() const { return path_; }

private:
    void remove() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
        std::filesystem::remove(path_ + "-journal", ignored);
    }
    std::string path_;
};

// 64 tasks on 16 resources, named like the model's transmitters.
class Tasks {
public:
    Tasks() {
        for (int i = 0; i < 64; ++i) {
            char resource[32];
            char task[48];
            std::snprintf(resource, sizeof resource, "SW%02d.P%d.Transmitter", i % 16, i % 4);
            std::snprintf(task, sizeof task, "EthHwTx Frame_%04d_to_ECU%02d", i, i % 16);
            auto added = std::make_unique<Task>();
            added->resourceName = resource;
            added->name = task;
            tasks_.push_back(std::move(added));
        }
    }

    JobRecord* record(int64_t job) {
        Task& task = *tasks_[static_cast<std::size_t>(job) % tasks_.size()];
        JobRecord* record = task.pool.take();
        record->resourceName = task.resourceName;
        record->taskName = task.name;
        record->start = static_cast<double>(job) * 1e-6;
        record->end = record->start + 5e-7;
        record->colour = static_cast<int32_t>(6 + job % 40);
        return record;
    }

    const std::string& resourceName(int64_t job) const {
        return tasks_[static_cast<std::size_t>(job) % tasks_.size()]->resourceName;
    }

    double recordsCreated() const {
        std::size_t created = 0;
        for (const auto& task : tasks_) created += task->pool.createdCount();
        return static_cast<double>(created);
    }

    // Creates the records the run will need before it starts.
    void prewarm(int64_t records) {
        std::vector<JobRecord*> taken;
        taken.reserve(static_cast<std::size_t>(records));
        for (int64_t job = 0; job < records; ++job) taken.push_back(record(job));
        for (JobRecord* record : taken) record->pool->giveBack(record);
    }

private:
    struct Task {
        std::string resourceName;
        std::string name;
        JobRecordPool pool;
    };
    std::vector<std::unique_ptr<Task>> tasks_;
};

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Keeps the simulation thread busy for about the given time.
void otherSimulationWork(std::chrono::nanoseconds duration) {
    auto until = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < until) {
    }
}

// Makes every connection opened meanwhile write without a journal, whatever it asks for: the
// connection starts with the journal off and its own journal_mode pragmas are ignored.
class JournalOff {
public:
    JournalOff() { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&onOpen)); }
    ~JournalOff() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&onOpen)); }
    JournalOff(const JournalOff&) = delete;
    JournalOff& operator=(const JournalOff&) = delete;

private:
    static int onOpen(sqlite3* connection, const char**, const sqlite3_api_routines*) {
        sqlite3_exec(connection, "pragma journal_mode = OFF", nullptr, nullptr, nullptr);
        sqlite3_set_authorizer(connection, &ignoreJournalMode, nullptr);
        return SQLITE_OK;
    }
    static int ignoreJournalMode(void*, int action, const char* pragma, const char*, const char*, const char*) {
        bool journalMode = action == SQLITE_PRAGMA && pragma != nullptr && std::strcmp(pragma, "journal_mode") == 0;
        return journalMode ? SQLITE_IGNORE : SQLITE_OK;
    }
};

template <typename Sink>
void saveJobs(benchmark::State& state, Sink& sink, Tasks& tasks) {
    int64_t job = 0;
    for (auto _ : state) sink.saveJob(tasks.record(job++));
}

void SaveJob_NoPersistence(benchmark::State& state) {
    Tasks tasks;
    tasks.prewarm(kJobs);
    netsim::NoPersistence sink;
    saveJobs(state, sink, tasks);
}

void SaveJob_DatabasePersistence(benchmark::State& state) {
    ScratchFile file("savejob");
    Tasks tasks;
    tasks.prewarm(kJobs);
    DatabasePersistence sink(file.path(), false, 1, 2, 1);
    saveJobs(state, sink, tasks);
    sink.finishRun(46);
    state.counters["records_created"] = tasks.recordsCreated();
}

void SaveJob_WorkerAsleep(benchmark::State& state) {
    ScratchFile file("asleep");
    Tasks tasks;
    DatabasePersistence sink(file.path(), false, 1, 2, 1);
    int64_t job = 0;
    for (auto _ : state) {
        otherSimulationWork(std::chrono::microseconds(2));
        JobRecord* record = tasks.record(job++);
        auto start = std::chrono::steady_clock::now();
        sink.saveJob(record);
        auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    sink.finishRun(46);
    state.counters["records_created"] = tasks.recordsCreated();
}

enum class Journal { kAsBuilt, kOff };

void WriteRun(benchmark::State& state, Journal journal, int32_t maxRunCount, std::chrono::nanoseconds workPerJob) {
    for (auto _ : state) {
        ScratchFile file("run");
        Tasks tasks;
        std::unique_ptr<JournalOff> journalOff;
        if (journal == Journal::kOff) journalOff = std::make_unique<JournalOff>();

        std::chrono::steady_clock::time_point workerEnd;
        double workerCpuSeconds = 0;
        DatabasePersistence::WorkerHooks hooks;
        hooks.workerEnded = [&] {
            workerEnd = std::chrono::steady_clock::now();
            workerCpuSeconds = threadCpuSeconds();
        };

        auto start = std::chrono::steady_clock::now();
        DatabasePersistence sink(file.path(), false, 1, maxRunCount, 1, hooks);
        for (int64_t job = 0; job < kJobs; ++job) {
            sink.saveJob(tasks.record(job));
            if (job % kJobsPerDroppedFrame == 0)
                sink.saveDroppedFrame(tasks.resourceName(job), "Flow_0042", 1, static_cast<double>(job) * 1e-6);
            if (workPerJob.count() > 0) otherSimulationWork(workPerJob);
        }
        sink.finishRun(46);

        double workerSeconds = std::chrono::duration<double>(workerEnd - start).count();
        state.SetIterationTime(workerSeconds);
        state.counters["rows_per_s"] = static_cast<double>(kJobs + kDroppedFrames) / workerSeconds;
        state.counters["rows_per_worker_cpu_s"] = static_cast<double>(kJobs + kDroppedFrames) / workerCpuSeconds;
        state.counters["records_created"] = tasks.recordsCreated();
    }
}

}  // namespace

BENCHMARK(SaveJob_NoPersistence)->Iterations(kJobs)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(SaveJob_DatabasePersistence)->Iterations(kJobs)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(SaveJob_WorkerAsleep)->Iterations(200'000)->Repetitions(3)->UseManualTime()->ReportAggregatesOnly(true);

#define NETSIM_WRITE_RUN(name, repetitions, ...)   \
    BENCHMARK_CAPTURE(WriteRun, name, __VA_ARGS__) \
        ->Iterations(1)                            \
        ->Repetitions(repetitions)                 \
        ->UseManualTime()                          \
        ->Unit(benchmark::kMillisecond)            \
        ->ReportAggregatesOnly(true)

NETSIM_WRITE_RUN(rollback_journal, 7, Journal::kAsBuilt, 2, std::chrono::nanoseconds(0));
NETSIM_WRITE_RUN(journal_off, 7, Journal::kOff, 2, std::chrono::nanoseconds(0));
NETSIM_WRITE_RUN(last_run, 3, Journal::kAsBuilt, 1, std::chrono::nanoseconds(0));
NETSIM_WRITE_RUN(paced, 3, Journal::kAsBuilt, 2, std::chrono::nanoseconds(1000));

BENCHMARK_MAIN();
