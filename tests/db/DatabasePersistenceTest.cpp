#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "db/DatabasePersistence.h"
#include "db/ResultsFile.h"
#include "gtest/gtest.h"
#include "simulator/kernel/JobRecord.h"

namespace netsim::test {
namespace {

// What a task contributes to job recording: its pool and the names its records carry.
class RecordingTask {
public:
    RecordingTask(std::string resourceName, std::string taskName)
        : resourceName_(std::move(resourceName)), taskName_(std::move(taskName)) {}

    JobRecord* record(double start, double end, int32_t colour) {
        JobRecord* record = pool_.take();
        record->resource = nullptr;
        record->resourceName = resourceName_;
        record->taskName = taskName_;
        record->start = start;
        record->end = end;
        record->colour = colour;
        return record;
    }

    JobRecordPool& pool() { return pool_; }
    const std::string& resourceName() const { return resourceName_; }
    const std::string& taskName() const { return taskName_; }

private:
    std::string resourceName_;
    std::string taskName_;
    JobRecordPool pool_;
};

// Records what the worker reports; read after finishRun or the destructor joined it.
struct WorkerLog {
    std::vector<std::size_t> jobBatches;
    std::atomic<bool> ended{false};
    std::promise<void> endedPromise;

    DatabasePersistence::WorkerHooks hooks(std::function<void()> afterJobBatch = {}) {
        DatabasePersistence::WorkerHooks result;
        result.jobBatchWritten = [this, afterJobBatch](std::size_t rows) {
            jobBatches.push_back(rows);
            if (afterJobBatch) afterJobBatch();
        };
        result.workerEnded = [this] {
            ended = true;
            endedPromise.set_value();
        };
        return result;
    }
};

const std::regex kTimestamp(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})");

bool isTimestamp(const Value& value) {
    const auto* string = std::get_if<std::string>(&value);
    return string != nullptr && std::regex_match(*string, kTimestamp);
}

void expectDatabaseFailure(const std::function<void()>& call, const std::string& message, const std::string& function,
                           int32_t line) {
    try {
        call();
        ADD_FAILURE() << "no exception; expected " << message;
    } catch (const Exception& failure) {
        EXPECT_EQ(failure.message(), message);
        EXPECT_EQ(failure.function(), function);
        EXPECT_EQ(failure.file(), "db/DatabasePersistence");
        EXPECT_EQ(failure.line(), line);
    }
}

class DatabasePersistenceTest : public ::testing::Test {
protected:
    TempDir directory_;
    std::string path_ = directory_.file("results.db");
};

// ---------------------------------------------------------------------------------------------
// Schema

struct Column {
    std::string name;
    std::string type;
    bool notNull;
};

struct ForeignKey {
    std::string from;
    std::string table;
    std::string to;
    bool operator<(const ForeignKey& other) const { return from < other.from; }
    bool operator==(const ForeignKey&) const = default;
};

struct TableShape {
    std::string name;
    std::vector<Column> columns;
    std::vector<ForeignKey> foreignKeys;
};

const std::vector<TableShape> kTables = {
    {"active_resource", {{"id", "integer", true}, {"name", "text", true}, {"type", "integer", true}}, {}},
    {"job",
     {{"id", "integer", true},
      {"active_resource_id", "integer", true},
      {"task_id", "integer", true},
      {"start_time", "real", false},
      {"end_time", "real", false},
      {"color_code", "integer", true}},
     {{"active_resource_id", "active_resource", "id"}, {"task_id", "task", "id"}}},
    {"dropped_frame_stat",
     {{"active_resource_id", "integer", false},
      {"flow_name", "text", false},
      {"reason", "integer", false},
      {"dropped_time", "real", false},
      {"run_id", "integer", false}},
     {{"active_resource_id", "active_resource", "id"}, {"run_id", "run_info", "id"}}},
    {"latency",
     {{"timer_id", "integer", true}, {"latency_time", "real", false}, {"run_id", "integer", true}},
     {{"run_id", "run_info", "id"}, {"timer_id", "timer", "id"}}},
    {"run_info",
     {{"id", "integer", true},
      {"seed", "integer", true},
      {"start_time", "timestamp", false},
      {"end_time", "timestamp", false},
      {"color_code_count", "integer", false}},
     {}},
    {"info",
     {{"start_time", "timestamp", false},
      {"end_time", "timestamp", false},
      {"simulated_time", "real", false},
      {"run_count", "integer", false},
      {"topology_filename", "text", false},
      {"topology", "text", false},
      {"version", "integer", true}},
     {}},
    {"port_stat",
     {{"active_resource_id", "integer", false},
      {"flow_name", "text", false},
      {"bit_count", "integer", false},
      {"frame_count", "integer", false},
      {"color_code", "integer", false},
      {"run_id", "integer", false}},
     {{"active_resource_id", "active_resource", "id"}, {"run_id", "run_info", "id"}}},
    {"frame_buffer_utilization",
     {{"active_resource_id", "integer", true},
      {"max_memory", "integer", true},
      {"percentage", "real", false},
      {"dropped_frame_count", "integer", false},
      {"transmitted_frame_count", "integer", false},
      {"run_id", "integer", true}},
     {{"active_resource_id", "active_resource", "id"}, {"run_id", "run_info", "id"}}},
    {"task", {{"id", "integer", true}, {"name", "text", true}}, {}},
    {"timer",
     {{"id", "integer", true},
      {"name", "text", true},
      {"flow_name", "text", false},
      {"sampled_from", "text", false},
      {"sampled_to", "text", false}},
     {}},
    {"utilization",
     {{"active_resource_id", "integer", true}, {"percentage", "real", false}, {"run_id", "integer", true}},
     {{"active_resource_id", "active_resource", "id"}, {"run_id", "run_info", "id"}}},
    {"message",
     {{"run_id", "integer", false}, {"type", "integer", false}, {"message_text", "text", false}},
     {{"run_id", "run_info", "id"}}},
    {"packet_counter",
     {{"active_resource_id", "integer", true},
      {"run_id", "integer", true},
      {"type", "text", true},
      {"count", "integer", true}},
     {{"active_resource_id", "active_resource", "id"}, {"run_id", "run_info", "id"}}},
};

struct IndexShape {
    std::string name;
    std::string table;
    std::vector<std::string> columns;
};

const std::vector<IndexShape> kIndexes = {
    {"latency_idx", "latency", {"timer_id"}},
    {"job_idx1", "job", {"active_resource_id", "start_time", "end_time"}},
    {"task_idx1", "task", {"id"}},
};

TEST_F(DatabasePersistenceTest, SingleRunBatchCreatesTheTablesTheIdentifierTablesAndTheIndexes) {
    RecordingTask task("ECU1.CPU", "Producer");
    {
        DatabasePersistence sink(path_, false, 1, 1, 17);
        sink.saveJob(task.record(0.0, 1.0, 6));
        sink.finishRun(7);
    }
    ResultsFile file(path_);

    std::vector<Row> tableNames;
    for (const TableShape& table : kTables) tableNames.push_back({text(table.name)});
    EXPECT_EQ(file.rows("select name from sqlite_master where type = 'table' order by rowid"), tableNames);

    for (const TableShape& table : kTables) {
        SCOPED_TRACE(table.name);
        std::vector<Row> columns;
        for (const Column& column : table.columns)
            columns.push_back({text(column.name), text(column.type), integer(column.notNull ? 1 : 0), integer(0)});
        EXPECT_EQ(file.rows("select name, lower(type), \"notnull\", pk from pragma_table_info('" + table.name + "')"),
                  columns);

        std::vector<ForeignKey> keys;
        for (const Row& row :
             file.rows("select \"from\", \"table\", \"to\" from pragma_foreign_key_list('" + table.name + "')"))
            keys.push_back(
                {std::get<std::string>(row[0]), std::get<std::string>(row[1]), std::get<std::string>(row[2])});
        std::sort(keys.begin(), keys.end());
        std::vector<ForeignKey> expectedKeys = table.foreignKeys;
        std::sort(expectedKeys.begin(), expectedKeys.end());
        EXPECT_EQ(keys, expectedKeys);
    }

    std::vector<Row> indexNames;
    for (const IndexShape& index : kIndexes) indexNames.push_back({text(index.name), text(index.table)});
    EXPECT_EQ(file.rows("select name, tbl_name from sqlite_master where type = 'index' order by rowid"), indexNames);
    for (const IndexShape& index : kIndexes) {
        std::vector<Row> columns;
        for (const std::string& column : index.columns) columns.push_back({text(column)});
        EXPECT_EQ(file.rows("select name from pragma_index_info('" + index.name + "') order by seqno"), columns)
            << index.name;
    }

    EXPECT_EQ(file.rows("select id, name, type from active_resource"),
              (std::vector<Row>{{integer(1), text("ECU1.CPU"), integer(0)}}));
    EXPECT_EQ(file.rows("select id, name from task"), (std::vector<Row>{{integer(1), text("Producer")}}));

    auto info = file.rows("select start_time, end_time, version from info");
    ASSERT_EQ(info.size(), 1u);
    EXPECT_TRUE(isTimestamp(info[0][0]));
    EXPECT_TRUE(isTimestamp(info[0][1]));
    EXPECT_EQ(info[0][2], integer(2));
}

// ---------------------------------------------------------------------------------------------
// Jobs

TEST_F(DatabasePersistenceTest, FiveThousandJobsAreWrittenInTransactionsOf2048And2048And904) {
    std::vector<std::unique_ptr<RecordingTask>> tasks;
    for (const char* resource : {"ECU1.CPU", "SW1.P1.Tx", "ECU2.CPU"})
        for (const char* name : {"Producer", "EthHwTx FrameA"})
            tasks.push_back(std::make_unique<RecordingTask>(resource, std::string(name) + "@" + resource));

    WorkerLog log;
    std::vector<Row> expected;
    {
        DatabasePersistence sink(path_, false, 1, 1, 1, log.hooks());
        for (int i = 0; i < 5000; ++i) {
            RecordingTask& task = *tasks[static_cast<std::size_t>(i * 7 % 6)];
            double start = i * 1e-3;
            int32_t colour = 6 + i % 4;
            sink.saveJob(task.record(start, start + 5e-4, colour));
            expected.push_back({integer(i + 1), text(task.resourceName()), text(task.taskName()), real(start),
                                real(start + 5e-4), integer(colour)});
        }
        sink.finishRun(10);
    }

    EXPECT_EQ(log.jobBatches, (std::vector<std::size_t>{2048, 2048, 904}));
    ResultsFile file(path_);
    EXPECT_EQ(file.rows("select j.id, a.name, t.name, j.start_time, j.end_time, j.color_code from job j "
                        "join active_resource a on a.id = j.active_resource_id join task t on t.id = j.task_id "
                        "order by j.rowid"),
              expected);
    for (const auto& task : tasks) EXPECT_EQ(task->pool().freeCount(), task->pool().createdCount());
}

TEST_F(DatabasePersistenceTest, WrittenRecordsGoBackToTheirPoolsAtEvery1500thQueuedJob) {
    RecordingTask task("ECU1.CPU", "Producer");
    WorkerLog log;
    std::promise<void> firstBatch;
    DatabasePersistence sink(path_, false, 1, 1, 1, log.hooks([&] {
        if (log.jobBatches.size() == 1) firstBatch.set_value();
    }));
    for (int i = 0; i < 2048; ++i) sink.saveJob(task.record(i, i + 1, 6));
    firstBatch.get_future().wait();

    for (int i = 2048; i < 2999; ++i) sink.saveJob(task.record(i, i + 1, 6));
    EXPECT_EQ(task.pool().freeCount(), 0u);
    sink.saveJob(task.record(2999, 3000, 6));
    EXPECT_EQ(task.pool().freeCount(), 2048u);

    sink.finishRun(6);
    EXPECT_EQ(task.pool().freeCount(), task.pool().createdCount());
    EXPECT_EQ(ResultsFile(path_).count("select count(*) from job"), 3000);
}

TEST_F(DatabasePersistenceTest, DiscardModeWritesNoJobsAndReusesOneRecord) {
    RecordingTask task("ECU1.CPU", "Producer");
    WorkerLog log;
    {
        DatabasePersistence sink(path_, true, 1, 1, 1, log.hooks());
        for (int i = 0; i < 3000; ++i) sink.saveJob(task.record(i, i + 1, 6));
        sink.saveUtilization("ECU1.CPU", 50.0);
        sink.finishRun(6);
    }
    EXPECT_EQ(task.pool().createdCount(), 1u);
    EXPECT_EQ(task.pool().freeCount(), 1u);
    EXPECT_TRUE(log.jobBatches.empty());
    ResultsFile file(path_);
    EXPECT_EQ(file.count("select count(*) from job"), 0);
    EXPECT_EQ(file.count("select count(*) from task"), 0);
    EXPECT_EQ(file.count("select count(*) from utilization"), 1);
}

// ---------------------------------------------------------------------------------------------
// One run with every kind of result

TEST_F(DatabasePersistenceTest, EveryResultLandsInItsTableInQueueOrder) {
    std::string topologyPath = directory_.file("network.orvo");
    const std::string topology = "<Network version=\"40\">\n  <Hosts/>\n</Network>\n";
    {
        std::FILE* out = std::fopen(topologyPath.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(topology.data(), 1, topology.size(), out);
        std::fclose(out);
    }
    RecordingTask producer("ECU1.CPU", "Producer");
    const std::vector<double> latencies = {0.25, 0.5, 0.125};
    std::vector<Row> droppedFrames;
    {
        DatabasePersistence sink(path_, false, 1, 1, 4711);
        sink.saveInfoMessage("booted");
        sink.saveJob(producer.record(0.0, 0.001, 6));
        sink.saveWarningMessage("100% late");
        sink.saveUtilization("ECU1.CPU", 12.5);
        sink.savePacketCounter("SW1.P1.Counter", "RX", 42);
        sink.saveFrameBufferUtilization("SW1", 4096, 37.5, 3, 1000);
        sink.saveLatencies("Timer1", "FlowA", "ECU1.P1", "ECU2.P1", latencies);
        sink.savePortStatistics("SW1.P2", "FlowA", 8000, 10, 7);
        for (int i = 0; i < 1500; ++i) {
            sink.saveDroppedFrame("SW1.P2", "FlowA", 1 + i % 3, i * 1e-3);
            droppedFrames.push_back({integer(4), text("FlowA"), integer(1 + i % 3), real(i * 1e-3), integer(1)});
        }
        sink.saveSimulationInfo(2.5, topologyPath);
        sink.finishRun(9);
    }

    ResultsFile file(path_);
    // Resources are numbered as the worker first meets them; jobs wait in their batch, so the
    // job's resource is met first by its utilization. The table lists them by name.
    EXPECT_EQ(file.rows("select id, name, type from active_resource order by rowid"),
              (std::vector<Row>{{integer(1), text("ECU1.CPU"), integer(0)},
                                {integer(3), text("SW1"), integer(0)},
                                {integer(2), text("SW1.P1.Counter"), integer(0)},
                                {integer(4), text("SW1.P2"), integer(0)}}));
    EXPECT_EQ(
        file.rows("select run_id, type, message_text from message order by rowid"),
        (std::vector<Row>{{integer(1), integer(1), text("booted")}, {integer(1), integer(2), text("100% late")}}));
    EXPECT_EQ(file.rows("select active_resource_id, percentage, run_id from utilization"),
              (std::vector<Row>{{integer(1), real(12.5), integer(1)}}));
    EXPECT_EQ(file.rows("select active_resource_id, run_id, type, count from packet_counter"),
              (std::vector<Row>{{integer(2), integer(1), text("RX"), integer(42)}}));
    EXPECT_EQ(file.rows("select * from frame_buffer_utilization"),
              (std::vector<Row>{{integer(3), integer(4096), real(37.5), integer(3), integer(1000), integer(1)}}));
    EXPECT_EQ(file.rows("select * from timer"),
              (std::vector<Row>{{integer(1), text("Timer1"), text("FlowA"), text("ECU1.P1"), text("ECU2.P1")}}));
    EXPECT_EQ(file.rows("select * from latency order by rowid"),
              (std::vector<Row>{{integer(1), real(0.25), integer(1)},
                                {integer(1), real(0.5), integer(1)},
                                {integer(1), real(0.125), integer(1)}}));
    EXPECT_EQ(file.rows("select * from port_stat"),
              (std::vector<Row>{{integer(4), text("FlowA"), integer(8000), integer(10), integer(7), integer(1)}}));
    EXPECT_EQ(file.rows("select * from dropped_frame_stat order by rowid"), droppedFrames);
    EXPECT_EQ(file.rows("select * from job"),
              (std::vector<Row>{{integer(1), integer(1), integer(1), real(0.0), real(0.001), integer(6)}}));

    auto info = file.rows("select simulated_time, run_count, topology_filename, topology, version from info");
    EXPECT_EQ(info, (std::vector<Row>{{real(2.5), integer(1), text(topologyPath), text(topology), integer(2)}}));
    auto runs = file.rows("select id, seed, start_time, end_time, color_code_count from run_info");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0][0], integer(1));
    EXPECT_EQ(runs[0][1], integer(4711));
    EXPECT_TRUE(isTimestamp(runs[0][2]));
    EXPECT_TRUE(isTimestamp(runs[0][3]));
    EXPECT_EQ(runs[0][4], integer(9));

