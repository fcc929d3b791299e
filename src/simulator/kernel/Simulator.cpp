#include "simulator/kernel/Simulator.h"

#include <algorithm>

#include "common/Exception.h"
#include "simulator/kernel/ActiveResource.h"
#include "simulator/kernel/EngineServices.h"
#include "simulator/kernel/SimulationControl.h"
#include "simulator/kernel/SimulationModel.h"
#include "simulator/kernel/SwitchableSampler.h"
#include "simulator/kernel/Task.h"

namespace netsim {

void Simulator::run(SimulationModel& model) {
    double longestPeriod = 0.0;
    model.bootDevices(longestPeriod);
    if (!(endTime_ > 0.0)) {
        endTime_ = 5.0 * longestPeriod;
        scheduleShutdown(endTime_);
    }
    model.scheduleActions();
    model.startFlexRayBuses();
    try {
        simulate();
        model.endDevices(std::max(latestTermination_, endTime_));
        model.finish(endTime_);
    } catch (const Exception&) {
        // The run's own error is what the host must see; closing the results is best effort.
        try {
            engine().abortRun();
        } catch (...) {
        }
        throw;
    }
}

void Simulator::setEndTime(double endTime) {
    endTime_ = endTime;
    if (endTime > 0.0) scheduleShutdown(endTime);
}

void Simulator::scheduleShutdown(double time) { engine().shutdownTask().scheduleGlobal(time, time); }

void Simulator::moveShutdownTo(double time) {
    Task& shutdown = engine().shutdownTask();
    queue_.remove(shutdown.commenceEvent(), false);
    shutdown.scheduleGlobal(time, time);
}

void Simulator::simulate() {
    SimulationControl& control = engine().simulationControl();
    uint64_t iterations = 0;
    while (!queue_.empty()) {
        Event& event = *queue_.popFront();
        Task& task = *event.task();
        currentTime_ = event.time().global();

        if (++iterations % kStopPollInterval == 0 && control.takeStopRequest()) {
            endTime_ = currentTime_;
            moveShutdownTo(currentTime_);
        }
        processedEvents_.store(processedEvents_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);

        if (isTaskCommenceEvent(event)) {
            publishedTime_.store(currentTime_, std::memory_order_release);
            event.fire();
            Event& termination = task.terminationEvent();
            if (termination.time().isScheduled()) queue_.insert(termination);
            ActiveResource* resource = task.resource();
            if (resource != nullptr && resource->isCpu() && queue_.countForResource(resource) != 1)
                throw Exception("simulator/Simulator", "Simulator::simulate", 250,
                                "Too many events in queue for host %s", resource->name().c_str());
        } else {
            terminate(event, task);
        }
        previousTime_ = currentTime_;
    }
}

void Simulator::terminate(Event& event, Task& task) {
    latestTermination_ = std::max(latestTermination_, currentTime_);
    if (ActiveResource* resource = task.resource(); resource != nullptr && endTime_ > task.commenceTime())
        resource->addBusyTime(task.busyPart(endTime_));
    task.recordJob();
    event.fire();
    if (task.isRecurring()) {
        double next = task.computeNextReadyTime();
        if (endTime_ > next) {
            task.releaseNextJob(currentTime_);
        } else if (!windDownSeen_) {
            windDownSeen_ = true;
            disableTimeSamplers();
        }
    }
    task.afterTermination();
}

void Simulator::unregisterTimeSampler(SwitchableSampler* sampler) {
    samplers_.erase(std::remove(samplers_.begin(), samplers_.end(), sampler), samplers_.end());
}

void Simulator::disableTimeSamplers() {
    if (!samplingEnabled_) return;
    for (SwitchableSampler* sampler : samplers_) sampler->switchOff();
    samplingEnabled_ = false;
}

}  // namespace netsim
