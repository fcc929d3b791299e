#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace netsim {

struct JobRecord;

// What the simulation thread hands to the database worker. Each package carries copies of
// its operation's arguments, so nothing it refers to can change while it waits in the queue;
// the one exception is the job record, which the simulation thread does not touch again until
// the worker hands it back.
struct WorkPackage {
    // The numbers are the operations' package kinds of the results sink.
    enum Kind : int32_t {
        kJob = 0,
        kUtilization = 1,
        kPacketCounter = 2,
        kFrameBufferUtilization = 3,
        kLatencies = 4,
        kFinishRun = 5,
        kSimulationInfo = 6,
        kUserMessage = 7,
        kPortStatistics = 8,
        kDroppedFrame = 9,
        kCloseDatabase = 10,
        kStopWorker = 11,
    };

    explicit WorkPackage(int32_t packageKind) : kind(packageKind) {}
    virtual ~WorkPackage() = default;
    WorkPackage(const WorkPackage&) = delete;
    WorkPackage& operator=(const WorkPackage&) = delete;

    int32_t kind;
    // The queue links its packages through this field, so queuing allocates nothing.
    WorkPackage* next = nullptr;
};

struct JobPackage final : WorkPackage {
    explicit JobPackage(JobRecord* jobRecord) : WorkPackage(kJob), record(jobRecord) {}
    JobRecord* record;
};

struct UtilizationPackage final : WorkPackage {
    UtilizationPackage(const std::string& resource, double value)
        : WorkPackage(kUtilization), resourceName(resource), percentage(value) {}
    std::string resourceName;
    double percentage;
};

struct PacketCounterPackage final : WorkPackage {
    PacketCounterPackage(const std::string& resource, const std::string& counterType, uint64_t value)
        : WorkPackage(kPacketCounter), resourceName(resource), type(counterType), count(value) {}
    std::string resourceName;
    std::string type;
    uint64_t count;
};

struct FrameBufferUtilizationPackage final : WorkPackage {
    FrameBufferUtilizationPackage(const std::string& resource, int32_t memory, double value, uint64_t dropped,
                                  uint64_t transmitted)
        : WorkPackage(kFrameBufferUtilization),
          resourceName(resource),
          maxMemory(memory),
          percentage(value),
          droppedFrames(dropped),
          transmittedFrames(transmitted) {}
    std::string resourceName;
    int32_t maxMemory;
    double percentage;
    uint64_t droppedFrames;
    uint64_t transmittedFrames;
};

struct LatencyPackage final : WorkPackage {
    LatencyPackage(const std::string& timer, const std::string& flow, const std::string& from, const std::string& to,
                   std::vector<double> latencyValues)
        : WorkPackage(kLatencies),
          timerName(timer),
          flowName(flow),
          sampledFrom(from),
          sampledTo(to),
          values(std::move(latencyValues)) {}
    std::string timerName;
    std::string flowName;
    std::string sampledFrom;
    std::string sampledTo;
    std::vector<double> values;
};

struct FinishRunPackage final : WorkPackage {
    explicit FinishRunPackage(uint64_t colourCodes) : WorkPackage(kFinishRun), colourCodeCount(colourCodes) {}
    uint64_t colourCodeCount;
};

struct SimulationInfoPackage final : WorkPackage {
    SimulationInfoPackage(double time, const std::string& topologyFile)
        : WorkPackage(kSimulationInfo), simulatedTime(time), topologyFileName(topologyFile) {}
    double simulatedTime;
    std::string topologyFileName;
};

struct UserMessagePackage final : WorkPackage {
    // The message types of the message table.
    static constexpr int32_t kInfo = 1;
    static constexpr int32_t kWarning = 2;

    UserMessagePackage(int32_t messageType, const std::string& messageText)
        : WorkPackage(kUserMessage), type(messageType), text(messageText) {}
    int32_t type;
    std::string text;
};

struct PortStatisticsPackage final : WorkPackage {
    PortStatisticsPackage(const std::string& resource, const std::string& flow, uint64_t bits, uint64_t frames,
                          int32_t colour)
        : WorkPackage(kPortStatistics),
          resourceName(resource),
          flowName(flow),
          bitCount(bits),
          frameCount(frames),
          colourCode(colour) {}
    std::string resourceName;
    std::string flowName;
    uint64_t bitCount;
    uint64_t frameCount;
    int32_t colourCode;
};

struct DroppedFramePackage final : WorkPackage {
    DroppedFramePackage(const std::string& resource, const std::string& flow, int32_t dropReason, double when)
        : WorkPackage(kDroppedFrame), resourceName(resource), flowName(flow), reason(dropReason), time(when) {}
    std::string resourceName;
    std::string flowName;
    int32_t reason;
    double time;
};

}  // namespace netsim