    // The desktop application's own queries.
    EXPECT_EQ(file.rows("select distinct(d.flow_name), p.color_code from dropped_frame_stat d join port_stat p on "
                        "d.run_id = p.run_id and d.flow_name = p.flow_name where d.active_resource_id = ? and "
                        "d.run_id = ?",
                        {integer(4), integer(1)}),
              (std::vector<Row>{{text("FlowA"), integer(7)}}));
    EXPECT_EQ(file.rows("select j.id, j.start_time, j.end_time, j.color_code, t.name from job j join task t on "
                        "j.task_id = t.id where j.active_resource_id = ? and ((j.end_time between ? and ?) or "
                        "(j.start_time between ? and ?)) order by start_time;",
                        {integer(1), real(0.0), real(1.0), real(0.0), real(1.0)}),
              (std::vector<Row>{{integer(1), real(0.0), real(0.001), integer(6), text("Producer")}}));
}

TEST_F(DatabasePersistenceTest, TimerWithoutLatenciesStillHasItsTimerRow) {
    {
        DatabasePersistence sink(path_, false, 1, 1, 1);
        sink.saveLatencies("Timer1", "FlowA", "ECU1.P1", "SW1.P3", {});
        sink.finishRun(6);
    }
    ResultsFile file(path_);
    EXPECT_EQ(file.rows("select id, name, flow_name, sampled_from, sampled_to from timer order by name"),
              (std::vector<Row>{{integer(1), text("Timer1"), text("FlowA"), text("ECU1.P1"), text("SW1.P3")}}));
    EXPECT_EQ(file.count("select count(*) from latency"), 0);
}

