#include "cli/ProgressLine.h"

#include <algorithm>
#include <utility>

namespace netsim::cli {
namespace {

bool sameValues(const host::SimulationInfo& a, const host::SimulationInfo& b) {
    return a.elapsedTime == b.elapsedTime && a.droppedFrames == b.droppedFrames &&
           a.eventsProcessed == b.eventsProcessed;
}

// Carriage return, then erase to the end of the line: a shorter line leaves no remnants.
constexpr char kRedraw[] = "\r\x1b[K";

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, double endTime, NumberFormat numbers, InfoSource source, Clock clock)
    : out_(out),
      endTime_(endTime),
      numbers_(std::move(numbers)),
      source_(std::move(source)),
      clock_(std::move(clock)),
      before_(source_()),
      lastTime_(clock_()) {}

ProgressLine::~ProgressLine() {
    if (refresher_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        refresher_.join();
    }
    clear();
}

void ProgressLine::start(std::chrono::milliseconds interval) {
    refresher_ = std::thread([this, interval] {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, interval, [this] { return stopping_; })) refresh();
    });
}

std::string ProgressLine::text(double elapsedTime, double endTime, double eventsPerSecond,
                               const NumberFormat& numbers) {
    const double percent = endTime > 0 ? std::min(100.0, 100.0 * elapsedTime / endTime) : 0.0;
    return "[simulator] " + numbers.grouped(elapsedTime) + " of " + numbers.grouped(endTime) + " second(s) (" +
           numbers.grouped(static_cast<double>(static_cast<int64_t>(percent))) + "%), " +
           numbers.grouped(static_cast<double>(static_cast<int64_t>(eventsPerSecond))) + " events/s";
}

void ProgressLine::refresh() {
    host::SimulationInfo info = source_();
    // Still the previous run's values: the engine has not started this run yet. Once it has,
    // equal values are this run's own (two runs of a batch may well end alike).
    if (!started_ && sameValues(info, before_))
        info = {};
    else
        started_ = true;
    const auto now = clock_();
    const double seconds = std::chrono::duration<double>(now - lastTime_).count();
    // A lower count than last time belongs to a run that has just started from zero.
    const int64_t newEvents = info.eventsProcessed - std::min(lastEvents_, info.eventsProcessed);
    const double rate = seconds > 0 ? static_cast<double>(newEvents) / seconds : 0.0;
    lastEvents_ = info.eventsProcessed;
    lastTime_ = now;
    out_ << kRedraw << text(info.elapsedTime, endTime_, rate, numbers_) << std::flush;
    drawn_ = true;
}

void ProgressLine::clear() {
    if (drawn_) out_ << kRedraw << std::flush;
    drawn_ = false;
}

}  // namespace netsim::cli
