#include "simulator/stats/FrameStatisticsManager.h"

#include "simulator/kernel/EngineServices.h"
#include "simulator/kernel/ISimulationPersistence.h"

namespace netsim {

FrameStatistics::FrameStatistics(FrameStatisticsManager& manager) : listener_(&manager) { manager.add(this); }

void FrameStatistics::frameDropped(const std::string& ownerName, const std::string& flowName, int32_t reason,
                                   double time) {
    ++dropped_;
    listener_->frameDropped(ownerName, flowName, reason, time);
}

void FrameStatistics::frameTransmitted() {
    ++transmitted_;
    listener_->frameTransmitted();
}

void FrameStatisticsManager::frameDropped(const std::string& resourceName, const std::string& flowName,
                                          int32_t reason, double time) {
    engine().resultsSink().saveDroppedFrame(resourceName, flowName, reason, time);
    dropped_.store(dropped_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

void FrameStatisticsManager::frameTransmitted() {
    transmitted_.store(transmitted_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

}  // namespace netsim
