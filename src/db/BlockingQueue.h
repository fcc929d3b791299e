#pragma once

#include <memory>

#include "db/SynchronizedQueue.h"
#include "platform/Platform.h"

namespace netsim {

// A SynchronizedQueue whose pop waits until a package is there. The semaphore counts the
// queued packages, so the consumer sleeps only when the queue is empty and the producer
// never waits for the consumer. There is no size limit.
class BlockingQueue final : public SynchronizedQueue {
public:
    BlockingQueue();
    ~BlockingQueue() override;

    void push(std::unique_ptr<WorkPackage> package) override;
    std::unique_ptr<WorkPackage> pop() override;

private:
    std::unique_ptr<Semaphore> available_;
};

}  // namespace netsim
