#pragma once

#include <memory>
#include <string>
#include <vector>

#include "simulator/kernel/EngineServices.h"
#include "simulator/kernel/ISimulationPersistence.h"
#include "simulator/kernel/RandomGenerator.h"
#include "simulator/kernel/SimulationControl.h"
#include "simulator/kernel/Simulator.h"
#include "simulator/kernel/Task.h"
#include "simulator/stats/FrameStatisticsManager.h"

namespace netsim::test {

// A results sink that keeps what it is given, for checking job records and utilisation.
class RecordingSink : public NoPersistence {
public:
    struct Job {
        std::string resource;
        std::string task;
        double start;
        double end;
        int32_t colour;
    };
    std::vector<Job> jobs;
    std::vector<std::pair<std::string, double>> utilizations;
    int finishCount = 0;

    void saveJob(JobRecord* record) override {
        jobs.push_back({record->resourceName, record->taskName, record->start, record->end, record->colour});
        record->pool->giveBack(record);
    }
    void saveUtilization(const std::string& name, double percentage) override {
        utilizations.emplace_back(name, percentage);
    }
    void finishRun(uint64_t) override { ++finishCount; }
    std::vector<std::string> drops;
    void saveDroppedFrame(const std::string& resource, const std::string& flow, int32_t reason, double time) override {
        drops.push_back(resource + " " + flow + " " + std::to_string(reason) + " " + std::to_string(time));
    }
};

// A minimal engine context for kernel tests; installed as the current context for the
// lifetime of the object.
class TestEngine : public EngineServices {
public:
    TestEngine() : control(&sim), shutdown("SHUTDOWN"), generator(1) {
        current() = this;
        previous_ = installEngineAccessor([]() -> EngineServices& { return *current(); });
    }
    ~TestEngine() override {
        installEngineAccessor(previous_);
        current() = nullptr;
    }

    Simulator& simulator() override { return sim; }
    SimulationControl& simulationControl() override { return control; }
    ISimulationPersistence& resultsSink() override { return sink; }
    RandomGenerator& randomGenerator() override { return generator; }
    void ensureRandomGenerator(uint32_t) override {}
    ActiveResourceList& activeResources() override { return resources; }
    Task& shutdownTask() override { return shutdown; }
    FrameStatisticsManager& frameStatistics() override { return statistics; }
    uint32_t flowIdCounter() override { return nextFlowId; }
    uint32_t takeNextFlowId() override { return nextFlowId++; }
    void abortRun() override {
        ++abortCount;
        sink.finishRun(6);
    }

    // Declared in the order they must be torn down last-first: the shutdown task after the
    // simulator's queue.
    ActiveResourceList resources;
    RecordingSink sink;
    Simulator sim;
    SimulationControl control;
    Task shutdown;
    RandomGenerator generator;
    FrameStatisticsManager statistics;
    uint32_t nextFlowId = 6;
    int abortCount = 0;

private:
    static TestEngine*& current() {
        static TestEngine* engine = nullptr;
        return engine;
    }
    EngineAccessor previous_ = nullptr;
};

// A processor on a device, as most resources of the model are.
class TestDevice : public Component {
public:
    explicit TestDevice(std::string name) : Component(std::move(name)) {}
};

class TestProcessor : public Processor {
public:
    TestProcessor(const Component* device, std::string name, bool cpu = false, bool reports = false)
        : Processor(device, std::move(name)), cpu_(cpu), reports_(reports) {}
    bool isCpu() const override { return cpu_; }
    bool reportsUtilization() const override { return reports_; }

private:
    bool cpu_;
    bool reports_;
};

}  // namespace netsim::test
