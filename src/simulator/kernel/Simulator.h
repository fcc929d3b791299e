#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "simulator/kernel/EventQueue.h"

namespace netsim {

class SimulationModel;
class SwitchableSampler;

// The event loop of one run: pops events in time order and dispatches them to their tasks
// until the queue is empty.
class Simulator {
public:
    // The stop flag is looked at once per this many events, to keep its lock off the hot path.
    static constexpr uint64_t kStopPollInterval = 10'000;

    Simulator() : queue_(this) {}
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // One complete run: boot, default end time, actions and buses, the loop, the wind-down.
    void run(SimulationModel& model);
    void simulate();

    // A positive end time also schedules the shutdown task at it.
    void setEndTime(double endTime);
    double endTime() const { return endTime_; }
    double currentTime() const { return currentTime_; }
    double previousTime() const { return previousTime_; }
    double latestTerminationTime() const { return latestTermination_; }

    // Read by other threads while a run goes on.
    double publishedTime() const { return publishedTime_.load(std::memory_order_acquire); }
    uint64_t processedEventCount() const { return processedEvents_.load(std::memory_order_relaxed); }

    EventQueue& queue() { return queue_; }

    void registerTimeSampler(SwitchableSampler* sampler) { samplers_.push_back(sampler); }
    void unregisterTimeSampler(SwitchableSampler* sampler);
    void disableTimeSamplers();
    bool timeSamplingEnabled() const { return samplingEnabled_; }

private:
    void scheduleShutdown(double time);
    void moveShutdownTo(double time);
    void terminate(Event& event, Task& task);

    std::vector<SwitchableSampler*> samplers_;
    bool samplingEnabled_ = true;
    // Written on every commence event and read by status queries from other threads; an
    // atomic gives them the same guarantee a lock would, without a lock per event.
    std::atomic<double> publishedTime_{0.0};
    EventQueue queue_;
    double currentTime_ = -1.0;
    double previousTime_ = -1.0;
    double endTime_ = -1.0;
    std::atomic<uint64_t> processedEvents_{0};
    double latestTermination_ = 0.0;
    // The samplers are switched off when the first recurring task of this run is not
    // released again; later runs build their own simulator and start with them on.
    bool windDownSeen_ = false;
};

}  // namespace netsim