// ---------------------------------------------------------------------------------------------
// A batch of runs in one file

TEST_F(DatabasePersistenceTest, ThreeRunBatchKeepsEveryIdentifierResolvableAcrossRuns) {
    RecordingTask ab("R-a", "T-a"), bb("R-b", "T-b"), cc("R-c", "T-c"), cd("R-c", "T-d");
    auto identifiers = [&] {
        return ResultsFile(path_).rows(
            "select 'resource', name, id from active_resource union all select 'task', name, id from task "
            "union all select 'timer', name, id from timer order by 1, 2");
    };
    auto indexCount = [&] {
        return ResultsFile(path_).count("select count(*) from sqlite_master where type = 'index'");
    };

    {
        DatabasePersistence sink(path_, false, 1, 3, 101);
        sink.saveJob(bb.record(0.0, 1.0, 6));
        sink.saveJob(ab.record(1.0, 2.0, 7));
        sink.saveLatencies("Timer1", "FlowA", "A", "B", std::vector<double>{1.0});
        sink.saveSimulationInfo(1.0, directory_.file("absent.orvo"));
        sink.finishRun(8);
    }
    const std::vector<Row> afterRun1 = identifiers();
    EXPECT_EQ(afterRun1, (std::vector<Row>{{text("resource"), text("R-a"), integer(2)},
                                           {text("resource"), text("R-b"), integer(1)},
                                           {text("task"), text("T-a"), integer(2)},
                                           {text("task"), text("T-b"), integer(1)},
                                           {text("timer"), text("Timer1"), integer(1)}}));
    EXPECT_EQ(indexCount(), 0);

    {
        // A run that started from empty caches would give R-a and T-a the identifier 1,
        // which the tables of run 1 give to R-b and T-b.
        DatabasePersistence sink(path_, false, 2, 3, 102);
        sink.saveJob(ab.record(0.0, 1.0, 6));
        sink.saveJob(cc.record(1.0, 2.0, 7));
        sink.saveLatencies("Timer2", "FlowB", "C", "D", std::vector<double>{2.0});
        sink.saveLatencies("Timer1", "FlowA", "A", "B", std::vector<double>{3.0});
        sink.saveUtilization("R-a", 20.0);
        sink.saveSimulationInfo(2.0, directory_.file("absent.orvo"));
        sink.finishRun(8);
    }
    EXPECT_EQ(indexCount(), 0);
    {
        DatabasePersistence sink(path_, false, 3, 3, 103);
        sink.saveJob(cd.record(0.0, 1.0, 6));
        sink.saveJob(bb.record(1.0, 2.0, 7));
        sink.saveLatencies("Timer1", "FlowA", "A", "B", std::vector<double>{4.0});
        sink.saveUtilization("R-c", 30.0);
        sink.saveSimulationInfo(3.0, directory_.file("absent.orvo"));
        sink.finishRun(8);
    }
    EXPECT_EQ(indexCount(), 3);

    const std::vector<Row> afterRun3 = identifiers();
    for (const Row& stored : afterRun1)
        EXPECT_NE(std::find(afterRun3.begin(), afterRun3.end(), stored), afterRun3.end());
    EXPECT_EQ(afterRun3, (std::vector<Row>{{text("resource"), text("R-a"), integer(2)},
                                           {text("resource"), text("R-b"), integer(1)},
                                           {text("resource"), text("R-c"), integer(3)},
                                           {text("task"), text("T-a"), integer(2)},
                                           {text("task"), text("T-b"), integer(1)},
                                           {text("task"), text("T-c"), integer(3)},
                                           {text("task"), text("T-d"), integer(4)},
                                           {text("timer"), text("Timer1"), integer(1)},
                                           {text("timer"), text("Timer2"), integer(2)}}));

    ResultsFile file(path_);
    EXPECT_EQ(file.count("select count(*) from sqlite_master where type = 'table'"), 13);
    EXPECT_EQ(file.rows("select run_count, simulated_time, topology from info"),
              (std::vector<Row>{{integer(3), real(3.0), text("")}}));
    auto runs = file.rows("select id, seed, color_code_count, end_time is not null from run_info order by rowid");
    EXPECT_EQ(runs, (std::vector<Row>{{integer(1), integer(101), integer(8), integer(1)},
                                      {integer(2), integer(102), integer(8), integer(1)},
                                      {integer(3), integer(103), integer(8), integer(1)}}));
    // Job ids restart with every run; every job resolves to its resource and task by name.
    EXPECT_EQ(file.rows("select j.id, a.name, t.name from job j join active_resource a on a.id = "
                        "j.active_resource_id join task t on t.id = j.task_id order by j.rowid"),
              (std::vector<Row>{{integer(1), text("R-b"), text("T-b")},
                                {integer(2), text("R-a"), text("T-a")},
                                {integer(1), text("R-a"), text("T-a")},
                                {integer(2), text("R-c"), text("T-c")},
                                {integer(1), text("R-c"), text("T-d")},
                                {integer(2), text("R-b"), text("T-b")}}));
    EXPECT_EQ(file.rows("select t.name, t.flow_name, l.latency_time, l.run_id from latency l join timer t on "
                        "t.id = l.timer_id order by l.rowid"),
              (std::vector<Row>{{text("Timer1"), text("FlowA"), real(1.0), integer(1)},
                                {text("Timer2"), text("FlowB"), real(2.0), integer(2)},
                                {text("Timer1"), text("FlowA"), real(3.0), integer(2)},
                                {text("Timer1"), text("FlowA"), real(4.0), integer(3)}}));
    EXPECT_EQ(file.rows("select a.name, u.percentage, u.run_id from utilization u join active_resource a on "
                        "a.id = u.active_resource_id order by u.rowid"),
              (std::vector<Row>{{text("R-a"), real(20.0), integer(2)}, {text("R-c"), real(30.0), integer(3)}}));
}

