#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "simulator/kernel/Event.h"
#include "simulator/kernel/JobRecord.h"
#include "simulator/kernel/Name.h"

namespace netsim {

class ActiveResource;
class EventQueue;

// An activity that takes simulated time. A job is the interval between the task's commence
// and termination events; the task owns both and re-times them for each job, so a task runs
// at most one job at a time.
class Task : public Name {
public:
    explicit Task(std::string name, ActiveResource* resource = nullptr);
    ~Task() override;
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;

    // Times called "task clock" below are local to the task's clock when it has one.
    void schedule(double time);                                // both events at time (task clock)
    void schedule(double commence, double termination);        // task clock
    void scheduleGlobal(double commence, double termination);  // global times
    void release(double time);                                 // commence now, end decided later
    void release(double time, int32_t colour);
    void scheduleTermination(double time);                     // global time
    void setTimes(double commence, double termination);        // task clock, no insert
    void setTimes(double commence, double termination, int32_t colour);
    void setTimes(double commence, double termination, LocalClock* clock);
    void configure(ActiveResource* resource, std::string name, double commence, double termination,
                   int32_t colour, LocalClock* clock);
    bool isQueued() const;
    void abort(double time);
    double duration() const;
    double busyPart(double endTime) const;

    virtual double computeNextReadyTime();
    virtual void jobCompleted(double time);
    virtual void releaseNextJob(double time);
    virtual bool isRecurring() const { return false; }
    virtual int32_t onCommence(double time);
    virtual void onTerminate(double time);
    virtual void afterTermination() {}
    virtual bool isStreamCpuTask() const { return false; }
    virtual void preempt(double time);
    virtual void describeJob(JobRecord&) {}
    virtual void recordJob();
    virtual JobRecord* createJobRecord();

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    ActiveResource* resource() const { return resource_; }
    void setResource(ActiveResource* resource) { resource_ = resource; }
    LocalClock* clock() const { return clock_; }
    void bindClock(LocalClock* clock) {
        if (clock_ == nullptr) clock_ = clock;
    }
    int32_t colour() const { return colour_; }
    void setColour(int32_t colour) { colour_ = colour; }
    Event& commenceEvent() { return *commence_; }
    Event& terminationEvent() { return *termination_; }
    const Event& commenceEvent() const { return *commence_; }
    const Event& terminationEvent() const { return *termination_; }
    double commenceTime() const { return commence_->time().global(); }
    double terminationTime() const { return termination_->time().global(); }
    JobRecordPool& jobRecordPool() { return pool_; }

protected:
    // Tasks with their own kinds of events (CPU tasks) install them from their constructor.
    void useEvents(std::unique_ptr<Event> commence, std::unique_ptr<Event> termination);
    EventQueue& queue();

private:
    ActiveResource* resource_;
    LocalClock* clock_ = nullptr;
    JobRecordPool pool_;
    std::unique_ptr<Event> commence_;
    std::unique_ptr<Event> termination_;
    int32_t colour_ = -1;
    EventQueue* queue_ = nullptr;  // looked up on first use: tasks may be built before the simulator
};

}  // namespace netsim
