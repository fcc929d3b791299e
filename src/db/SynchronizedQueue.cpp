#include "db/SynchronizedQueue.h"

namespace netsim {

SynchronizedQueue::~SynchronizedQueue() {
    while (first_ != nullptr) {
        std::unique_ptr<WorkPackage> package(first_);
        first_ = package->next;
    }
}

void SynchronizedQueue::push(std::unique_ptr<WorkPackage> package) {
    WorkPackage* added = package.release();
    added->next = nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    if (last_ == nullptr)
        first_ = added;
    else
        last_->next = added;
    last_ = added;
    length_.store(length_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

std::unique_ptr<WorkPackage> SynchronizedQueue::pop() {
    std::lock_guard<std::mutex> lock(mutex_);
    WorkPackage* removed = first_;
    if (removed == nullptr) return nullptr;
    first_ = removed->next;
    if (first_ == nullptr) last_ = nullptr;
    length_.store(length_.load(std::memory_order_relaxed) - 1, std::memory_order_relaxed);
    removed->next = nullptr;
    return std::unique_ptr<WorkPackage>(removed);
}

}  // namespace netsim
