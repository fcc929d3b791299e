#pragma once

#include <cstddef>
#include <cstdint>

#include "simulator/kernel/EventTime.h"

namespace netsim {

class ActiveResource;
class Task;

// Something that happens to a task at a time. Each task owns exactly two events, which it
// re-times and re-inserts for every job, so events are never allocated during a run.
class Event {
public:
    static constexpr std::size_t kNotQueued = static_cast<std::size_t>(-1);

    explicit Event(Task* task) : task_(task) {}
    virtual ~Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    virtual void fire() = 0;

    Task* task() const { return task_; }
    EventTime& time() { return time_; }
    const EventTime& time() const { return time_; }
    bool isQueued() const { return slot_ != kNotQueued; }

private:
    friend class EventQueue;

    Task* task_;
    EventTime time_;
    // Bookkeeping of the queue: where the event sits, its insertion order among equal times,
    // and the resource it was counted for when inserted.
    std::size_t slot_ = kNotQueued;
    uint64_t sequence_ = 0;
    ActiveResource* countedResource_ = nullptr;
};

// Commence event of an ordinary task: hands the time, read on the task's clock, to the task.
class CommEvent final : public Event {
public:
    using Event::Event;
    void fire() override;
};

// Termination event of an ordinary task.
class TermEvent final : public Event {
public:
    using Event::Event;
    void fire() override;
};

}  // namespace netsim
