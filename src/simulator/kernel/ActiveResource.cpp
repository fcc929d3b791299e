#include "simulator/kernel/ActiveResource.h"

#include "common/Exception.h"
#include "simulator/kernel/EngineServices.h"
#include "simulator/kernel/ISimulationPersistence.h"

namespace netsim {

ActiveResource::ActiveResource() { engine().activeResources().push_back(this); }

const Component* ActiveResource::getTimeDefiningDevice() const {
    throw Exception("simulator/ActiveResource", "ActiveResource::getTimeDefiningDevice", 35,
                    "Function not implemented: %s", name().c_str());
}

void ActiveResource::computeUtilization(const std::vector<ActiveResource*>& resources, double endTime,
                                        ISimulationPersistence& sink) {
    for (ActiveResource* resource : resources) {
        resource->utilization_ = resource->busyTime_ * 100.0 / endTime;
        if (resource->reportsUtilization()) sink.saveUtilization(resource->name(), resource->utilization_);
    }
}

}  // namespace netsim
