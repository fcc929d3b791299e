#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "simulator/kernel/EngineServices.h"
#include "simulator/kernel/Task.h"

namespace netsim {

class FrameStatisticsManager;
class ISimulationPersistence;
class OrvoSystemModel;
class RandomGenerator;
class SimulationControl;
class Simulator;

// Ends the run at its end time: when it terminates, the model tells every port.
class ShutdownTask final : public Task {
public:
    explicit ShutdownTask(class EngineContext& context) : Task("SHUTDOWN"), context_(context) {}
    void onTerminate(double time) override;

private:
    EngineContext& context_;
};

// Everything the engine holds between host calls. The model, the generator and the flow
// counter are created on first use; the context is destroyed at the end of every run, and
// the next access creates a fresh one.
class EngineContext final : public EngineServices {
public:
    // The current context, created when absent.
    static EngineContext& instance();
    // As instance(), for callers that already hold the lifetime mutex.
    static EngineContext& instanceLocked();
    // The current context or null; never creates one.
    static EngineContext* existing();
    // Destroys the current context (if any) and creates a fresh one.
    static EngineContext& renew();
    static void destroy();
    // Held while a context is created or destroyed, and by the status and stop calls while
    // they look into the context, so they never see one half torn down.
    static std::mutex& lifetimeMutex();

    EngineContext();
    ~EngineContext() override;
    EngineContext(const EngineContext&) = delete;
    EngineContext& operator=(const EngineContext&) = delete;

    OrvoSystemModel& systemModel();
    Simulator& simulator() override;
    SimulationControl& simulationControl() override;
    ISimulationPersistence& resultsSink() override;
    void replaceResultsSink(std::unique_ptr<ISimulationPersistence> sink);
    RandomGenerator& randomGenerator() override;
    void createRandomGenerator(uint32_t seed);
    void ensureRandomGenerator(uint32_t fallbackSeed) override;
    bool hasRandomGenerator() const { return randomGenerator_ != nullptr; }
    ActiveResourceList& activeResources() override;
    FrameStatisticsManager& frameStatistics() override;
    Task& shutdownTask() override { return shutdown_; }
    uint32_t flowIdCounter() override;
    uint32_t takeNextFlowId() override;
    uint64_t takeNextUdpDatagramNumber() { return ++udpDatagramCounter_; }
    uint64_t takeNextProfinetMessageNumber() { return ++profinetMessageCounter_; }
    const std::array<uint8_t, 6>& broadcastMacAddress() const { return broadcastMac_; }
    void abortRun() override;

private:
    std::array<uint8_t, 6> broadcastMac_;
    std::unique_ptr<OrvoSystemModel> systemModel_;
    std::unique_ptr<Simulator> simulator_;
    std::unique_ptr<RandomGenerator> randomGenerator_;
    std::unique_ptr<SimulationControl> control_;
    std::unique_ptr<ISimulationPersistence> resultsSink_;
    std::unique_ptr<FrameStatisticsManager> frameStatistics_;
    std::optional<uint32_t> flowIdCounter_;
    uint64_t udpDatagramCounter_ = 0;
    uint64_t profinetMessageCounter_ = 0;
    ShutdownTask shutdown_;
};

}  // namespace netsim
