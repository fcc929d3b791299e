#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "db/IDCache.h"
#include "db/TDBCDatabase.h"
#include "db/TDBCWriteStatement.h"
#include "db/WorkPackage.h"

namespace netsim {

// The database writer of one run. It lives on the worker thread and is the only user of the
// SQLite connection. Every operation raises "Exception caught: <the SQLite failure>" under
// its own name when SQLite fails.
class DatabasePersistenceImpl {
public:
    struct TimerData {
        std::string flowName;
        std::string sampledFrom;
        std::string sampledTo;
    };

    // Opens the database; the first run of a batch creates the tables, later runs take over
    // the identifiers stored by the earlier ones. Then the run's run_info row is added.
    DatabasePersistenceImpl(const std::string& databasePath, int32_t currentRun, uint32_t seed);
    ~DatabasePersistenceImpl();
    DatabasePersistenceImpl(const DatabasePersistenceImpl&) = delete;
    DatabasePersistenceImpl& operator=(const DatabasePersistenceImpl&) = delete;

    // One transaction for the whole batch.
    void insertJobs(std::span<const std::unique_ptr<JobPackage>> jobs);
    // One transaction for the whole batch.
    void insertDroppedFrames(std::span<const std::unique_ptr<DroppedFramePackage>> frames);
    void insertUtilizationValue(const UtilizationPackage& package);
    void insertPacketCounter(const PacketCounterPackage& package);
    void insertFrameBufferUtilization(const FrameBufferUtilizationPackage& package);
    // One transaction for all values; the timer gets its identifier even without values.
    void insertLatencyData(const LatencyPackage& package);
    void insertSimulationInfo(const SimulationInfoPackage& package);
    void insertUserMessage(const UserMessagePackage& package);
    void insertPortStatistics(const PortStatisticsPackage& package);
    void finalizeSimulationInfo(uint64_t colourCodeCount);
    void createIndexes();
    // Writes the names that the identifier tables do not hold yet: all of them at the first
    // run, the names first met in this run at later ones.
    void persistIDCaches();
    void disconnect();

private:
    enum Statement : std::size_t {
        kInsertJob,
        kInsertDroppedFrame,
        kInsertUtilization,
        kInsertPacketCounter,
        kInsertFrameBufferUtilization,
        kInsertLatency,
        kUpdateSimulationInfo,
        kInsertUserMessage,
        kInsertPortStatistics,
        kStatementCount
    };

    void createTables();
    void readPersistedIDCaches();
    void persistSimulationRunInfo();
    TDBCWriteStatement& statement(Statement which);

    std::string databasePath_;
    TDBCDatabase database_;
    // Prepared once per run on first use; declared after the connection so that they are
    // finalized before it closes.
    std::array<std::unique_ptr<TDBCWriteStatement>, kStatementCount> statements_;
    IDCache activeResources_;
    IDCache tasks_;
    IDCacheData<TimerData> timers_;
    int64_t nextJobId_ = 1;
    int32_t currentRun_;
    uint32_t seed_;
};

}  // namespace netsim
