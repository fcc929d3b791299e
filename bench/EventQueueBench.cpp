// The hold model: the queue holds n pending events; each step pops the earliest and inserts
// it again at now plus an exponentially distributed increment. BM_Hold runs the engine's
// queue, BM_HoldSortedVector a sorted vector that scans from the front for the first later
// event and pops the front, the reference structure the queue replaced.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <vector>

#include "simulator/kernel/EventQueue.h"
#include "simulator/kernel/Task.h"

namespace {

std::atomic<uint64_t> gAllocations{0};

}  // namespace

// Counts every allocation of the program, so the timed loops can show that they make none.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using netsim::Event;
using netsim::EventQueue;
using netsim::Task;

class SortedVectorQueue {
public:
    void reserve(std::size_t n) { events_.reserve(n + 1); }
    // Same contract as the engine's queue: only a task's own events, and a task on a local
    // clock is re-timed from its local time.
    void insert(Event* event) {
        netsim::isTaskCommenceEvent(*event);
        if (netsim::LocalClock* clock = event->task()->clock(); clock != nullptr && event->time().local() >= 0.0)
            event->time().setGlobal(clock->toGlobal(event->time().local()));
        double time = event->time().global();
        auto it = events_.begin();
        while (it != events_.end() && (*it)->time().global() <= time) ++it;
        events_.insert(it, event);
    }
    Event* popFront() {
        Event* front = events_.front();
        events_.erase(events_.begin());
        return front;
    }

private:
    std::vector<Event*> events_;
};

struct HoldFixture {
    explicit HoldFixture(std::size_t pending) {
        std::mt19937_64 random(12345);
        std::exponential_distribution<double> exponential(1.0);
        for (double& increment : increments) increment = exponential(random);
        for (std::size_t i = 0; i < pending; ++i) {
            tasks.push_back(std::make_unique<Task>("t"));
            tasks.back()->commenceEvent().time().set(exponential(random), nullptr);
        }
    }
    double nextIncrement() { return increments[next++ & (kIncrements - 1)]; }

    static constexpr std::size_t kIncrements = 1 << 14;
    double increments[kIncrements];
    std::size_t next = 0;
    std::vector<std::unique_ptr<Task>> tasks;
};

template <typename Queue>
void runHold(benchmark::State& state, Queue& queue, HoldFixture& fixture) {
    uint64_t before = gAllocations.load();
    for (auto _ : state) {
        Event* event = queue.popFront();
        event->time().set(event->time().global() + fixture.nextIncrement(), nullptr);
        queue.insert(*event);
    }
    state.counters["allocations_per_hold"] =
        benchmark::Counter(static_cast<double>(gAllocations.load() - before) / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations());
}

struct SortedVectorAdapter {
    SortedVectorQueue queue;
    Event* popFront() { return queue.popFront(); }
    void insert(Event& event) { queue.insert(&event); }
};

void BM_Hold(benchmark::State& state) {
    HoldFixture fixture(static_cast<std::size_t>(state.range(0)));
    EventQueue queue;
    for (auto& task : fixture.tasks) queue.insert(task->commenceEvent());
    runHold(state, queue, fixture);
    while (!queue.empty()) queue.popFront();
}

void BM_HoldSortedVector(benchmark::State& state) {
    HoldFixture fixture(static_cast<std::size_t>(state.range(0)));
    SortedVectorAdapter queue;
    queue.queue.reserve(fixture.tasks.size());
    for (auto& task : fixture.tasks) queue.insert(task->commenceEvent());
    runHold(state, queue, fixture);
}

BENCHMARK(BM_Hold)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(BM_HoldSortedVector)->Arg(10)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
