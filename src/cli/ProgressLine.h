#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

#include "cli/NumberFormat.h"
#include "host/HostOperations.h"

namespace netsim::cli {

// The line a terminal shows while a run goes on: simulated time reached of the end time and
// the events processed per second, redrawn in place. Only for terminals: in a log or a pipe
// the carriage returns would leave one line per refresh.
class ProgressLine {
public:
    using InfoSource = std::function<host::SimulationInfo()>;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Call before the run starts: the source still answers with the previous run's final
    // values until the engine has started the new run, and those must not show as progress.
    ProgressLine(std::ostream& out, double endTime, NumberFormat numbers, InfoSource source,
                 Clock clock = std::chrono::steady_clock::now);
    // Stops refreshing and clears the line.
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Refreshes the line every interval on a thread of its own until destroyed.
    void start(std::chrono::milliseconds interval = std::chrono::milliseconds(250));

    // Draws the line once from the source's current values.
    void refresh();

    // The text of the line, without the control characters that redraw it.
    static std::string text(double elapsedTime, double endTime, double eventsPerSecond, const NumberFormat& numbers);

private:
    void clear();

    std::ostream& out_;
    double endTime_;
    NumberFormat numbers_;
    InfoSource source_;
    Clock clock_;
    host::SimulationInfo before_;
    bool started_ = false;
    int64_t lastEvents_ = 0;
    std::chrono::steady_clock::time_point lastTime_;
    bool drawn_ = false;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread refresher_;
};

}  // namespace netsim::cli
