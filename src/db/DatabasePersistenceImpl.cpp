#include "db/DatabasePersistenceImpl.h"

#include <cstdio>

#include "db/TDBCFailure.h"
#include "db/TDBCReadStatement.h"
#include "platform/Platform.h"
#include "simulator/kernel/JobRecord.h"

namespace netsim {
namespace {

// The schema is an external interface: the desktop application reads the file with fixed
// queries. No primary keys are declared; the foreign keys document the joins only.
constexpr const char* kSchemaScript =
    "BEGIN;"
    "create table active_resource (id integer not null, name text not null, type integer not null);"
    "create table job (id integer not null, active_resource_id integer not null, task_id integer not null, "
    "start_time real, end_time real, color_code integer not null, "
    "foreign key (active_resource_id) references active_resource(id), foreign key (task_id) references task(id));"
    "create table dropped_frame_stat (active_resource_id integer, flow_name text, reason integer, "
    "dropped_time real, run_id integer, "
    "foreign key (active_resource_id) references active_resource(id), foreign key (run_id) references run_info(id));"
    "create table latency (timer_id integer not null, latency_time real, run_id integer not null, "
    "foreign key (run_id) references run_info(id), foreign key (timer_id) references timer(id));"
    "create table run_info (id integer not null, seed integer not null, start_time timestamp, "
    "end_time timestamp, color_code_count integer);"
    "create table info (start_time timestamp, end_time timestamp, simulated_time real, run_count integer, "
    "topology_filename text, topology text, version integer not null);"
    "create table port_stat (active_resource_id integer, flow_name text, bit_count integer, frame_count integer, "
    "color_code integer, run_id integer, "
    "foreign key (active_resource_id) references active_resource(id), foreign key (run_id) references run_info(id));"
    "create table frame_buffer_utilization (active_resource_id integer not null, max_memory integer not null, "
    "percentage real, dropped_frame_count integer, transmitted_frame_count integer, run_id integer not null, "
    "foreign key (active_resource_id) references active_resource(id), foreign key (run_id) references run_info(id));"
    "create table task (id integer not null, name text not null);"
    "create table timer (id integer not null, name text not null, flow_name text, sampled_from text, "
    "sampled_to text);"
    "create table utilization (active_resource_id integer not null, percentage real, run_id integer not null, "
    "foreign key (active_resource_id) references active_resource(id), foreign key (run_id) references run_info(id));"
    "create table message (run_id integer, type integer, message_text text, "
    "foreign key (run_id) references run_info(id));"
    "create table packet_counter (active_resource_id integer not null, run_id integer not null, "
    "type text not null, count integer not null, "
    "foreign key (active_resource_id) references active_resource(id), foreign key (run_id) references run_info(id));"
    "insert into info (start_time, version) values(strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime'), 2);"
    "COMMIT;";

// Synchronous writes stay off, but the rollback journal stays on: a process killed in the
// middle of a transaction leaves a journal from which the next opening of the file restores
// the runs written before, where writing without a journal could leave them corrupt. On the
// benchmark of a million jobs the journal costs about 7 % of the writer's time. Autocommit
// statements cost about three times as much with it (roughly 0.1 ms against 0.035 ms each),
// which the few rows written at the end of a run can afford. The settings belong to the
// connection, so every run makes them, not only the first.
constexpr const char* kConnectionPragmas[] = {
    "pragma synchronous = OFF",
    "pragma journal_mode = DELETE",
    "pragma foreign_keys = OFF",
};

constexpr const char* kIndexScript =
    "BEGIN;"
    "create index latency_idx on latency(timer_id);"
    "create index job_idx1 on job (active_resource_id, start_time, end_time);"
    "create index task_idx1 on task(id);"
    "COMMIT;";

constexpr const char* kStatementTexts[] = {
    "insert into job (id, active_resource_id, task_id, start_time, end_time, color_code) values (?, ?, ?, ?, ?, ?)",
    "insert into dropped_frame_stat (active_resource_id, flow_name, reason, dropped_time, run_id) "
    "values (?, ?, ?, ?, ?)",
    "insert into utilization (active_resource_id, percentage, run_id) values (?, ?, ?)",
    "insert into packet_counter (active_resource_id, type, run_id, count) values (?, ?, ?, ?)",
    "insert into frame_buffer_utilization (active_resource_id, max_memory, percentage, dropped_frame_count, "
    "transmitted_frame_count, run_id) values (?, ?, ?, ?, ?, ?)",
    "insert into latency (timer_id, latency_time, run_id) values (?, ?, ?)",
    "update info set simulated_time = ?, run_count = ?, topology_filename = ?, topology = ?",
    "insert into message (run_id, type, message_text) values (?, ?, ?)",
    "insert into port_stat (active_resource_id, flow_name, bit_count, frame_count, color_code, run_id) "
    "values (?, ?, ?, ?, ?, ?)",
};

// Runs one writer operation and reports an SQLite failure under the operation's name.
template <typename Body>
void reportingFailureAs(const char* function, int32_t line, Body&& body) {
    try {
        body();
    } catch (const Exception& failure) {
        throw Exception(kDatabaseFile, function, line, "Exception caught: %s", failure.message().c_str());
    }
}

int64_t idOf(IDCache& cache, const std::string& name) {
    int64_t id = cache.find(name);
    return id != IDCache::kNotFound ? id : cache.assign(name);
}

// The topology is stored for the record only; a file that cannot be read any more leaves
// the column empty rather than costing the run its results.
std::string readWholeFile(const std::string& path) {
    std::string content;
    std::FILE* file = nullptr;
    try {
        file = Platform::instance().openFile(path, "rb");
    } catch (const Exception&) {
        return content;
    }
    if (file == nullptr) return content;
    char buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, count);
    Platform::instance().closeFile(file);
    return content;
}

}  // namespace

