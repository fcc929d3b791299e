#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace netsim {

// Why a frame was dropped, as written into the results.
enum DropReason : int32_t {
    kFrameBufferFull = 1,
    kDroppedAtSwitchIngress = 2,
    kDiscardedByFrerRecovery = 3,
};

class IFrameStatisticsListener {
public:
    virtual ~IFrameStatisticsListener() = default;
    virtual void frameDropped(const std::string& resourceName, const std::string& flowName, int32_t reason,
                              double time) = 0;
    virtual void frameTransmitted() = 0;
};

class FrameStatisticsManager;

// The drop and forward counts of one resource that drops or forwards frames.
class FrameStatistics {
public:
    explicit FrameStatistics(FrameStatisticsManager& manager);

    void frameDropped(const std::string& ownerName, const std::string& flowName, int32_t reason, double time);
    void frameTransmitted();

    uint64_t droppedCount() const { return dropped_; }
    uint64_t transmittedCount() const { return transmitted_; }
    std::map<std::string, uint64_t>& ownerData() { return ownerData_; }

private:
    IFrameStatisticsListener* listener_;
    uint64_t dropped_ = 0;
    uint64_t transmitted_ = 0;
    std::map<std::string, uint64_t> ownerData_;
};

// Totals of the run; every drop also goes to the results sink.
class FrameStatisticsManager final : public IFrameStatisticsListener {
public:
    void frameDropped(const std::string& resourceName, const std::string& flowName, int32_t reason,
                      double time) override;
    void frameTransmitted() override;

    void add(FrameStatistics* statistics) { registered_.push_back(statistics); }
    const std::vector<FrameStatistics*>& registered() const { return registered_; }

    // Read by status queries from other threads while the run goes on.
    int64_t droppedTotal() const { return dropped_.load(std::memory_order_relaxed); }
    int64_t transmittedTotal() const { return transmitted_.load(std::memory_order_relaxed); }

private:
    std::atomic<int64_t> dropped_{0};
    std::atomic<int64_t> transmitted_{0};
    std::vector<FrameStatistics*> registered_;
};

}  // namespace netsim
