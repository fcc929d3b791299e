#include "simulator/stats/Timer.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/Exception.h"
#include "simulator/kernel/ISimulationPersistence.h"

namespace netsim {
namespace {
constexpr const char* kFile = "simulator/Timer";
}

Timer::Timer(std::string name, std::string flowName, std::string startPoint, std::string stopPoint)
    : FlowNameKeeper(std::move(flowName)), Name(std::move(name)) {
    for (const std::string* point : {&startPoint, &stopPoint})
        if (point->empty()) throw Exception("Timer '%s' missing processor specification!", name_.c_str());
    start_ = std::make_unique<StartTimeSampler>(*this, std::move(startPoint));
    stop_ = std::make_unique<StopTimeSampler>(*this, std::move(stopPoint));
}

void Timer::finish(ISimulationPersistence& sink) const {
    for (const TimeSampler* sampler : {static_cast<const TimeSampler*>(start_.get()),
                                       static_cast<const TimeSampler*>(stop_.get())}) {
        if (sampler->empty()) {
            char text[Exception::kMessageBufferSize];
            std::snprintf(text, sizeof text, "Timer '%s' : Flow '%s' was never sampled at interface '%s'",
                          name_.c_str(), flowName().c_str(), sampler->samplingPoint().c_str());
            sink.saveWarningMessage(text);
        }
    }
    std::vector<double> latencies;
    latencies.reserve(stop_->recordingOrder().size());
    for (uint64_t identity : stop_->recordingOrder()) {
        const double* started = start_->find(identity);
        if (started != nullptr) latencies.push_back((*stop_->find(identity) - *started) * 1000.0);
    }
    sink.saveLatencies(name_, flowName(), start_->samplingPoint(), stop_->samplingPoint(), latencies);
}

void TimerSet::addTimer(std::unique_ptr<Timer> timer) {
    bool taken = std::any_of(timers_.begin(), timers_.end(),
                             [&](const std::unique_ptr<Timer>& existing) { return existing->name() == timer->name(); });
    if (taken) throw Exception("Timer name not unique: %s", timer->name().c_str());
    timers_.push_back(std::move(timer));
}

void TimerSet::finish(ISimulationPersistence& sink) const {
    for (const auto& timer : timers_) timer->finish(sink);
}

void TimerSet::build(pugi::xml_node section, const std::string& topologyFileName, SamplingPointDirectory& directory) {
    for (pugi::xml_node element : section.children()) {
        if (element.type() != pugi::node_element) continue;
        std::string name, flow, start, stop, triggerOn;
        for (pugi::xml_attribute attribute : element.attributes()) {
            const std::string key = attribute.name();
            if (key == "name")
                name = attribute.value();
            else if (key == "object")
                flow = attribute.value();
            else if (key == "start")
                start = attribute.value();
            else if (key == "stop")
                stop = attribute.value();
            else if (key == "triggerOn")
                triggerOn = attribute.value();
            else if (key != "jw" && key != "lw")
                throw Exception(kFile, "Timer::Timer", 46, "%s: element 'Timer', attribute '%s': not a valid attribute",
                                topologyFileName.c_str(), key.c_str());
        }
        auto timer = std::make_unique<Timer>(name, flow, start, stop);
        if (triggerOn == "ipdu") {
            directory.attachIpduSampler(timer->startSampler());
            directory.attachIpduSampler(timer->stopSampler());
        } else {
            directory.attachPortSampler(timer->startSampler());
            directory.attachPortSampler(timer->stopSampler());
        }
        if (timer->name().empty()) throw Exception(kFile, "Timer::verify", 199, "Encountered Timer missing name attribute!");
        if (timer->flowName().empty())
            throw Exception(kFile, "Timer::verify", 202, "Timer '%s' missing flow attribute!", timer->name().c_str());
        addTimer(std::move(timer));
    }
}

}  // namespace netsim
