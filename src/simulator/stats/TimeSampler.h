#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "simulator/kernel/SwitchableSampler.h"

namespace netsim {

class Timer;

// What passes a sampling point: a frame, or an IPDU.
class SampledObject {
public:
    virtual ~SampledObject() = default;
    virtual const std::string& flowName() const = 0;
    // Names this very instance of the frame or IPDU for the whole run.
    virtual uint64_t instanceIdentity() const = 0;
    // Whether the object went through the sampling point of that text before.
    virtual bool hasPassed(const std::string& samplingPoint) const = 0;
};

// Records, per frame instance, when the frames of a timer's flow pass one point.
class TimeSampler : public SwitchableSampler {
public:
    TimeSampler(const Timer& timer, std::string samplingPoint);
    ~TimeSampler() override;
    TimeSampler(const TimeSampler&) = delete;
    TimeSampler& operator=(const TimeSampler&) = delete;

    virtual bool isStart() const = 0;
    virtual bool matches(const SampledObject& object) const = 0;

    // The first passage counts; later ones of the same instance are ignored.
    void record(uint64_t identity, double time);
    // Samples the object if it belongs here.
    void sample(const SampledObject& object, double time) {
        if (matches(object)) record(object.instanceIdentity(), time);
    }

    const std::string& samplingPoint() const { return samplingPoint_; }
    void setSamplingPoint(std::string point) { samplingPoint_ = std::move(point); }
    const Timer& timer() const { return timer_; }
    bool empty() const { return order_.empty(); }
    // Identities in the order they were first recorded: a stable order for the results.
    const std::vector<uint64_t>& recordingOrder() const { return order_; }
    const double* find(uint64_t identity) const;

private:
    std::unordered_map<uint64_t, double> times_;
    std::vector<uint64_t> order_;
    std::string samplingPoint_;
    const Timer& timer_;
};

class StartTimeSampler final : public TimeSampler {
public:
    using TimeSampler::TimeSampler;
    bool isStart() const override { return true; }
    bool matches(const SampledObject& object) const override;
};

// Records only frames that passed the timer's start point, so a frame that enters the
// measured path halfway is not timed.
class StopTimeSampler final : public TimeSampler {
public:
    using TimeSampler::TimeSampler;
    bool isStart() const override { return false; }
    bool matches(const SampledObject& object) const override;
};

// A place where frames are sampled: the receiving or transmitting side of a switch port, or
// the start or stop list of an end device.
class SamplingPoint {
public:
    void attach(TimeSampler* sampler) { samplers_.push_back(sampler); }
    void sample(const SampledObject& object, double time) const {
        for (TimeSampler* sampler : samplers_) sampler->sample(object, time);
    }
    bool empty() const { return samplers_.empty(); }

private:
    std::vector<TimeSampler*> samplers_;
};

}  // namespace netsim
