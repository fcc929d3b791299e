// The progress line a terminal shows during a run, drawn from scripted engine values and a
// scripted clock.

#include "cli/ProgressLine.h"

#include <chrono>
#include <sstream>
#include <string>

#include "gtest/gtest.h"

namespace netsim::cli {
namespace {

using namespace std::chrono_literals;

TEST(ProgressLine, TextShowsTimeReachedOfTheEndAndTheEventRate) {
    NumberFormat numbers(".", ",");
    EXPECT_EQ(ProgressLine::text(0.25, 1.0, 1234567.9, numbers),
              "[simulator] 0.25 of 1 second(s) (25%), 1,234,567 events/s");
    // Jobs in progress finish after the end time.
    EXPECT_EQ(ProgressLine::text(2.0004, 2.0, 0.0, numbers), "[simulator] 2 of 2 second(s) (100%), 0 events/s");
}

struct ScriptedEngine {
    host::SimulationInfo info;
    std::chrono::steady_clock::time_point now;
};

TEST(ProgressLine, RedrawsInPlaceAndClearsItselfAtTheEnd) {
    ScriptedEngine engine;
    // The previous run's final values, still reported until the new run has started.
    engine.info = {10.0, 4, 90000};
    std::ostringstream out;
    {
        ProgressLine line(
            out, 10.0, NumberFormat(".", ","), [&engine] { return engine.info; }, [&engine] { return engine.now; });

        engine.now += 250ms;
        line.refresh();
        engine.info = {2.5, 0, 1000};
        engine.now += 500ms;
        line.refresh();
        engine.info = {5.0, 0, 4000};
        engine.now += 1000ms;
        line.refresh();
        // This run ends exactly as the previous one did.
        engine.info = {10.0, 4, 90000};
        engine.now += 1000ms;
        line.refresh();
    }

    EXPECT_EQ(out.str(),
              "\r\x1b[K[simulator] 0 of 10 second(s) (0%), 0 events/s"
              "\r\x1b[K[simulator] 2.5 of 10 second(s) (25%), 2,000 events/s"
              "\r\x1b[K[simulator] 5 of 10 second(s) (50%), 3,000 events/s"
              "\r\x1b[K[simulator] 10 of 10 second(s) (100%), 86,000 events/s"
              "\r\x1b[K");
}

TEST(ProgressLine, LeavesNoTraceWhenNeverDrawn) {
    std::ostringstream out;
    {
        ProgressLine line(out, 1.0, NumberFormat(), [] { return host::SimulationInfo{}; });
        line.start(1h);
    }
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace netsim::cli
