#pragma once

#include <cstdint>

#include "simulator/kernel/ActiveResource.h"

namespace netsim {

class FrameStatisticsManager;
class ISimulationPersistence;
class RandomGenerator;
class SimulationControl;
class Simulator;
class Task;

// What the engine's parts reach through the process-wide engine context. The context itself
// (which also owns the system model) sits above every subsystem; this interface lets the
// kernel and the subsystems reach it without depending on it.
class EngineServices {
public:
    virtual ~EngineServices() = default;

    virtual Simulator& simulator() = 0;
    virtual SimulationControl& simulationControl() = 0;
    virtual ISimulationPersistence& resultsSink() = 0;
    virtual RandomGenerator& randomGenerator() = 0;
    // Creates the generator from the seed (0: the platform's random device) unless one exists.
    virtual void ensureRandomGenerator(uint32_t fallbackSeed) = 0;
    // The model's list of every active resource, in construction order (not owning).
    virtual ActiveResourceList& activeResources() = 0;
    virtual FrameStatisticsManager& frameStatistics() = 0;
    virtual Task& shutdownTask() = 0;
    // The flow identifiers handed out so far start at 6; codes below are fixed job colours.
    virtual uint32_t flowIdCounter() = 0;
    virtual uint32_t takeNextFlowId() = 0;
    // Closes the run in the results sink after an error, so no writer is left running.
    virtual void abortRun() = 0;
};

// The current engine context, created on first access by whoever installed the accessor.
EngineServices& engine();

// Set by every load of a topology file and never cleared: conflicting MAC address records
// are then ignored instead of failing the model.
bool tolerateMacConflicts();
void setTolerateMacConflicts();

// Installs the function behind engine(); returns the previous one (tests restore it).
using EngineAccessor = EngineServices& (*)();
EngineAccessor installEngineAccessor(EngineAccessor accessor);

}  // namespace netsim
