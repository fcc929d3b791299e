#include "db/DatabasePersistence.h"

#include <chrono>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

#include "db/DatabasePersistenceImpl.h"
#include "db/TDBCFailure.h"
#include "db/WorkPackage.h"

namespace netsim {
namespace {

constexpr std::chrono::microseconds kIdleNap(50);

}  // namespace

DatabasePersistence::DatabasePersistence(const std::string& databasePath, bool discardTasks, int32_t currentRun,
                                         int32_t maxRunCount, uint32_t seed, WorkerHooks hooks)
    : currentRun_(currentRun), discardTasks_(discardTasks), hooks_(std::move(hooks)) {
    handBack_.reserve(kJobBatchSize);
    returning_.reserve(kJobBatchSize);
    // Started last: the worker uses the queue, the hand-back list and the hooks.
    worker_ =
        std::thread(&DatabasePersistence::runThread, this, databasePath, currentRun, seed, currentRun == maxRunCount);
}

DatabasePersistence::~DatabasePersistence() {
    if (!worker_.joinable()) return;
    abandoned_.store(true, std::memory_order_relaxed);
    queue_.push(std::make_unique<WorkPackage>(WorkPackage::kCloseDatabase));
    queue_.push(std::make_unique<WorkPackage>(WorkPackage::kStopWorker));
    worker_.join();
}

bool DatabasePersistence::accepting() {
    if (active_ && workerFailed_.load(std::memory_order_acquire)) {
        worker_.join();
        active_ = false;
        returnWrittenRecords();
        std::rethrow_exception(workerException_);
    }
    return active_;
}

void DatabasePersistence::returnWrittenRecords() {
    {
        std::lock_guard<std::mutex> lock(handBackMutex_);
        returning_.swap(handBack_);
    }
    for (auto& package : returning_) {
        package->record->pool->giveBack(package->record);
        package->record = nullptr;
        spareJobPackages_.push_back(std::move(package));
    }
    returning_.clear();
}

void DatabasePersistence::saveSimulationInfo(double simulatedTime, const std::string& topologyFileName) {
    if (!accepting()) return;
    queue_.push(std::make_unique<SimulationInfoPackage>(simulatedTime, topologyFileName));
}

void DatabasePersistence::saveJob(JobRecord* record) {
    if (!accepting()) return;
    if (discardTasks_) {
        record->pool->giveBack(record);
        return;
    }
    std::unique_ptr<JobPackage> package;
    if (spareJobPackages_.empty()) {
        package = std::make_unique<JobPackage>(record);
    } else {
        package = std::move(spareJobPackages_.back());
        spareJobPackages_.pop_back();
        package->record = record;
    }
    queue_.push(std::move(package));
    if (++queuedJobs_ % kHandBackInterval == 0) returnWrittenRecords();
}

void DatabasePersistence::saveUtilization(const std::string& resourceName, double percentage) {
    if (!accepting()) return;
    queue_.push(std::make_unique<UtilizationPackage>(resourceName, percentage));
}

void DatabasePersistence::savePacketCounter(const std::string& resourceName, const std::string& type, uint64_t count) {
    if (!accepting()) return;
    queue_.push(std::make_unique<PacketCounterPackage>(resourceName, type, count));
}

void DatabasePersistence::saveFrameBufferUtilization(const std::string& resourceName, int32_t maxMemory,
                                                     double percentage, uint64_t droppedFrames,
                                                     uint64_t transmittedFrames) {
    if (!accepting()) return;
    queue_.push(std::make_unique<FrameBufferUtilizationPackage>(resourceName, maxMemory, percentage, droppedFrames,
                                                                transmittedFrames));
}

void DatabasePersistence::saveLatencies(const std::string& timerName, const std::string& flowName,
                                        const std::string& sampledFrom, const std::string& sampledTo,
                                        std::span<const double> values) {
    if (!accepting()) return;
    std::vector<double> copy;
    try {
        copy.assign(values.begin(), values.end());
    } catch (const std::bad_alloc&) {
        throw Exception("Failed to clone latency data.");
    } catch (const std::length_error&) {
        throw Exception("Failed to clone latency data.");
    }
    queue_.push(std::make_unique<LatencyPackage>(timerName, flowName, sampledFrom, sampledTo, std::move(copy)));
}

void DatabasePersistence::saveInfoMessage(const std::string& text) {
    if (!accepting()) return;
    queue_.push(std::make_unique<UserMessagePackage>(UserMessagePackage::kInfo, text));
}

void DatabasePersistence::saveWarningMessage(const std::string& text) {
    if (!accepting()) return;
    queue_.push(std::make_unique<UserMessagePackage>(UserMessagePackage::kWarning, text));
}

void DatabasePersistence::savePortStatistics(const std::string& resourceName, const std::string& flowName,
                                             uint64_t bitCount, uint64_t frameCount, int32_t colourCode) {
    if (!accepting()) return;
    queue_.push(std::make_unique<PortStatisticsPackage>(resourceName, flowName, bitCount, frameCount, colourCode));
}

void DatabasePersistence::saveDroppedFrame(const std::string& resourceName, const std::string& flowName, int32_t reason,
                                           double time) {
    if (!accepting()) return;
    queue_.push(std::make_unique<DroppedFramePackage>(resourceName, flowName, reason, time));
}

void DatabasePersistence::finishRun(uint64_t colourCodeCount) {
    if (!accepting()) return;
    queue_.push(std::make_unique<FinishRunPackage>(colourCodeCount));
    queue_.push(std::make_unique<WorkPackage>(WorkPackage::kCloseDatabase));
    queue_.push(std::make_unique<WorkPackage>(WorkPackage::kStopWorker));
    worker_.join();
    active_ = false;
    returnWrittenRecords();
    if (workerException_) std::rethrow_exception(workerException_);
}

void DatabasePersistence::runThread(std::string databasePath, int32_t currentRun, uint32_t seed, bool lastRun) {
    std::vector<std::unique_ptr<JobPackage>> jobs;
    std::vector<std::unique_ptr<DroppedFramePackage>> droppedFrames;
    try {
        jobs.reserve(kJobBatchSize);
        droppedFrames.reserve(kDroppedFrameBatchSize);
        DatabasePersistenceImpl writer(databasePath, currentRun, seed);

        auto writeJobs = [&] {
            writer.insertJobs(jobs);
            std::size_t rows = jobs.size();
            {
                std::lock_guard<std::mutex> lock(handBackMutex_);
                for (auto& job : jobs) handBack_.push_back(std::move(job));
            }
            jobs.clear();
            if (hooks_.jobBatchWritten) hooks_.jobBatchWritten(rows);
        };
        auto writeDroppedFrames = [&] {
            writer.insertDroppedFrames(droppedFrames);
            droppedFrames.clear();
        };

        for (bool running = true; running;) {
            std::unique_ptr<WorkPackage> package = queue_.pop();
            if (abandoned_.load(std::memory_order_relaxed) && package->kind != WorkPackage::kCloseDatabase &&
                package->kind != WorkPackage::kStopWorker)
                continue;
            switch (package->kind) {
                case WorkPackage::kJob:
                    jobs.emplace_back(static_cast<JobPackage*>(package.release()));
                    if (jobs.size() == kJobBatchSize) writeJobs();
                    break;
                case WorkPackage::kDroppedFrame:
                    droppedFrames.emplace_back(static_cast<DroppedFramePackage*>(package.release()));
                    if (droppedFrames.size() == kDroppedFrameBatchSize) writeDroppedFrames();
                    break;
                case WorkPackage::kUtilization:
                    writer.insertUtilizationValue(static_cast<UtilizationPackage&>(*package));
                    break;
                case WorkPackage::kPacketCounter:
                    writer.insertPacketCounter(static_cast<PacketCounterPackage&>(*package));
                    break;
                case WorkPackage::kFrameBufferUtilization:
                    writer.insertFrameBufferUtilization(static_cast<FrameBufferUtilizationPackage&>(*package));
                    break;
                case WorkPackage::kLatencies:
                    writer.insertLatencyData(static_cast<LatencyPackage&>(*package));
                    break;
                case WorkPackage::kSimulationInfo:
                    writer.insertSimulationInfo(static_cast<SimulationInfoPackage&>(*package));
                    break;
                case WorkPackage::kUserMessage:
                    writer.insertUserMessage(static_cast<UserMessagePackage&>(*package));
                    break;
                case WorkPackage::kPortStatistics:
                    writer.insertPortStatistics(static_cast<PortStatisticsPackage&>(*package));
                    break;
                case WorkPackage::kFinishRun:
                    if (!jobs.empty()) writeJobs();
                    if (!droppedFrames.empty()) writeDroppedFrames();
                    if (lastRun) writer.createIndexes();
                    // Every run, not only the first: a later run adds the names it met first, so
                    // that each identifier it wrote resolves in the identifier tables.
                    writer.persistIDCaches();
                    writer.finalizeSimulationInfo(static_cast<FinishRunPackage&>(*package).colourCodeCount);
                    break;
                case WorkPackage::kCloseDatabase:
                    // Rows an abandoned run has written already must resolve as well, and the
                    // next run must not give their identifiers to other names.
                    if (abandoned_.load(std::memory_order_relaxed)) writer.persistIDCaches();
                    writer.disconnect();
                    break;
                case WorkPackage::kStopWorker:
                    running = false;
                    break;
                default:
                    throw Exception(kDatabaseFile, "runThread", 830, "Unknown work package received!");
            }
            // A worker blocked on the semaphore makes every push pay for waking it, which costs
            // the simulation thread microseconds per result. Napping first lets the next
            // results pile up while no one waits, so their pushes stay cheap; the worker blocks
            // only when the run has produced nothing for a whole nap.
            if (running && queue_.isEmpty()) std::this_thread::sleep_for(kIdleNap);
        }
    } catch (...) {
        workerException_ = std::current_exception();
        workerFailed_.store(true, std::memory_order_release);
    }
    if (hooks_.workerEnded) hooks_.workerEnded();
}

}  // namespace netsim
