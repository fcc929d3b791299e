#include "host/HostOperations.h"

#include <atomic>
#include <exception>
#include <memory>
#include <string>

#include "common/Exception.h"
#include "db/DatabasePersistence.h"
#include "simulator/capture/CapturePaths.h"
#include "host/EngineContext.h"
#include "simulator/kernel/ISimulationPersistence.h"
#include "simulator/kernel/RandomGenerator.h"
#include "simulator/kernel/SimulationControl.h"
#include "simulator/kernel/Simulator.h"
#include "simulator/stats/FrameStatisticsManager.h"
#include "simulator/topology/OrvoSystemModel.h"

namespace netsim::host {
namespace {

// Process-wide values that outlive every context.
std::atomic<bool> gRunning{false};
std::mutex gLastResultsMutex;
SimulationInfo gLastResults;

// Closes the run in the results sink after a failure, which also stops its writer. The
// failure itself is what the host must see, so an error the writer reports while closing is
// dropped.
void closeRunQuietly(EngineContext& context) {
    try {
        context.abortRun();
    } catch (...) {
    }
}

// The running flag drops before the context goes, both under the lifetime lock, so a status
// query sees either a live context or the last results.
void endRun() {
    {
        std::lock_guard<std::mutex> lifetime(EngineContext::lifetimeMutex());
        gRunning = false;
    }
    EngineContext::destroy();
}

}  // namespace

bool readFile(const char* orvoPath, const char* dbPath, int64_t seed, bool discardTasks, int32_t currentRun,
              int32_t maxRunCount) {
    try {
        if (orvoPath == nullptr) throw Exception("aORVOFilePath is NULL!");
        if (dbPath == nullptr) throw Exception("aDBPath is NULL!");
        EngineContext& context = EngineContext::renew();
        setTolerateMacConflicts();
        context.createRandomGenerator(static_cast<uint32_t>(seed & 0xFFFFFFFF));
        context.replaceResultsSink(std::make_unique<DatabasePersistence>(
            dbPath, discardTasks, currentRun, maxRunCount, context.randomGenerator().seed()));
        context.systemModel().load(orvoPath, 0);
        return true;
    } catch (...) {
        closeRunQuietly(EngineContext::instance());
        throw;
    }
}

void startSimulation(double endTime) {
    EngineContext* created;
    {
        std::lock_guard<std::mutex> lifetime(EngineContext::lifetimeMutex());
        created = &EngineContext::instanceLocked();
        gRunning = true;
    }
    EngineContext& context = *created;
    Simulator& simulator = context.simulator();
    FrameStatisticsManager& statistics = context.frameStatistics();
    try {
        simulator.setEndTime(endTime);
        simulator.run(context.systemModel());
        std::lock_guard<std::mutex> lock(gLastResultsMutex);
        gLastResults.elapsedTime = simulator.publishedTime();
        gLastResults.droppedFrames = statistics.droppedTotal();
        gLastResults.eventsProcessed = static_cast<int64_t>(simulator.processedEventCount());
    } catch (...) {
        // Errors before the loop (boot, scheduling) and non-engine errors reach here with the
        // results writer still running; finishing a finished sink does nothing.
        closeRunQuietly(context);
        endRun();
        throw;
    }
    endRun();
}

SimulationInfo getSimulationInfo() {
    std::lock_guard<std::mutex> lifetime(EngineContext::lifetimeMutex());
    EngineContext* context = EngineContext::existing();
    if (gRunning && context != nullptr) {
        SimulationInfo live;
        live.elapsedTime = context->simulator().publishedTime();
        live.droppedFrames = context->frameStatistics().droppedTotal();
        live.eventsProcessed = static_cast<int64_t>(context->simulator().processedEventCount());
        return live;
    }
    std::lock_guard<std::mutex> lock(gLastResultsMutex);
    return gLastResults;
}

void stopSimulation() {
    // The control is created on the way when absent, so a stop before the run still counts.
    std::lock_guard<std::mutex> lifetime(EngineContext::lifetimeMutex());
    EngineContext::instanceLocked().simulationControl().requestStop();
}

void setCapturePaths(const char* paths) {
    if (paths != nullptr) CapturePaths::instance().set(paths);
}

}  // namespace netsim::host