// ---------------------------------------------------------------------------------------------
// Failures

const char* const kUnwritablePath = "/nonexistent-netsim-directory/results.db";

struct SinkCall {
    const char* name;
    std::function<void(DatabasePersistence&, RecordingTask&)> call;
};

const std::vector<SinkCall> kSinkCalls = {
    {"saveSimulationInfo", [](auto& sink, auto&) { sink.saveSimulationInfo(1.0, "network.orvo"); }},
    {"saveJob", [](auto& sink, auto& task) { sink.saveJob(task.record(0.0, 1.0, 6)); }},
    {"saveUtilization", [](auto& sink, auto&) { sink.saveUtilization("ECU1.CPU", 1.0); }},
    {"savePacketCounter", [](auto& sink, auto&) { sink.savePacketCounter("SW1.Counter", "RX", 1); }},
    {"saveFrameBufferUtilization", [](auto& sink, auto&) { sink.saveFrameBufferUtilization("SW1", 1, 1.0, 1, 1); }},
    {"saveLatencies", [](auto& sink, auto&) { sink.saveLatencies("Timer1", "FlowA", "A", "B", {}); }},
    {"saveInfoMessage", [](auto& sink, auto&) { sink.saveInfoMessage("info"); }},
    {"saveWarningMessage", [](auto& sink, auto&) { sink.saveWarningMessage("warning"); }},
    {"savePortStatistics", [](auto& sink, auto&) { sink.savePortStatistics("SW1.P1", "FlowA", 1, 1, 6); }},
    {"saveDroppedFrame", [](auto& sink, auto&) { sink.saveDroppedFrame("SW1.P1", "FlowA", 1, 0.5); }},
    {"finishRun", [](auto& sink, auto&) { sink.finishRun(6); }},
};

