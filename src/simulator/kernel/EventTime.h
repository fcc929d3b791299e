#pragma once

namespace netsim {

class Component;

// The clock of the device that defines time for a resource. Its rate maps the global time
// base onto the device's local one; time synchronisation corrects it during a run.
class LocalClock {
public:
    explicit LocalClock(const Component* device = nullptr, double rate = 1.0) : device_(device), rate_(rate) {}

    const Component* device() const { return device_; }
    double rate() const { return rate_; }
    void setRate(double rate) { rate_ = rate; }

    double toLocal(double global) const { return global * rate_; }
    double toGlobal(double local) const { return local / rate_; }

private:
    const Component* device_;
    double rate_;
};

// When an event happens: global seconds, plus the local time of a bound clock. -1 is unset.
class EventTime {
public:
    static constexpr double kUnset = -1.0;

    // With a clock the time is local to it (the clock is bound if none is yet); without one
    // it is global, and the local time follows a clock bound earlier.
    void set(double time, LocalClock* clock) {
        if (clock != nullptr) {
            if (clock_ == nullptr) clock_ = clock;
            local_ = time;
            global_ = clock_->toGlobal(time);
        } else {
            global_ = time;
            if (clock_ != nullptr) local_ = clock_->toLocal(time);
        }
    }

    double get(const LocalClock* clock) const { return clock != nullptr ? local_ : global_; }
    double global() const { return global_; }
    double local() const { return local_; }
    LocalClock* clock() const { return clock_; }
    void setGlobal(double global) { global_ = global; }

    void reset() { global_ = kUnset; }
    bool isScheduled() const { return global_ >= 0.0; }

private:
    double global_ = kUnset;
    LocalClock* clock_ = nullptr;
    double local_ = kUnset;
};

}  // namespace netsim
