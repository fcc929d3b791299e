#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>

#include "db/WorkPackage.h"

namespace netsim {

// First-in, first-out list of work packages shared by two threads. The list is linked
// through the packages themselves: push and pop are O(1) and allocate nothing, which keeps
// the simulation thread's cost per result at one lock and two pointer writes.
class SynchronizedQueue {
public:
    SynchronizedQueue() = default;
    virtual ~SynchronizedQueue();
    SynchronizedQueue(const SynchronizedQueue&) = delete;
    SynchronizedQueue& operator=(const SynchronizedQueue&) = delete;

    virtual void push(std::unique_ptr<WorkPackage> package);
    // The first package, or none when the queue is empty.
    virtual std::unique_ptr<WorkPackage> pop();
    // A hint without locking: the other thread may change the answer at once.
    bool isEmpty() const { return length_.load(std::memory_order_relaxed) == 0; }

private:
    std::mutex mutex_;
    WorkPackage* first_ = nullptr;
    WorkPackage* last_ = nullptr;
    // Changed only under the mutex; atomic so that isEmpty may read it without.
    std::atomic<std::size_t> length_{0};
};

}  // namespace netsim
