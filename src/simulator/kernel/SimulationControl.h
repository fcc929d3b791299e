#pragma once

#include <cstdint>
#include <mutex>

namespace netsim {

class Simulator;

// The stop request that the host's stop call leaves for the simulation loop.
class SimulationControl {
public:
    explicit SimulationControl(Simulator* simulator) : simulator_(simulator) {}

    Simulator* simulator() const { return simulator_; }

    void requestStop() {
        std::lock_guard<std::mutex> lock(mutex_);
        stopRequested_ = 1;
    }

    // True once per request: the flag is cleared as it is seen.
    bool takeStopRequest() {
        std::lock_guard<std::mutex> lock(mutex_);
        bool requested = stopRequested_ != 0;
        stopRequested_ = 0;
        return requested;
    }

private:
    Simulator* simulator_;
    std::mutex mutex_;
    uint8_t stopRequested_ = 0;
};

}  // namespace netsim