TEST_F(DatabasePersistenceTest, FirstCallAfterTheWorkerFailedRaisesItsErrorAndTheSinkFallsSilent) {
    for (const SinkCall& first : kSinkCalls) {
        SCOPED_TRACE(first.name);
        RecordingTask task("ECU1.CPU", "Producer");
        WorkerLog log;
        DatabasePersistence sink(kUnwritablePath, false, 1, 1, 1, log.hooks());
        log.endedPromise.get_future().wait();

        expectDatabaseFailure([&] { first.call(sink, task); },
                              "Exception caught: TDBCDatabase::open : [14] - unable to open database file\n",
                              "DatabasePersistenceImpl::DatabasePersistenceImpl", 312);
        for (const SinkCall& later : kSinkCalls) EXPECT_NO_THROW(later.call(sink, task)) << later.name;
        // An inactive sink leaves job records alone instead of queuing or returning them.
        EXPECT_EQ(task.pool().freeCount(), 0u);
    }
}

struct WorkerFailure {
    const char* name;
    int32_t currentRun;
    std::function<void(const std::string& path)> prepareFile;
    // Runs on the worker thread after each job batch.
    std::function<void(const std::string& path)> afterJobBatch;
    int jobs;
    const char* message;
    const char* function;
    int32_t line;
};

