#include "simulator/kernel/Task.h"

#include <algorithm>

#include "common/Exception.h"
#include "simulator/kernel/ActiveResource.h"
#include "simulator/kernel/EngineServices.h"
#include "simulator/kernel/EventQueue.h"
#include "simulator/kernel/ISimulationPersistence.h"
#include "simulator/kernel/Simulator.h"

namespace netsim {
namespace {
constexpr const char* kFile = "simulator/Task";
}

void CommEvent::fire() { task()->onCommence(time().get(task()->clock())); }

void TermEvent::fire() { task()->onTerminate(time().get(task()->clock())); }

Task::Task(std::string name, ActiveResource* resource)
    : Name(std::move(name)),
      resource_(resource),
      commence_(std::make_unique<CommEvent>(this)),
      termination_(std::make_unique<TermEvent>(this)) {}

Task::~Task() {
    // A task that dies while queued must not leave dangling events behind.
    if (commence_->isQueued()) queue_->remove(*commence_, false);
    if (termination_->isQueued()) queue_->remove(*termination_, false);
}

void Task::useEvents(std::unique_ptr<Event> commence, std::unique_ptr<Event> termination) {
    commence_ = std::move(commence);
    termination_ = std::move(termination);
}

EventQueue& Task::queue() {
    if (queue_ == nullptr) queue_ = &engine().simulator().queue();
    return *queue_;
}

void Task::schedule(double time) { schedule(time, time); }

void Task::schedule(double commence, double termination) {
    setTimes(commence, termination);
    queue().insert(*commence_);
}

void Task::scheduleGlobal(double commence, double termination) {
    commence_->time().set(commence, nullptr);
    termination_->time().set(termination, nullptr);
    queue().insert(*commence_);
}

void Task::release(double time) {
    commence_->time().set(time, nullptr);
    termination_->time().reset();
    queue().insert(*commence_);
}

void Task::release(double time, int32_t colour) {
    colour_ = colour;
    release(time);
}

void Task::scheduleTermination(double time) {
    termination_->time().set(time, nullptr);
    queue().insert(*termination_);
}

void Task::setTimes(double commence, double termination) { setTimes(commence, termination, clock_); }

void Task::setTimes(double commence, double termination, int32_t colour) {
    setTimes(commence, termination);
    colour_ = colour;
}

void Task::setTimes(double commence, double termination, LocalClock* clock) {
    commence_->time().set(commence, clock);
    termination_->time().set(termination, clock);
}

void Task::configure(ActiveResource* resource, std::string name, double commence, double termination,
                     int32_t colour, LocalClock* clock) {
    resource_ = resource;
    name_ = std::move(name);
    bindClock(clock);
    setTimes(commence, termination, clock);
    colour_ = colour;
}

bool Task::isQueued() const { return commence_->isQueued() || termination_->isQueued(); }

void Task::abort(double time) {
    if (commence_->isQueued()) {
        queue().remove(*commence_, true);
        queue().remove(*termination_, false);
        return;
    }
    queue().remove(*termination_, false);
    termination_->time().set(time, nullptr);
    recordJob();
}

double Task::duration() const { return terminationTime() - commenceTime(); }

double Task::busyPart(double endTime) const { return std::min(endTime, terminationTime()) - commenceTime(); }

double Task::computeNextReadyTime() {
    throw Exception(kFile, "Task::computeNextReadyTime", 167, "Implement function in appropriate sub class!");
}

void Task::jobCompleted(double) {}

void Task::releaseNextJob(double) {
    throw Exception(kFile, "Task::releaseNextJob", 177, "Implement function in appropriate sub class!");
}

int32_t Task::onCommence(double) { return 0; }

void Task::onTerminate(double) {}

void Task::preempt(double time) { queue().preempt(*this, time); }

void Task::recordJob() {
    if (resource_ == nullptr) return;
    engine().resultsSink().saveJob(createJobRecord());
}

JobRecord* Task::createJobRecord() {
    JobRecord* record = pool_.take();
    record->resource = resource_;
    record->resourceName = resource_->name();
    record->taskName = name_;
    record->start = commenceTime();
    record->end = terminationTime();
    record->colour = colour_;
    describeJob(*record);
    return record;
}

}  // namespace netsim
