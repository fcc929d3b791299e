#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "TestEngine.h"
#include "common/Exception.h"
#include "simulator/kernel/EventQueue.h"

namespace netsim::test {
namespace {

class EventQueueTest : public ::testing::Test {
protected:
    // Tests leave events of short-lived resources queued.
    void TearDown() override { queue().clear(); }
    Task& makeTask(const std::string& name, ActiveResource* resource = nullptr) {
        tasks_.push_back(std::make_unique<Task>(name, resource));
        return *tasks_.back();
    }
    std::vector<std::string> drainNames() {
        std::vector<std::string> names;
        while (!queue().empty()) names.push_back(queue().popFront()->task()->name());
        return names;
    }
    EventQueue& queue() { return engine_.sim.queue(); }

    TestEngine engine_;
    std::vector<std::unique_ptr<Task>> tasks_;
};

TEST_F(EventQueueTest, EqualTimesPopInInsertionOrderAlsoAfterReinsertion) {
    Task& a = makeTask("a");
    Task& b = makeTask("b");
    Task& c = makeTask("c");
    Task& early = makeTask("early");
    a.schedule(1.0);
    b.schedule(1.0);
    c.schedule(1.0);
    early.schedule(0.5);
    // Taking b out and putting it back makes it the last of its time.
    queue().remove(b.commenceEvent(), true);
    queue().insert(b.commenceEvent());
    // A later insert with the front's time goes behind the front.
    Task& late = makeTask("late");
    late.schedule(0.5);
    EXPECT_EQ(drainNames(), (std::vector<std::string>{"early", "late", "a", "c", "b"}));
}

// The queue changes its inner structure as it grows and shrinks; the order it gives must not.
// The reference keeps the queued tasks in insertion order and pops the first earliest one.
TEST_F(EventQueueTest, KeepsTimeAndInsertionOrderWhileGrowingAndShrinking) {
    std::mt19937 random(7);
    std::vector<Task*> pool;
    for (int i = 0; i < 300; ++i) pool.push_back(&makeTask(std::to_string(i)));
    std::vector<Task*> reference;
    auto popAndCheck = [&] {
        auto earliest = std::min_element(reference.begin(), reference.end(), [](Task* x, Task* y) {
            return x->commenceTime() < y->commenceTime();
        });
        ASSERT_EQ(queue().popFront()->task(), *earliest);
        reference.erase(earliest);
    };
    // Phases swing the size across the structure's thresholds: up to 40, 200 and back to 3.
    const std::size_t targets[] = {40, 3, 200, 5, 33, 7, 9, 0};
    double now = 0.0;
    for (std::size_t target : targets) {
        while (reference.size() != target) {
            if (reference.size() < target) {
                Task* task = pool[random() % pool.size()];
                if (task->isQueued()) continue;
                task->schedule(now + static_cast<double>(random() % 20) * 0.001);  // frequent ties
                reference.push_back(task);
            } else if (random() % 5 == 0) {
                Task* victim = reference[random() % reference.size()];
                queue().remove(victim->commenceEvent(), true);
                reference.erase(std::find(reference.begin(), reference.end(), victim));
            } else {
                now = queue().front()->time().global();
                popAndCheck();
            }
            ASSERT_EQ(queue().size(), reference.size());
        }
    }
}

TEST_F(EventQueueTest, RemovalOfAbsentEvent) {
    Task& task = makeTask("t");
    queue().remove(task.commenceEvent(), false);
    try {
        queue().remove(task.commenceEvent(), true);
        FAIL() << "expected an exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Event not found in event queue");
        EXPECT_EQ(e.function(), "EventQueue::removeEvent");
        EXPECT_EQ(e.line(), 200);
    }
}

TEST_F(EventQueueTest, RefusesAnEventThatIsNotItsTasksOwn) {
    Task& task = makeTask("t");
    TermEvent stray(&task);
    stray.time().set(1.0, nullptr);
    try {
        queue().insert(stray);
        FAIL() << "expected an exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Event is neither a commence event nor a termination event");
        EXPECT_EQ(e.function(), "Event::isTaskCommenceEvent");
        EXPECT_EQ(e.line(), 45);
    }
}

TEST_F(EventQueueTest, CountsQueuedEventsPerResource) {
    TestDevice device("ECU1");
    TestProcessor cpu(&device, "CPU");
    TestProcessor other(&device, "NIC");
    Task& a = makeTask("a", &cpu);
    Task& b = makeTask("b", &cpu);
    Task& c = makeTask("c", &other);
    a.schedule(1.0);
    b.schedule(2.0);
    c.schedule(0.5);
    queue().insert(b.terminationEvent());
    EXPECT_EQ(queue().countForResource(&cpu), 3u);
    EXPECT_EQ(queue().countForResource(&other), 1u);
    queue().remove(b.commenceEvent(), true);
    queue().popFront();  // c
    EXPECT_EQ(queue().countForResource(&cpu), 2u);
    EXPECT_EQ(queue().countForResource(&other), 0u);
}

TEST_F(EventQueueTest, PreemptRecordsTheExecutedPartAndKeepsTheRemainder) {
    TestDevice device("SW1");
    TestProcessor tx(&device, "P1.Tx");
    Task& job = makeTask("EthHwTx f1", &tx);
    job.setColour(7);
    job.schedule(1.0, 3.0);
    queue().popFront();
    queue().insert(job.terminationEvent());

    job.preempt(2.0);

    ASSERT_EQ(engine_.sink.jobs.size(), 1u);
    EXPECT_EQ(engine_.sink.jobs[0].resource, "SW1.P1.Tx");
    EXPECT_EQ(engine_.sink.jobs[0].task, "EthHwTx f1");
    EXPECT_DOUBLE_EQ(engine_.sink.jobs[0].start, 1.0);
    EXPECT_DOUBLE_EQ(engine_.sink.jobs[0].end, 2.0);
    EXPECT_EQ(engine_.sink.jobs[0].colour, 7);
    EXPECT_DOUBLE_EQ(job.commenceTime(), 2.0);
    EXPECT_DOUBLE_EQ(job.terminationTime(), 3.0);
    EXPECT_FALSE(job.isQueued());
    EXPECT_THROW(job.preempt(2.5), Exception);
}

TEST_F(EventQueueTest, LocalTimesFollowTheClockRateAtInsertion) {
    LocalClock clock(nullptr, 2.0);
    Task& task = makeTask("t");
    task.bindClock(&clock);
    task.schedule(1.0);  // local 1.0 on a clock running twice as fast
    EXPECT_DOUBLE_EQ(task.commenceTime(), 0.5);
    queue().remove(task.commenceEvent(), true);
    clock.setRate(4.0);
    queue().insert(task.commenceEvent());
    EXPECT_DOUBLE_EQ(task.commenceTime(), 0.25);
    EXPECT_DOUBLE_EQ(task.commenceEvent().time().get(&clock), 1.0);
}

}  // namespace
}  // namespace netsim::test
