#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "TestFiles.h"
#include "common/Exception.h"
#include "host/EngineContext.h"
#include "host/HostOperations.h"
#include "simulator/capture/CapturePaths.h"
#include "simulator/kernel/Simulator.h"
#include "simulator/kernel/Task.h"

namespace netsim::test {
namespace {

const std::string kEmptyNetwork = std::string(NETSIM_FIXTURES) + "/empty-network.orvo";

// Load for the loop until devices exist: a job every millisecond, forever re-released until
// the end time. It must be created after readFile (it belongs to that run's context).
class Ticker : public Task {
public:
    Ticker() : Task("ticker") { scheduleGlobal(0.0, 0.0005); }
    bool isRecurring() const override { return true; }
    double computeNextReadyTime() override { return commenceTime() + 0.001; }
    void releaseNextJob(double) override { scheduleGlobal(commenceTime() + 0.001, commenceTime() + 0.0015); }
};

// A job that fails when it commences.
template <typename Error>
class Failing : public Task {
public:
    Failing() : Task("failing") { scheduleGlobal(0.5, 0.6); }
    int32_t onCommence(double) override { throw Error("job failed"); }
};

class HostOperationsTest : public ::testing::Test {
protected:
    void TearDown() override { EngineContext::destroy(); }
    TempDir dir_;
};

TEST_F(HostOperationsTest, AnEmptyNetworkRunLeavesItsSummary) {
    std::string db = dir_.file("results.db");
    ASSERT_TRUE(host::readFile(kEmptyNetwork.c_str(), db.c_str(), 42, false, 1, 1));
    host::startSimulation(2.0);
    EXPECT_EQ(EngineContext::existing(), nullptr);

    ResultsReader results(db);
    EXPECT_EQ(results.real("select simulated_time from info"), 2.0);
    EXPECT_EQ(results.integer("select run_count from info"), 1);
    EXPECT_EQ(results.text("select topology_filename from info"), kEmptyNetwork);
    EXPECT_EQ(results.integer("select version from info"), 2);
    EXPECT_NE(results.text("select end_time from info"), "NULL");
    EXPECT_EQ(results.integer("select seed from run_info where id = 1"), 42);
    EXPECT_EQ(results.integer("select color_code_count from run_info where id = 1"), 6);
    EXPECT_NE(results.text("select end_time from run_info where id = 1"), "NULL");

    host::SimulationInfo info = host::getSimulationInfo();
    EXPECT_EQ(info.elapsedTime, 2.0);
    EXPECT_EQ(info.eventsProcessed, 2);  // the shutdown task's two events
    EXPECT_EQ(info.droppedFrames, 0);
}

TEST_F(HostOperationsTest, WithoutEndTimeAndCyclicTasksTheRunEndsAtZero) {
    std::string db = dir_.file("results.db");
    host::readFile(kEmptyNetwork.c_str(), db.c_str(), 7, true, 1, 1);
    host::startSimulation(0.0);
    EXPECT_EQ(ResultsReader(db).real("select simulated_time from info"), 0.0);
}

TEST_F(HostOperationsTest, NullPathsAreRefused) {
    struct Case {
        const char* orvo;
        const char* db;
        const char* message;
    } cases[] = {
        {nullptr, "x.db", "aORVOFilePath is NULL!"},
        {nullptr, nullptr, "aORVOFilePath is NULL!"},
        {kEmptyNetwork.c_str(), nullptr, "aDBPath is NULL!"},
    };
    for (const Case& c : cases) {
        try {
            host::readFile(c.orvo, c.db, 1, false, 1, 1);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), c.message);
            EXPECT_EQ(e.function(), "");
            EXPECT_EQ(e.file(), "");
            EXPECT_EQ(e.line(), 0);
        }
    }
}

TEST_F(HostOperationsTest, AFailedLoadClosesTheRunInTheDatabase) {
    std::string db = dir_.file("results.db");
    std::string bad = dir_.write("bad.orvo", R"(<Network version="39"/>)");
    EXPECT_THROW(host::readFile(bad.c_str(), db.c_str(), 5, false, 1, 1), Exception);
    ASSERT_NE(EngineContext::existing(), nullptr);  // the context stays after a failed load
    ResultsReader results(db);
    EXPECT_EQ(results.integer("select seed from run_info where id = 1"), 5);
    EXPECT_NE(results.text("select end_time from run_info where id = 1"), "NULL");
}