DatabasePersistenceImpl::DatabasePersistenceImpl(const std::string& databasePath, int32_t currentRun, uint32_t seed)
    : databasePath_(databasePath), currentRun_(currentRun), seed_(seed) {
    reportingFailureAs("DatabasePersistenceImpl::DatabasePersistenceImpl", 312, [&] { database_.open(databasePath_); });
    if (currentRun_ > 1)
        readPersistedIDCaches();
    else
        createTables();
    persistSimulationRunInfo();
}

DatabasePersistenceImpl::~DatabasePersistenceImpl() = default;

TDBCWriteStatement& DatabasePersistenceImpl::statement(Statement which) {
    if (!statements_[which])
        statements_[which] = std::make_unique<TDBCWriteStatement>(database_, kStatementTexts[which]);
    return *statements_[which];
}

void DatabasePersistenceImpl::createTables() {
    reportingFailureAs("DatabasePersistenceImpl::createTables", 441, [&] {
        database_.exec(kSchemaScript);
        for (const char* pragma : kConnectionPragmas) database_.exec(pragma);
    });
}

void DatabasePersistenceImpl::readPersistedIDCaches() {
    reportingFailureAs("DatabasePersistenceImpl::readPersistedIDCaches", 716, [&] {
        for (const char* pragma : kConnectionPragmas) database_.exec(pragma);
        int64_t id;
        std::string name;
        {
            TDBCReadStatement resources(database_, "select id, name from active_resource");
            while (resources.fetch(id, name)) activeResources_.restore(name, id);
        }
        {
            TDBCReadStatement timers(database_, "select id, name from timer");
            while (timers.fetch(id, name)) timers_.restore(name, id);
        }
        {
            // Job rows of this run point into the task table of the earlier runs, so the task
            // names must keep their stored identifiers too.
            TDBCReadStatement tasks(database_, "select id, name from task");
            while (tasks.fetch(id, name)) tasks_.restore(name, id);
        }
    });
}

void DatabasePersistenceImpl::persistSimulationRunInfo() {
    reportingFailureAs("DatabasePersistenceImpl::persistSimulationRunInfo", 695, [&] {
        TDBCWriteStatement insert(database_,
                                  "insert into run_info (id, seed, start_time) "
                                  "values(?, ?, strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime'))");
        insert.bind(1, static_cast<int64_t>(currentRun_));
        insert.bind(2, static_cast<int64_t>(seed_));
        insert.exec();
    });
}

