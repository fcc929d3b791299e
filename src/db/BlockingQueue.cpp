#include "db/BlockingQueue.h"

#include <utility>

namespace netsim {

BlockingQueue::BlockingQueue() : available_(Platform::instance().createSemaphore(0)) {}

BlockingQueue::~BlockingQueue() { Platform::instance().destroySemaphore(std::move(available_)); }

void BlockingQueue::push(std::unique_ptr<WorkPackage> package) {
    SynchronizedQueue::push(std::move(package));
    available_->post();
}

std::unique_ptr<WorkPackage> BlockingQueue::pop() {
    available_->wait();
    return SynchronizedQueue::pop();
}

}  // namespace netsim
