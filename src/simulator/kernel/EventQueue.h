#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "simulator/kernel/Event.h"

namespace netsim {

class ActiveResource;
class Simulator;
class Task;

// The single time-ordered queue of the run: earliest global time first, and among equal
// times first in, first out (an insertion sequence breaks ties).
//
// Structure and cost (n = queued events), chosen because the queue is the hot path of every
// run and holds anything from a handful to hundreds of thousands of events:
//   n >= 8 (after reaching 32): implicit 4-ary min-heap, each event knowing its slot:
//     insert O(log n), pop O(log n), remove of any queued event O(log n), contains O(1).
//     A 4-ary heap halves the depth of a binary one and keeps a node's children in one
//     cache line.
//   small n: array sorted latest first, so pop is a pop_back and insert shifts a few
//     entries; remove and contains scan at most 32 entries. Cheaper than a heap while the
//     whole array fits in a few cache lines; the two thresholds keep a queue hovering around
//     one size from converting back and forth.
//   both: count for a resource O(1) (kept per resource), 24 bytes per queued event.
// A sorted vector (the plain alternative) pops in O(1) but pays O(n) per insert, which
// dominates runs with many pending events. The queue does not own its events.
class EventQueue {
public:
    explicit EventQueue(Simulator* simulator = nullptr) : simulator_(simulator) {}
    ~EventQueue();
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    // An event already queued is moved to its new time, as if removed and inserted again.
    void insert(Event& event);
    Event* popFront();
    Event* front() const;
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    bool contains(const Event& event) const { return find(event) != kAbsent; }
    std::size_t countForResource(const ActiveResource* resource) const;
    void remove(Event& event, bool mustExist);
    // Forgets every queued event without touching the tasks or resources they belong to;
    // a run that ended early leaves events behind, and they go before the model does.
    void clear();
    // Cuts the task's running job at time: records the executed part, and leaves the task
    // ready for the remainder (commence = time, termination unchanged, not queued).
    void preempt(Task& task, double time);

    Simulator* simulator() const { return simulator_; }

private:
    // The sort key is the global time's bits mapped so that unsigned order is numeric order,
    // then the insertion sequence: one 128-bit comparison instead of two branches.
    struct Entry {
        uint64_t sequence;
        uint64_t time;
        Event* event;
    };
    static constexpr std::size_t kArity = 4;
    static constexpr std::size_t kHeapFrom = 32;  // a sorted array of this size becomes a heap
    static constexpr std::size_t kSortedBelow = 8;  // a heap smaller than this becomes sorted again
    static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);
    // Slot of an event held in the sorted array, whose positions shift on every insert.
    static constexpr std::size_t kInSortedArray = static_cast<std::size_t>(-2);

    static uint64_t orderedBits(double time) {
        uint64_t bits;
        static_assert(sizeof bits == sizeof time);
        __builtin_memcpy(&bits, &time, sizeof bits);
        return (bits >> 63) != 0 ? ~bits : bits | (1ULL << 63);
    }
    static unsigned __int128 key(const Entry& entry) {
        return (static_cast<unsigned __int128>(entry.time) << 64) | entry.sequence;
    }
    static bool earlier(const Entry& a, const Entry& b) { return key(a) < key(b); }

    std::size_t find(const Event& event) const;
    void place(std::size_t slot, const Entry& entry) {
        entries_[slot] = entry;
        entry.event->slot_ = slot;
    }
    void siftUp(std::size_t slot, Entry entry);
    void siftDown(std::size_t slot, Entry entry);
    void eraseAt(std::size_t index);
    void release(Event& event);
    void becomeHeap();
    void becomeSorted();

    Simulator* simulator_;
    std::vector<Entry> entries_;
    bool heap_ = false;
    uint64_t nextSequence_ = 0;
};

// Classifies an event of a task; an event that is neither of its task's two events is a
// broken model.
bool isTaskCommenceEvent(const Event& event);

}  // namespace netsim
