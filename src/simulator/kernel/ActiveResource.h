#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "simulator/kernel/Name.h"

namespace netsim {

class ISimulationPersistence;

// Something that executes jobs (a CPU, a transmitter, a bus, a queue); it accumulates the
// time it was busy, from which its utilisation is computed at the end of the run.
class ActiveResource {
public:
    // Registers the resource with the model's list of active resources.
    ActiveResource();
    virtual ~ActiveResource() = default;
    ActiveResource(const ActiveResource&) = delete;
    ActiveResource& operator=(const ActiveResource&) = delete;

    virtual const Component* getTimeDefiningDevice() const;
    virtual const std::string& name() const = 0;
    virtual bool isBus() const { return false; }
    virtual bool isCpu() const { return false; }
    virtual bool isLink() const { return false; }
    virtual bool reportsUtilization() const { return false; }

    double busyTime() const { return busyTime_; }
    void addBusyTime(double seconds) { busyTime_ += seconds; }
    double utilization() const { return utilization_; }

    // Number of queued events of this resource's tasks; kept by the event queue so that the
    // check made on every CPU job does not scan the queue.
    uint32_t queuedEventCount() const { return queuedEvents_; }

    // utilisation = busy time x 100 / end time for every resource, in list order; resources
    // that report their utilisation hand it to the results sink.
    static void computeUtilization(const std::vector<ActiveResource*>& resources, double endTime,
                                   ISimulationPersistence& sink);

private:
    friend class EventQueue;

    double utilization_ = 0.0;
    double busyTime_ = 0.0;
    uint32_t queuedEvents_ = 0;
};

using ActiveResourceList = std::vector<ActiveResource*>;

// The usual concrete resource: a named part of a device, e.g. "ECU1.CPU".
class Processor : public ActiveResource, public SubComponent {
public:
    Processor(const Component* parent, std::string ownName) : SubComponent(parent, std::move(ownName)) {}
    ~Processor() override = default;

    const Component* getTimeDefiningDevice() const override { return nullptr; }
    const std::string& name() const override { return SubComponent::name(); }
};

}  // namespace netsim