void runOnFile(const std::string& path, const char* sql) {
    sqlite3* connection = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &connection), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(connection, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(connection);
}

const std::vector<WorkerFailure> kWorkerFailures = {
    {"later run on a file without tables",
     2,
     {},
     {},
     0,
     "Exception caught: TDBCDatabase::prepare : [1] - SQL logic error\n",
     "DatabasePersistenceImpl::readPersistedIDCaches",
     716},
    {"first run on a file that has the tables",
     1,
     [](const std::string& path) {
         DatabasePersistence earlier(path, false, 1, 1, 1);
         earlier.finishRun(6);
     },
     {},
     0,
     "Exception caught: TDBCDatabase::exec : [1] - SQL logic error\n",
     "DatabasePersistenceImpl::createTables",
     441},
    {"job table removed between two batches",
     1,
     {},
     [](const std::string& path) { runOnFile(path, "drop table job"); },
     5000,
     "Exception caught: TDBCWriteStatement::exec : [1] - SQL logic error\n",
     "DatabasePersistenceImpl::insertJobs",
     595},
};

// Whichever call comes first after the worker failed raises its error, at the latest finishRun.
TEST_F(DatabasePersistenceTest, WorkerFailureIsRaisedOnceByTheRunsCalls) {
    for (const WorkerFailure& failure : kWorkerFailures) {
        SCOPED_TRACE(failure.name);
        TempDir directory;
        std::string path = directory.file("results.db");
        if (failure.prepareFile) failure.prepareFile(path);
        RecordingTask task("ECU1.CPU", "Producer");
        WorkerLog log;
        DatabasePersistence sink(path, false, failure.currentRun, failure.currentRun, 1, log.hooks([&] {
            if (failure.afterJobBatch) failure.afterJobBatch(path);
        }));
        expectDatabaseFailure(
            [&] {
                for (int i = 0; i < failure.jobs; ++i) sink.saveJob(task.record(i, i + 1, 6));
                sink.finishRun(6);
            },
            failure.message, failure.function, failure.line);
        EXPECT_NO_THROW(sink.finishRun(6));
    }
}

