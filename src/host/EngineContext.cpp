#include "host/EngineContext.h"

#include "simulator/kernel/ISimulationPersistence.h"
#include "simulator/kernel/RandomGenerator.h"
#include "simulator/kernel/SimulationControl.h"
#include "simulator/kernel/Simulator.h"
#include "simulator/stats/FrameStatisticsManager.h"
#include "simulator/topology/OrvoSystemModel.h"

namespace netsim {
namespace {

// Written only under the lifetime mutex; read without it by the simulation thread, which is
// the thread that creates and destroys the context it runs on.
std::atomic<EngineContext*> gContext{nullptr};

EngineServices& currentEngine() { return EngineContext::instance(); }

// The kernel and the subsystems reach the context through the engine accessor.
const bool gAccessorInstalled = [] {
    installEngineAccessor(&currentEngine);
    return true;
}();

}  // namespace

void ShutdownTask::onTerminate(double time) { context_.systemModel().endSimulation(time); }

std::mutex& EngineContext::lifetimeMutex() {
    static std::mutex mutex;
    return mutex;
}

EngineContext& EngineContext::instance() {
    if (EngineContext* context = gContext.load(std::memory_order_acquire)) return *context;
    std::lock_guard<std::mutex> lock(lifetimeMutex());
    return instanceLocked();
}

EngineContext& EngineContext::instanceLocked() {
    if (EngineContext* context = gContext.load(std::memory_order_acquire)) return *context;
    auto* created = new EngineContext();
    gContext.store(created, std::memory_order_release);
    return *created;
}

EngineContext* EngineContext::existing() { return gContext.load(std::memory_order_acquire); }

EngineContext& EngineContext::renew() {
    (void)gAccessorInstalled;
    destroy();
    return instance();
}

void EngineContext::destroy() {
    std::lock_guard<std::mutex> lock(lifetimeMutex());
    // The context stays reachable while it is torn down: the objects it destroys may still
    // reach their neighbours through it (samplers leave the simulator's registry).
    delete gContext.load(std::memory_order_acquire);
    gContext.store(nullptr, std::memory_order_release);
}

// The simulator, its stop control and the frame statistics are what the status and stop
// calls of other threads read, so they are made with the context rather than on first use:
// a lazy creation racing with such a call would be a data race.
EngineContext::EngineContext()
    : simulator_(std::make_unique<Simulator>()),
      control_(std::make_unique<SimulationControl>(simulator_.get())),
      resultsSink_(std::make_unique<NoPersistence>()),
      frameStatistics_(std::make_unique<FrameStatisticsManager>()),
      shutdown_(*this) {
    broadcastMac_.fill(0xFF);
}

// Torn down in a fixed order: the results sink first (it joins its writer, which still
// holds job records of the model's tasks), the events a failed run left queued, the model,
// the simulator, the shutdown task last.
EngineContext::~EngineContext() {
    resultsSink_.reset();
    if (simulator_) simulator_->queue().clear();
    systemModel_.reset();
    flowIdCounter_.reset();
    frameStatistics_.reset();
    randomGenerator_.reset();
    simulator_.reset();
    control_.reset();
}

OrvoSystemModel& EngineContext::systemModel() {
    if (!systemModel_) systemModel_ = std::make_unique<OrvoSystemModel>();
    return *systemModel_;
}

Simulator& EngineContext::simulator() { return *simulator_; }

SimulationControl& EngineContext::simulationControl() { return *control_; }

ISimulationPersistence& EngineContext::resultsSink() { return *resultsSink_; }

void EngineContext::replaceResultsSink(std::unique_ptr<ISimulationPersistence> sink) {
    resultsSink_ = std::move(sink);
}

RandomGenerator& EngineContext::randomGenerator() {
    if (!randomGenerator_) createRandomGenerator(0);
    return *randomGenerator_;
}

void EngineContext::ensureRandomGenerator(uint32_t fallbackSeed) {
    if (!randomGenerator_) createRandomGenerator(fallbackSeed);
}

void EngineContext::createRandomGenerator(uint32_t seed) {
    randomGenerator_ = std::make_unique<RandomGenerator>(RandomGenerator::resolveSeed(seed));
}

ActiveResourceList& EngineContext::activeResources() { return systemModel().activeResources(); }

FrameStatisticsManager& EngineContext::frameStatistics() { return *frameStatistics_; }

uint32_t EngineContext::flowIdCounter() {
    if (!flowIdCounter_) flowIdCounter_ = 6;
    return *flowIdCounter_;
}

uint32_t EngineContext::takeNextFlowId() {
    uint32_t id = flowIdCounter();
    flowIdCounter_ = id + 1;
    return id;
}

void EngineContext::abortRun() { resultsSink().finishRun(flowIdCounter()); }

}  // namespace netsim
