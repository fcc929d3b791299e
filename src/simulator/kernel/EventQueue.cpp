#include "simulator/kernel/EventQueue.h"

#include <algorithm>

#include "common/Exception.h"
#include "simulator/kernel/ActiveResource.h"
#include "simulator/kernel/Task.h"

namespace netsim {

bool isTaskCommenceEvent(const Event& event) {
    const Task* task = event.task();
    if (&task->commenceEvent() == &event) return true;
    if (&task->terminationEvent() == &event) return false;
    throw Exception("simulator/Event", "Event::isTaskCommenceEvent", 45,
                    "Event is neither a commence event nor a termination event");
}

EventQueue::~EventQueue() { clear(); }

void EventQueue::clear() {
    for (Entry& entry : entries_) {
        entry.event->slot_ = Event::kNotQueued;
        entry.event->countedResource_ = nullptr;
    }
    entries_.clear();
    heap_ = false;
}

void EventQueue::insert(Event& event) {
    isTaskCommenceEvent(event);
    Task* task = event.task();
    // The clock's rate may have been corrected since the time was set; the local time is
    // what the task asked for.
    if (LocalClock* clock = task->clock(); clock != nullptr && event.time().local() >= 0.0)
        event.time().setGlobal(clock->toGlobal(event.time().local()));
    if (event.isQueued()) remove(event, false);

    event.sequence_ = nextSequence_++;
    event.countedResource_ = task->resource();
    if (event.countedResource_ != nullptr) ++event.countedResource_->queuedEvents_;
    const Entry entry{event.sequence_, orderedBits(event.time().global()), &event};

    if (heap_) {
        entries_.push_back(entry);
        siftUp(entries_.size() - 1, entry);
        return;
    }
    // Latest first: the new entry goes in front of the first entry that is earlier.
    auto position = entries_.begin();
    while (position != entries_.end() && earlier(entry, *position)) ++position;
    entries_.insert(position, entry);
    event.slot_ = kInSortedArray;
    if (entries_.size() >= kHeapFrom) becomeHeap();
}

Event* EventQueue::front() const {
    if (entries_.empty()) return nullptr;
    return heap_ ? entries_.front().event : entries_.back().event;
}

Event* EventQueue::popFront() {
    if (!heap_) {
        Event* event = entries_.back().event;
        entries_.pop_back();
        release(*event);
        return event;
    }
    Event* event = entries_.front().event;
    eraseAt(0);
    if (entries_.size() < kSortedBelow) becomeSorted();
    return event;
}

std::size_t EventQueue::find(const Event& event) const {
    if (heap_) return event.slot_ < entries_.size() && entries_[event.slot_].event == &event ? event.slot_ : kAbsent;
    if (event.slot_ != kInSortedArray) return kAbsent;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].event == &event) return i;
    return kAbsent;
}

std::size_t EventQueue::countForResource(const ActiveResource* resource) const {
    return resource != nullptr ? resource->queuedEvents_ : 0;
}

void EventQueue::remove(Event& event, bool mustExist) {
    std::size_t index = find(event);
    if (index == kAbsent) {
        if (mustExist)
            throw Exception("simulator/EventQueue", "EventQueue::removeEvent", 200, "Event not found in event queue");
        return;
    }
    if (heap_) {
        eraseAt(index);
    } else {
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
        release(event);
    }
}

void EventQueue::preempt(Task& task, double time) {
    remove(task.terminationEvent(), true);
    EventTime& termination = task.terminationEvent().time();
    const EventTime planned = termination;
    termination.set(time, nullptr);
    task.recordJob();
    task.commenceEvent().time().set(time, nullptr);
    termination = planned;
}

void EventQueue::release(Event& event) {
    if (event.countedResource_ != nullptr) --event.countedResource_->queuedEvents_;
    event.countedResource_ = nullptr;
    event.slot_ = Event::kNotQueued;
}

void EventQueue::eraseAt(std::size_t slot) {
    release(*entries_[slot].event);
    Entry last = entries_.back();
    entries_.pop_back();
    if (slot == entries_.size()) return;
    // The moved entry may belong above or below the hole.
    if (slot > 0 && earlier(last, entries_[(slot - 1) / kArity]))
        siftUp(slot, last);
    else
        siftDown(slot, last);
}

void EventQueue::siftUp(std::size_t slot, Entry entry) {
    while (slot > 0) {
        std::size_t parent = (slot - 1) / kArity;
        if (!earlier(entry, entries_[parent])) break;
        place(slot, entries_[parent]);
        slot = parent;
    }
    place(slot, entry);
}

void EventQueue::siftDown(std::size_t slot, Entry entry) {
    const std::size_t count = entries_.size();
    for (;;) {
        std::size_t first = slot * kArity + 1;
        if (first >= count) break;
        std::size_t last = std::min(first + kArity, count);
        std::size_t best = first;
        for (std::size_t child = first + 1; child < last; ++child)
            if (earlier(entries_[child], entries_[best])) best = child;
        if (!earlier(entries_[best], entry)) break;
        place(slot, entries_[best]);
        slot = best;
    }
    place(slot, entry);
}

// An array sorted earliest first is already a valid heap.
void EventQueue::becomeHeap() {
    std::reverse(entries_.begin(), entries_.end());
    for (std::size_t slot = 0; slot < entries_.size(); ++slot) entries_[slot].event->slot_ = slot;
    heap_ = true;
}

void EventQueue::becomeSorted() {
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return earlier(b, a); });
    for (Entry& entry : entries_) entry.event->slot_ = kInSortedArray;
    heap_ = false;
}

}  // namespace netsim
