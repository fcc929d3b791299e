#include "simulator/stats/TimeSampler.h"

#include "simulator/kernel/EngineServices.h"
#include "simulator/kernel/Simulator.h"
#include "simulator/stats/Timer.h"

namespace netsim {

TimeSampler::TimeSampler(const Timer& timer, std::string samplingPoint)
    : samplingPoint_(std::move(samplingPoint)), timer_(timer) {
    engine().simulator().registerTimeSampler(this);
}

TimeSampler::~TimeSampler() { engine().simulator().unregisterTimeSampler(this); }

void TimeSampler::record(uint64_t identity, double time) {
    if (times_.emplace(identity, time).second) order_.push_back(identity);
}

const double* TimeSampler::find(uint64_t identity) const {
    auto found = times_.find(identity);
    return found != times_.end() ? &found->second : nullptr;
}

bool StartTimeSampler::matches(const SampledObject& object) const {
    return isEnabled() && object.flowName() == timer().flowName();
}

bool StopTimeSampler::matches(const SampledObject& object) const {
    return isEnabled() && object.flowName() == timer().flowName() &&
           object.hasPassed(timer().startSampler().samplingPoint());
}

}  // namespace netsim
