#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestEngine.h"
#include "common/Exception.h"
#include "simulator/kernel/SimulationModel.h"
#include "simulator/kernel/SwitchableSampler.h"

namespace netsim::test {
namespace {

// A job of fixed duration released every period, as cyclic tasks are.
class PeriodicTask : public Task {
public:
    PeriodicTask(std::string name, ActiveResource* resource, double period, double duration)
        : Task(std::move(name), resource), period_(period), duration_(duration) {}
    bool isRecurring() const override { return true; }
    double computeNextReadyTime() override { return commenceTime() + period_; }
    void releaseNextJob(double) override {
        double next = commenceTime() + period_;
        scheduleGlobal(next, next + duration_);
    }
    double period() const { return period_; }

private:
    double period_;
    double duration_;
};

// A model whose devices are a set of tasks started at boot; it logs the run's steps.
class FakeModel : public SimulationModel {
public:
    std::vector<std::string> steps;
    std::vector<std::unique_ptr<PeriodicTask>> cyclic;
    std::function<void()> onBoot;

    void bootDevices(double& longestPeriod) override {
        steps.push_back("boot");
        for (auto& task : cyclic) {
            longestPeriod = std::max(longestPeriod, task->period());
            task->scheduleGlobal(0.0, 0.0 + 1e-4);
        }
        if (onBoot) onBoot();
    }
    void scheduleActions() override { steps.push_back("actions"); }
    void startFlexRayBuses() override { steps.push_back("flexray"); }
    void endDevices(double finalTime) override { steps.push_back("end " + std::to_string(finalTime)); }
    void finish(double endTime) override { steps.push_back("finish " + std::to_string(endTime)); }
};

class SimulatorTest : public ::testing::Test {
protected:
    TestEngine engine_;
    Simulator& sim() { return engine_.sim; }
};

TEST_F(SimulatorTest, DefaultEndTimeIsFiveTimesTheLongestPeriod) {
    FakeModel model;
    model.cyclic.push_back(std::make_unique<PeriodicTask>("a", nullptr, 0.01, 1e-4));
    model.cyclic.push_back(std::make_unique<PeriodicTask>("b", nullptr, 0.025, 1e-4));
    sim().run(model);
    EXPECT_DOUBLE_EQ(sim().endTime(), 0.125);
    EXPECT_EQ(model.steps, (std::vector<std::string>{"boot", "actions", "flexray", "end 0.125000", "finish 0.125000"}));
}

TEST_F(SimulatorTest, WithoutCyclicTasksTheShutdownRunsAtZero) {
    FakeModel model;
    sim().run(model);
    EXPECT_EQ(sim().endTime(), 0.0);
    EXPECT_EQ(sim().processedEventCount(), 2u);  // the shutdown task's two events
    EXPECT_EQ(engine_.shutdown.commenceTime(), 0.0);
}

TEST_F(SimulatorTest, RecurringTaskIsNotReleasedAtTheEndTimeAndSamplersGoOff) {
    struct Sampler : SwitchableSampler {};
    Sampler sampler;
    sim().registerTimeSampler(&sampler);
    PeriodicTask task("p", nullptr, 0.25, 0.1);
    task.scheduleGlobal(0.0, 0.1);
    sim().setEndTime(1.0);
    sim().simulate();
    // Jobs at 0, 0.25, 0.5, 0.75; the next ready time 1.0 equals the end time.
    EXPECT_DOUBLE_EQ(task.commenceTime(), 0.75);
    EXPECT_FALSE(sampler.isEnabled());
    EXPECT_FALSE(sim().timeSamplingEnabled());
    sim().unregisterTimeSampler(&sampler);
}

TEST_F(SimulatorTest, BusyTimeIsClippedAtTheEndTime) {
    TestDevice device("ECU1");
    TestProcessor tx(&device, "Tx");
    Task across("across", &tx);
    Task after("after", &tx);
    across.scheduleGlobal(0.9, 1.2);
    after.scheduleGlobal(1.0, 1.1);
    sim().setEndTime(1.0);
    sim().simulate();
    EXPECT_NEAR(tx.busyTime(), 0.1, 1e-12);
    // Both jobs are still recorded in full.
    ASSERT_EQ(engine_.sink.jobs.size(), 2u);
    EXPECT_DOUBLE_EQ(engine_.sink.jobs[1].end, 1.2);
    EXPECT_DOUBLE_EQ(sim().latestTerminationTime(), 1.2);
}

TEST_F(SimulatorTest, ACpuJobMustBeTheOnlyQueuedEventOfItsCpu) {
    TestDevice device("ECU1");
    TestProcessor cpu(&device, "CPU", true);
    Task first("first", &cpu);
    Task second("second", &cpu);
    first.scheduleGlobal(0.0, 1.0);
    second.scheduleGlobal(0.5, 1.5);
    try {
        sim().simulate();
        FAIL() << "expected an exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Too many events in queue for host ECU1.CPU");
        EXPECT_EQ(e.function(), "Simulator::simulate");
        EXPECT_EQ(e.line(), 250);
    }
}

TEST_F(SimulatorTest, UnscheduledTerminationIsNotQueuedAtCommence) {
    Task open("open");
    open.release(1.0);
    sim().simulate();
    EXPECT_FALSE(open.terminationEvent().isQueued());
    EXPECT_EQ(sim().processedEventCount(), 1u);
}

TEST_F(SimulatorTest, PublishedTimeMovesOnlyOnCommenceEvents) {
    struct Probe : Task {
        Simulator* sim;
        std::vector<double> seenAtTermination;
        explicit Probe(Simulator* s) : Task("probe"), sim(s) {}
        void onTerminate(double) override { seenAtTermination.push_back(sim->publishedTime()); }
    };
    Probe probe(&sim());
    probe.scheduleGlobal(1.0, 3.0);
    sim().simulate();
    EXPECT_EQ(probe.seenAtTermination, std::vector<double>{1.0});
    EXPECT_EQ(sim().publishedTime(), 1.0);
}

// Two events per job: the stop request is seen at event 10 000, the termination of job 5 000
// (released at 4.999 s, ending at 4.9995 s), which becomes the end time.
TEST_F(SimulatorTest, StopRequestFromAnotherThreadTakesEffectAtTheNextPoll) {
    PeriodicTask task("p", nullptr, 0.001, 0.0005);
    task.scheduleGlobal(0.0, 0.0005);
    sim().setEndTime(1000.0);
    std::thread([this] { engine_.control.requestStop(); }).join();
    sim().simulate();
    EXPECT_NEAR(sim().endTime(), 4.9995, 1e-9);
    EXPECT_EQ(engine_.shutdown.commenceTime(), sim().endTime());
    EXPECT_EQ(sim().processedEventCount(), 10'002u);
    EXPECT_FALSE(engine_.control.takeStopRequest());  // cleared by the loop
}

TEST_F(SimulatorTest, StopWhileRunningEndsTheRunAtAPoll) {
    PeriodicTask task("p", nullptr, 0.001, 0.0005);
    task.scheduleGlobal(0.0, 0.0005);
    sim().setEndTime(1e7);
    std::thread stopper([this] {
        while (sim().publishedTime() < 1.0) std::this_thread::yield();
        engine_.control.requestStop();
    });
    sim().simulate();
    stopper.join();
    EXPECT_LT(sim().endTime(), 1e7);
    // The run ended at a poll: every 10 000th event; plus the two shutdown events.
    EXPECT_EQ((sim().processedEventCount() - 2) % Simulator::kStopPollInterval, 0u);
}

TEST_F(SimulatorTest, LoopErrorsAbortTheRunButBootErrorsDoNot) {
    {
        TestDevice device("ECU1");
        TestProcessor cpu(&device, "CPU", true);
        Task first("first", &cpu);
        Task second("second", &cpu);
        FakeModel model;
        model.onBoot = [&] {
            first.scheduleGlobal(0.0, 1.0);
            second.scheduleGlobal(0.5, 1.5);
        };
        EXPECT_THROW(sim().run(model), Exception);
        EXPECT_EQ(engine_.abortCount, 1);
        EXPECT_EQ(model.steps, (std::vector<std::string>{"boot", "actions", "flexray"}));
        while (!sim().queue().empty()) sim().queue().popFront();
    }
    FakeModel failing;
    failing.onBoot = [] { throw Exception("boot failed"); };
    EXPECT_THROW(sim().run(failing), Exception);
    EXPECT_EQ(engine_.abortCount, 1);
}

}  // namespace
}  // namespace netsim::test
