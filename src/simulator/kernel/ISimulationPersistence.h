#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "simulator/kernel/JobRecord.h"

namespace netsim {

// Where the results of a run go. The engine calls it only from the simulation thread.
class ISimulationPersistence {
public:
    virtual ~ISimulationPersistence() = default;
    virtual void saveSimulationInfo(double simulatedTime, const std::string& topologyFileName) = 0;
    // Takes the record; it goes back to its pool once the sink is done with it.
    virtual void saveJob(JobRecord* record) = 0;
    virtual void saveUtilization(const std::string& resourceName, double percentage) = 0;
    virtual void savePacketCounter(const std::string& resourceName, const std::string& type, uint64_t count) = 0;
    virtual void saveFrameBufferUtilization(const std::string& resourceName, int32_t maxMemory, double percentage,
                                            uint64_t droppedFrames, uint64_t transmittedFrames) = 0;
    virtual void saveLatencies(const std::string& timerName, const std::string& flowName,
                               const std::string& sampledFrom, const std::string& sampledTo,
                               std::span<const double> values) = 0;
    virtual void saveInfoMessage(const std::string& text) = 0;
    virtual void saveWarningMessage(const std::string& text) = 0;
    virtual void savePortStatistics(const std::string& resourceName, const std::string& flowName, uint64_t bitCount,
                                    uint64_t frameCount, int32_t colourCode) = 0;
    virtual void saveDroppedFrame(const std::string& resourceName, const std::string& flowName, int32_t reason,
                                  double time) = 0;
    virtual void finishRun(uint64_t colourCodeCount) = 0;
};

// The sink of a context without a results database: keeps nothing.
class NoPersistence : public ISimulationPersistence {
public:
    void saveSimulationInfo(double, const std::string&) override {}
    void saveJob(JobRecord* record) override { record->pool->giveBack(record); }
    void saveUtilization(const std::string&, double) override {}
    void savePacketCounter(const std::string&, const std::string&, uint64_t) override {}
    void saveFrameBufferUtilization(const std::string&, int32_t, double, uint64_t, uint64_t) override {}
    void saveLatencies(const std::string&, const std::string&, const std::string&, const std::string&,
                       std::span<const double>) override {}
    void saveInfoMessage(const std::string&) override {}
    void saveWarningMessage(const std::string&) override {}
    void savePortStatistics(const std::string&, const std::string&, uint64_t, uint64_t, int32_t) override {}
    void saveDroppedFrame(const std::string&, const std::string&, int32_t, double) override {}
    void finishRun(uint64_t) override {}
};

}  // namespace netsim
