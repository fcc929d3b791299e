#pragma once

#include <memory>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "simulator/kernel/Name.h"
#include "simulator/stats/TimeSampler.h"

namespace netsim {

class ISimulationPersistence;

// Holds the name of the flow an object measures.
class FlowNameKeeper {
public:
    explicit FlowNameKeeper(std::string flowName) : flowName_(std::move(flowName)) {}
    const std::string& flowName() const { return flowName_; }

private:
    std::string flowName_;
};

// Measures the latency of one flow between a start and a stop sampling point.
class Timer : public FlowNameKeeper, public Name {
public:
    Timer(std::string name, std::string flowName, std::string startPoint, std::string stopPoint);

    const std::string& name() const { return name_; }
    StartTimeSampler& startSampler() { return *start_; }
    StopTimeSampler& stopSampler() { return *stop_; }
    const StartTimeSampler& startSampler() const { return *start_; }
    const StopTimeSampler& stopSampler() const { return *stop_; }

    // Warns of points that saw nothing, and saves the latencies in milliseconds.
    void finish(ISimulationPersistence& sink) const;

private:
    std::unique_ptr<StartTimeSampler> start_;
    std::unique_ptr<StopTimeSampler> stop_;
};

// Attaches samplers to the places they name; the system model knows the devices.
class SamplingPointDirectory {
public:
    virtual ~SamplingPointDirectory() = default;
    // The sampler's point is a device name and a port name joined by '.'.
    virtual void attachPortSampler(TimeSampler& sampler) = 0;
    // The sampler's point names an end device; IPDUs are sampled there.
    virtual void attachIpduSampler(TimeSampler& sampler) = 0;
};

// The model's timers in document order.
class TimerSet {
public:
    void addTimer(std::unique_ptr<Timer> timer);
    void finish(ISimulationPersistence& sink) const;
    const std::vector<std::unique_ptr<Timer>>& timers() const { return timers_; }

    // Builds one timer per child element of the "Timers" section.
    void build(pugi::xml_node section, const std::string& topologyFileName,
               SamplingPointDirectory& directory);

private:
    std::vector<std::unique_ptr<Timer>> timers_;
};

}  // namespace netsim