void DatabasePersistenceImpl::insertJobs(std::span<const std::unique_ptr<JobPackage>> jobs) {
    reportingFailureAs("DatabasePersistenceImpl::insertJobs", 595, [&] {
        database_.exec("BEGIN");
        TDBCWriteStatement& insert = statement(kInsertJob);
        for (const auto& package : jobs) {
            const JobRecord* job = package->record;
            insert.bind(1, nextJobId_++);
            insert.bind(2, idOf(activeResources_, job->resourceName));
            insert.bind(3, idOf(tasks_, job->taskName));
            insert.bind(4, job->start);
            insert.bind(5, job->end);
            insert.bind(6, static_cast<int64_t>(job->colour));
            insert.exec();
        }
        database_.exec("COMMIT");
    });
}

void DatabasePersistenceImpl::insertDroppedFrames(std::span<const std::unique_ptr<DroppedFramePackage>> frames) {
    reportingFailureAs("DatabasePersistenceImpl::insertDroppedFrames", 490, [&] {
        database_.exec("BEGIN");
        TDBCWriteStatement& insert = statement(kInsertDroppedFrame);
        for (const auto& frame : frames) {
            insert.bind(1, idOf(activeResources_, frame->resourceName));
            insert.bind(2, frame->flowName);
            insert.bind(3, static_cast<int64_t>(frame->reason));
            insert.bind(4, frame->time);
            insert.bind(5, static_cast<int64_t>(currentRun_));
            insert.exec();
        }
        database_.exec("COMMIT");
    });
}

void DatabasePersistenceImpl::insertUtilizationValue(const UtilizationPackage& package) {
    reportingFailureAs("DatabasePersistenceImpl::insertUtilizationValue", 608, [&] {
        TDBCWriteStatement& insert = statement(kInsertUtilization);
        insert.bind(1, idOf(activeResources_, package.resourceName));
        insert.bind(2, package.percentage);
        insert.bind(3, static_cast<int64_t>(currentRun_));
        insert.exec();
    });
}

void DatabasePersistenceImpl::insertPacketCounter(const PacketCounterPackage& package) {
    reportingFailureAs("DatabasePersistenceImpl::insertPacketCounter", 622, [&] {
        TDBCWriteStatement& insert = statement(kInsertPacketCounter);
        insert.bind(1, idOf(activeResources_, package.resourceName));
        insert.bind(2, package.type);
        insert.bind(3, static_cast<int64_t>(currentRun_));
        insert.bind(4, static_cast<int64_t>(package.count));
        insert.exec();
    });
}

void DatabasePersistenceImpl::insertFrameBufferUtilization(const FrameBufferUtilizationPackage& package) {
    reportingFailureAs("DatabasePersistenceImpl::insertFrameBufferUtilization", 573, [&] {
        TDBCWriteStatement& insert = statement(kInsertFrameBufferUtilization);
        insert.bind(1, idOf(activeResources_, package.resourceName));
        insert.bind(2, static_cast<int64_t>(package.maxMemory));
        insert.bind(3, package.percentage);
        insert.bind(4, static_cast<int64_t>(package.droppedFrames));
        insert.bind(5, static_cast<int64_t>(package.transmittedFrames));
        insert.bind(6, static_cast<int64_t>(currentRun_));
        insert.exec();
    });
}

void DatabasePersistenceImpl::insertLatencyData(const LatencyPackage& package) {
    reportingFailureAs("DatabasePersistenceImpl::insertLatencyData", 506, [&] {
        int64_t timerId = timers_.find(package.timerName);
        if (timerId == IDCache::kNotFound)
            timerId =
                timers_.assign(package.timerName, TimerData{package.flowName, package.sampledFrom, package.sampledTo});
        database_.exec("BEGIN");
        TDBCWriteStatement& insert = statement(kInsertLatency);
        for (double value : package.values) {
            insert.bind(1, timerId);
            insert.bind(2, value);
            insert.bind(3, static_cast<int64_t>(currentRun_));
            insert.exec();
        }
        database_.exec("COMMIT");
    });
}

