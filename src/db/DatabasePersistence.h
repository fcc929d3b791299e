#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "db/BlockingQueue.h"
#include "db/WorkPackage.h"
#include "simulator/kernel/ISimulationPersistence.h"

namespace netsim {

// The results sink of a run with a results database. The simulation thread only packs each
// result and queues it; a worker thread started by the constructor owns the SQLite
// connection and writes the packages in the order they were queued. The first failure of the
// worker is raised at the next call on the simulation thread; from then on the sink ignores
// every call.
class DatabasePersistence final : public ISimulationPersistence {
public:
    // Lets tests and benchmarks watch the worker; both run on the worker thread. The engine
    // leaves them empty.
    struct WorkerHooks {
        std::function<void(std::size_t rows)> jobBatchWritten;
        std::function<void()> workerEnded;
    };

    // Starts the worker. The seed is the one the run's random generator actually uses; the run
    // whose number equals maxRunCount is the last of its batch.
    DatabasePersistence(const std::string& databasePath, bool discardTasks, int32_t currentRun, int32_t maxRunCount,
                        uint32_t seed, WorkerHooks hooks = {});
    // A run that was never finished is abandoned: the worker drops what is still queued,
    // adds the names of the rows it has written to the identifier tables, closes the database
    // and is joined. Records still on their way are not given back;
    // their pools own them and free them with their tasks.
    ~DatabasePersistence() override;
    DatabasePersistence(const DatabasePersistence&) = delete;
    DatabasePersistence& operator=(const DatabasePersistence&) = delete;

    void saveSimulationInfo(double simulatedTime, const std::string& topologyFileName) override;
    void saveJob(JobRecord* record) override;
    void saveUtilization(const std::string& resourceName, double percentage) override;
    void savePacketCounter(const std::string& resourceName, const std::string& type, uint64_t count) override;
    void saveFrameBufferUtilization(const std::string& resourceName, int32_t maxMemory, double percentage,
                                    uint64_t droppedFrames, uint64_t transmittedFrames) override;
    void saveLatencies(const std::string& timerName, const std::string& flowName, const std::string& sampledFrom,
                       const std::string& sampledTo, std::span<const double> values) override;
    void saveInfoMessage(const std::string& text) override;
    void saveWarningMessage(const std::string& text) override;
    void savePortStatistics(const std::string& resourceName, const std::string& flowName, uint64_t bitCount,
                            uint64_t frameCount, int32_t colourCode) override;
    void saveDroppedFrame(const std::string& resourceName, const std::string& flowName, int32_t reason,
                          double time) override;
    // Writes what is pending, closes the run and the database, and waits for the worker;
    // afterwards the sink ignores every call.
    void finishRun(uint64_t colourCodeCount) override;

    static constexpr std::size_t kJobBatchSize = 2048;
    static constexpr std::size_t kDroppedFrameBatchSize = 1024;
    // How many queued jobs pass between two returns of written records to their pools.
    static constexpr uint64_t kHandBackInterval = 1500;

private:
    // Raises the worker's failure once; true while the sink still takes results.
    bool accepting();
    void returnWrittenRecords();
    void runThread(std::string databasePath, int32_t currentRun, uint32_t seed, bool lastRun);

    BlockingQueue queue_;
    // Records the worker has written, in the packages that carried them, waiting to go back to
    // their pools on this thread. The emptied packages carry the next jobs, so that saving a
    // job allocates nothing once the run has as many packages as it keeps in flight.
    std::mutex handBackMutex_;
    std::vector<std::unique_ptr<JobPackage>> handBack_;
    std::vector<std::unique_ptr<JobPackage>> returning_;
    std::vector<std::unique_ptr<JobPackage>> spareJobPackages_;
    std::thread worker_;
    // Written by the worker before it ends; read here only after joining it.
    std::exception_ptr workerException_;
    std::atomic<bool> workerFailed_{false};
    std::atomic<bool> abandoned_{false};
    int32_t currentRun_;
    bool discardTasks_;
    bool active_ = true;
    uint64_t queuedJobs_ = 0;
    WorkerHooks hooks_;
};

}  // namespace netsim
