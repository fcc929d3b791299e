#include <gtest/gtest.h>

#include <functional>

#include "TestEngine.h"
#include "common/Exception.h"
#include "simulator/kernel/TaskList.h"

namespace netsim::test {
namespace {

class TaskTest : public ::testing::Test {
protected:
    TestEngine engine_;
    TestDevice device_{"ECU1"};
    TestProcessor cpu_{&device_, "CPU"};
};

TEST_F(TaskTest, AbortOfAQueuedJobLeavesNoTrace) {
    Task task("job", &cpu_);
    task.schedule(1.0, 2.0);
    task.abort(0.5);
    EXPECT_FALSE(task.isQueued());
    EXPECT_TRUE(engine_.sink.jobs.empty());
}

TEST_F(TaskTest, AbortOfARunningJobRecordsItCutAtTheAbortTime) {
    Task task("job", &cpu_);
    task.schedule(0.2, 2.0);
    engine_.sim.queue().popFront();
    engine_.sim.queue().insert(task.terminationEvent());
    task.abort(0.5);
    EXPECT_FALSE(task.isQueued());
    ASSERT_EQ(engine_.sink.jobs.size(), 1u);
    EXPECT_DOUBLE_EQ(engine_.sink.jobs[0].start, 0.2);
    EXPECT_DOUBLE_EQ(engine_.sink.jobs[0].end, 0.5);
}

TEST_F(TaskTest, JobRecordsComeFromThePoolAndGoBack) {
    Task task("EthHwTx f1", &cpu_);
    for (int i = 0; i < 100; ++i) {
        task.setTimes(i, i + 0.5, 9);
        task.recordJob();
    }
    EXPECT_EQ(task.jobRecordPool().createdCount(), 1u);
    ASSERT_EQ(engine_.sink.jobs.size(), 100u);
    EXPECT_EQ(engine_.sink.jobs[99].resource, "ECU1.CPU");
    EXPECT_EQ(engine_.sink.jobs[99].colour, 9);
}

TEST_F(TaskTest, ATaskWithoutResourceRecordsNothing) {
    Task task("free");
    task.setTimes(0.0, 1.0);
    task.recordJob();
    EXPECT_TRUE(engine_.sink.jobs.empty());
}

TEST_F(TaskTest, SchedulingOperationsSetTimesAsDocumented) {
    LocalClock clock(nullptr, 2.0);
    Task task("t", &cpu_);
    task.configure(&cpu_, "renamed", 1.0, 3.0, 4, &clock);
    EXPECT_EQ(task.name(), "renamed");
    EXPECT_EQ(task.clock(), &clock);
    EXPECT_DOUBLE_EQ(task.commenceTime(), 0.5);
    EXPECT_DOUBLE_EQ(task.duration(), 1.0);
    EXPECT_DOUBLE_EQ(task.busyPart(1.0), 0.5);
    EXPECT_FALSE(task.isQueued());

    task.scheduleGlobal(1.0, 3.0);  // global, whatever the clock
    EXPECT_DOUBLE_EQ(task.commenceTime(), 1.0);
    EXPECT_DOUBLE_EQ(task.commenceEvent().time().local(), 2.0);

    task.release(5.0, 11);
    EXPECT_FALSE(task.terminationEvent().time().isScheduled());
    EXPECT_EQ(task.colour(), 11);
    EXPECT_EQ(engine_.sim.queue().size(), 1u);  // re-timed, not queued twice

    task.scheduleTermination(6.0);
    EXPECT_TRUE(task.terminationEvent().isQueued());
    EXPECT_EQ(engine_.sim.queue().size(), 2u);
}

TEST_F(TaskTest, UnimplementedOperationsFailWithTheirLocations) {
    Task task("t");
    struct Case {
        std::function<void()> call;
        const char* function;
        int line;
        std::string message;
    } cases[] = {
        {[&] { task.computeNextReadyTime(); }, "Task::computeNextReadyTime", 167,
         "Implement function in appropriate sub class!"},
        {[&] { task.releaseNextJob(1.0); }, "Task::releaseNextJob", 177, "Implement function in appropriate sub class!"},
        {[&] { cpu_.ActiveResource::getTimeDefiningDevice(); }, "ActiveResource::getTimeDefiningDevice", 35,
         "Function not implemented: ECU1.CPU"},
        {[&] {
             TaskList list;
             list.indexOf(&task);
         },
         "TaskList::findTask", 50, "No task with name 't' found in list"},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.function << " did not throw";
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), c.message);
            EXPECT_EQ(e.function(), c.function);
            EXPECT_EQ(e.line(), c.line);
        }
    }
}

TEST(NameTest, SubComponentsOfSubComponentsAreQualifiedByEveryParent) {
    Component device("ECU1");
    SubComponent port(&device, "Eth0");
    SubComponent queue(&port, "TC7");
    EXPECT_EQ(queue.name(), "ECU1.Eth0.TC7");
    EXPECT_EQ(queue.owner(), &device);
}

TEST_F(TaskTest, TaskListKeepsOrderAndOwnsItsTasks) {
    TaskList list;
    Task* a = new Task("a");
    Task* b = new Task("b");
    list.add(a);
    list.add(b);
    EXPECT_EQ(list.indexOf(b), 1u);
    list.removeAt(0);
    EXPECT_FALSE(list.contains(a));
    EXPECT_TRUE(list.contains(b));
    delete a;
    list.clear();  // destroys b; the sanitizer build reports a leak otherwise
    EXPECT_EQ(list.size(), 0u);
}

TEST_F(TaskTest, UtilizationIsBusyTimeOverEndTime) {
    TestProcessor bus(&device_, "Bus", false, true);
    bus.addBusyTime(0.1);
    cpu_.addBusyTime(0.25);
    ActiveResource::computeUtilization(engine_.resources, 1.0, engine_.sink);
    EXPECT_DOUBLE_EQ(bus.utilization(), 10.0);
    EXPECT_DOUBLE_EQ(cpu_.utilization(), 25.0);
    // Only resources that report their utilisation reach the results.
    ASSERT_EQ(engine_.sink.utilizations.size(), 1u);
    EXPECT_EQ(engine_.sink.utilizations[0].first, "ECU1.Bus");
}

}  // namespace
}  // namespace netsim::test