// Engine errors from the loop abort the run there; other errors only reach the host call.
// Either way the results writer must be finished before the context goes.
TEST_F(HostOperationsTest, AFailedRunClosesTheRunAndDropsTheContext) {
    host::SimulationInfo before = host::getSimulationInfo();
    for (int kind = 0; kind < 2; ++kind) {
        std::string db = dir_.file("failed" + std::to_string(kind) + ".db");
        host::readFile(kEmptyNetwork.c_str(), db.c_str(), 3, false, 1, 1);
        std::unique_ptr<Task> failing;
        if (kind == 0)
            failing = std::make_unique<Failing<Exception>>();
        else
            failing = std::make_unique<Failing<std::runtime_error>>();
        try {
            host::startSimulation(1.0);
            ADD_FAILURE() << "the run did not fail";
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), "job failed");
        }
        EXPECT_EQ(EngineContext::existing(), nullptr);
        EXPECT_NE(ResultsReader(db).text("select end_time from run_info where id = 1"), "NULL");
        failing.reset();
    }
    host::SimulationInfo after = host::getSimulationInfo();
    EXPECT_EQ(after.eventsProcessed, before.eventsProcessed);
    EXPECT_EQ(after.elapsedTime, before.elapsedTime);
}

TEST_F(HostOperationsTest, EveryRunStartsFromAFreshContext) {
    for (int run = 1; run <= 2; ++run) {
        std::string db = dir_.file("batch.db");
        host::readFile(kEmptyNetwork.c_str(), db.c_str(), 9, true, run, 2);
        EngineContext& context = EngineContext::instance();
        EXPECT_EQ(context.takeNextFlowId(), 6u);
        EXPECT_EQ(context.takeNextFlowId(), 7u);
        EXPECT_EQ(context.takeNextUdpDatagramNumber(), 1u);
        host::startSimulation(1.0);
    }
    EXPECT_EQ(ResultsReader(dir_.file("batch.db")).integer("select count(*) from run_info"), 2);
}

TEST_F(HostOperationsTest, CapturePathsOutliveTheRunAndNullKeepsThem) {
    host::setCapturePaths("/captures/a;/captures/b");
    host::setCapturePaths(nullptr);
    host::readFile(kEmptyNetwork.c_str(), dir_.file("results.db").c_str(), 1, true, 1, 1);
    host::startSimulation(1.0);
    EXPECT_EQ(CapturePaths::instance().paths(), (std::vector<std::string>{"/captures/a", "/captures/b"}));
}

TEST_F(HostOperationsTest, AStopBeforeTheRunStopsItAtTheFirstPoll) {
    std::string db = dir_.file("results.db");
    host::readFile(kEmptyNetwork.c_str(), db.c_str(), 1, true, 1, 1);
    Ticker ticker;
    host::stopSimulation();
    host::startSimulation(1000.0);
    host::SimulationInfo info = host::getSimulationInfo();
    // Event 10 000 ends job 5 000 at 4.9995 s; the shutdown follows at that time.
    EXPECT_EQ(info.eventsProcessed, 10'002);
    EXPECT_NEAR(info.elapsedTime, 4.9995, 1e-9);
    EXPECT_NEAR(ResultsReader(db).real("select simulated_time from info"), 4.9995, 1e-9);
}

// Status and stop calls from other threads while runs start and end back to back must never
// touch a context that is being torn down (the sanitizer build checks the interleavings).
TEST_F(HostOperationsTest, StatusAndStopCallsDuringRunsAndTeardowns) {
    std::atomic<bool> done{false};
    std::vector<std::thread> pollers;
    for (int i = 0; i < 2; ++i) {
        pollers.emplace_back([&, i] {
            while (!done) {
                host::SimulationInfo info = host::getSimulationInfo();
                EXPECT_GE(info.eventsProcessed, 0);
                if (i == 1) host::stopSimulation();
            }
        });
    }
    constexpr int kRuns = 20;
    for (int run = 1; run <= kRuns; ++run) {
        std::string db = dir_.file("stress.db");
        host::readFile(kEmptyNetwork.c_str(), db.c_str(), 11, true, run, kRuns);
        auto ticker = std::make_unique<Ticker>();
        host::startSimulation(20.0);
        ticker.reset();
    }
    done = true;
    for (std::thread& poller : pollers) poller.join();
    EXPECT_EQ(ResultsReader(dir_.file("stress.db")).integer("select count(*) from run_info"), kRuns);
}

}  // namespace
}  // namespace netsim::test