void DatabasePersistenceImpl::insertSimulationInfo(const SimulationInfoPackage& package) {
    reportingFailureAs("DatabasePersistenceImpl::insertSimulationInfo", 541, [&] {
        TDBCWriteStatement& update = statement(kUpdateSimulationInfo);
        update.bind(1, package.simulatedTime);
        update.bind(2, static_cast<int64_t>(currentRun_));
        update.bind(3, package.topologyFileName);
        update.bind(4, readWholeFile(package.topologyFileName));
        update.exec();
    });
}

void DatabasePersistenceImpl::insertUserMessage(const UserMessagePackage& package) {
    reportingFailureAs("DatabasePersistenceImpl::insertUserMessage", 324, [&] {
        TDBCWriteStatement& insert = statement(kInsertUserMessage);
        insert.bind(1, static_cast<int64_t>(currentRun_));
        insert.bind(2, static_cast<int64_t>(package.type));
        insert.bind(3, package.text);
        insert.exec();
    });
}

void DatabasePersistenceImpl::insertPortStatistics(const PortStatisticsPackage& package) {
    reportingFailureAs("DatabasePersistenceImpl::insertPortStatistics", 557, [&] {
        TDBCWriteStatement& insert = statement(kInsertPortStatistics);
        insert.bind(1, idOf(activeResources_, package.resourceName));
        insert.bind(2, package.flowName);
        insert.bind(3, static_cast<int64_t>(package.bitCount));
        insert.bind(4, static_cast<int64_t>(package.frameCount));
        insert.bind(5, static_cast<int64_t>(package.colourCode));
        insert.bind(6, static_cast<int64_t>(currentRun_));
        insert.exec();
    });
}

void DatabasePersistenceImpl::finalizeSimulationInfo(uint64_t colourCodeCount) {
    reportingFailureAs("DatabasePersistenceImpl::finalizeSimulationInfo", 462, [&] {
        database_.exec("BEGIN");
        database_.exec("update info set end_time = strftime('%Y-%m-%d %H:%M:%f', 'now', 'localtime')");
        TDBCWriteStatement update(database_,
                                  "update run_info set end_time = strftime('%Y-%m-%d %H:%M:%f', 'now', "
                                  "'localtime'), color_code_count = ? where id = ?");
        update.bind(1, static_cast<int64_t>(colourCodeCount));
        update.bind(2, static_cast<int64_t>(currentRun_));
        update.exec();
        database_.exec("COMMIT");
    });
}

void DatabasePersistenceImpl::createIndexes() {
    reportingFailureAs("DatabasePersistenceImpl::createIndexes", 338, [&] { database_.exec(kIndexScript); });
}

void DatabasePersistenceImpl::persistIDCaches() {
    reportingFailureAs("DatabasePersistenceImpl::persistIDCaches", 684, [&] {
        database_.exec("BEGIN");
        {
            TDBCWriteStatement insert(database_, "insert into active_resource (id, name, type) values (?, ?, ?)");
            activeResources_.forEachUnstored([&](const std::string& name, int64_t id) {
                insert.bind(1, id);
                insert.bind(2, name);
                insert.bind(3, int64_t{0});
                insert.exec();
            });
        }
        {
            TDBCWriteStatement insert(database_, "insert into task (id, name) values (?, ?)");
            tasks_.forEachUnstored([&](const std::string& name, int64_t id) {
                insert.bind(1, id);
                insert.bind(2, name);
                insert.exec();
            });
        }
        {
            TDBCWriteStatement insert(
                database_, "insert into timer (id, name, flow_name, sampled_from, sampled_to) values (?, ?, ?, ?, ?)");
            timers_.forEachUnstored([&](const std::string& name, int64_t id) {
                const TimerData& timer = timers_.data(id);
                insert.bind(1, id);
                insert.bind(2, name);
                insert.bind(3, timer.flowName);
                insert.bind(4, timer.sampledFrom);
                insert.bind(5, timer.sampledTo);
                insert.exec();
            });
        }
        database_.exec("COMMIT");
    });
    activeResources_.markAllStored();
    tasks_.markAllStored();
    timers_.markAllStored();
}

void DatabasePersistenceImpl::disconnect() {
    reportingFailureAs("DatabasePersistenceImpl::disconnect", 449, [&] {
        for (auto& prepared : statements_) prepared.reset();
        database_.close();
    });
}

}  // namespace netsim