// ---------------------------------------------------------------------------------------------
// Lifetime

TEST_F(DatabasePersistenceTest, SinkDestroyedWithoutFinishRunStopsItsWorkerAndReleasesTheFile) {
    RecordingTask written("ECU1.CPU", "Producer"), pending("ECU2.CPU", "Consumer");
    WorkerLog log;
    {
        std::promise<void> firstBatch;
        DatabasePersistence sink(path_, false, 1, 2, 55, log.hooks([&] { firstBatch.set_value(); }));
        for (int i = 0; i < 2048; ++i) sink.saveJob(written.record(i, i + 1, 6));
        firstBatch.get_future().wait();
        for (int i = 0; i < 1000; ++i) sink.saveJob(pending.record(i, i + 1, 7));
        sink.saveInfoMessage("never finished");
    }
    EXPECT_TRUE(log.ended);
    {
        ResultsFile file(path_);
        EXPECT_EQ(file.rows("select id, seed, end_time from run_info"),
                  (std::vector<Row>{{integer(1), integer(55), null}}));
        // The batch written before the end resolves; what was still pending is dropped.
        EXPECT_EQ(file.rows("select a.name, t.name, count(*) from job j join active_resource a on a.id = "
                            "j.active_resource_id join task t on t.id = j.task_id group by 1, 2"),
                  (std::vector<Row>{{text("ECU1.CPU"), text("Producer"), integer(2048)}}));
        EXPECT_EQ(file.count("select count(*) from job"), 2048);
    }
    // The next run of the batch finds the file closed and unlocked, and numbers its new names
    // after the ones the abandoned run stored.
    DatabasePersistence next(path_, false, 2, 2, 56);
    next.saveJob(pending.record(0.0, 1.0, 6));
    EXPECT_NO_THROW(next.finishRun(6));
    EXPECT_EQ(ResultsFile(path_).rows("select name, id from task order by id"),
              (std::vector<Row>{{text("Producer"), integer(1)}, {text("Consumer"), integer(2)}}));
}

TEST_F(DatabasePersistenceTest, SinkWithAFailedWorkerIsDestroyedWithoutRaising) {
    WorkerLog log;
    {
        DatabasePersistence sink(kUnwritablePath, false, 1, 1, 1, log.hooks());
        log.endedPromise.get_future().wait();
    }
    EXPECT_TRUE(log.ended);
}

}  // namespace
}  // namespace netsim::test
