#pragma once

namespace netsim {

// What the run needs from the assembled system. The system model implements it; the
// simulator knows nothing else of devices, actions or buses.
class SimulationModel {
public:
    virtual ~SimulationModel() = default;

    // Boots every device in list order; end devices raise the accumulator to the longest
    // period of their cyclic tasks.
    virtual void bootDevices(double& longestPeriod) = 0;
    virtual void scheduleActions() = 0;
    virtual void startFlexRayBuses() = 0;
    // Hands every device, in list order, the final time of the run.
    virtual void endDevices(double finalTime) = 0;
    // Reports the run's results and closes it in the results sink.
    virtual void finish(double endTime) = 0;
};

}  // namespace netsim
