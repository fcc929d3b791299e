#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "simulator/kernel/TestEngine.h"
#include "simulator/stats/FrameStatisticsManager.h"
#include "simulator/stats/Timer.h"

namespace netsim::test {
namespace {

// A frame of a flow that remembers the sampling points it passed.
struct Frame : SampledObject {
    Frame(std::string flow, uint64_t identity) : flow(std::move(flow)), identity(identity) {}
    const std::string& flowName() const override { return flow; }
    uint64_t instanceIdentity() const override { return identity; }
    bool hasPassed(const std::string& point) const override { return passed.count(point) != 0; }
    std::string flow;
    uint64_t identity;
    std::set<std::string> passed;
};

class LatencySink : public RecordingSink {
public:
    struct Saved {
        std::string timer, flow, from, to;
        std::vector<double> values;
    };
    std::vector<Saved> latencies;
    std::vector<std::string> warnings;
    void saveLatencies(const std::string& timer, const std::string& flow, const std::string& from,
                       const std::string& to, std::span<const double> values) override {
        latencies.push_back({timer, flow, from, to, {values.begin(), values.end()}});
    }
    void saveWarningMessage(const std::string& text) override { warnings.push_back(text); }
};

// Where the samplers went; accepts every point.
class Directory : public SamplingPointDirectory {
public:
    std::vector<std::string> attached;
    void attachPortSampler(TimeSampler& sampler) override {
        attached.push_back(std::string(sampler.isStart() ? "port start " : "port stop ") + sampler.samplingPoint());
    }
    void attachIpduSampler(TimeSampler& sampler) override {
        attached.push_back(std::string(sampler.isStart() ? "ipdu start " : "ipdu stop ") + sampler.samplingPoint());
    }
};

class TimerTest : public ::testing::Test {
protected:
    // A frame passes a point: the point's samplers look at it, then it remembers the point.
    void pass(Frame& frame, const SamplingPoint& point, const std::string& text, double time) {
        point.sample(frame, time);
        frame.passed.insert(text);
    }

    TestEngine engine_;
    LatencySink sink_;
};

TEST_F(TimerTest, LatenciesBetweenFirstPassagesOfFramesThatPassedBothPoints) {
    Timer timer("T1", "flowA", "SW1.P1", "SW2.P3");
    SamplingPoint in, out;
    in.attach(&timer.startSampler());
    out.attach(&timer.stopSampler());

    Frame first("flowA", 1), second("flowA", 2), stranger("flowB", 3), lateJoiner("flowA", 4);
    pass(first, in, "SW1.P1", 1.0);
    pass(first, in, "SW1.P1", 1.2);  // a second passage does not restart the clock
    pass(second, in, "SW1.P1", 2.0);
    pass(stranger, in, "SW1.P1", 2.0);
    pass(second, out, "SW2.P3", 2.0015);
    pass(first, out, "SW2.P3", 1.003);
    pass(lateJoiner, out, "SW2.P3", 3.0);  // never passed the start point
    pass(stranger, out, "SW2.P3", 3.0);

    timer.finish(sink_);
    ASSERT_EQ(sink_.latencies.size(), 1u);
    const auto& saved = sink_.latencies[0];
    EXPECT_EQ(saved.timer, "T1");
    EXPECT_EQ(saved.flow, "flowA");
    EXPECT_EQ(saved.from, "SW1.P1");
    EXPECT_EQ(saved.to, "SW2.P3");
    // In the order the stop point saw them.
    ASSERT_EQ(saved.values.size(), 2u);
    EXPECT_NEAR(saved.values[0], 1.5, 1e-9);
    EXPECT_NEAR(saved.values[1], 3.0, 1e-9);
    EXPECT_TRUE(sink_.warnings.empty());
}

TEST_F(TimerTest, ATimerThatSawNothingWarnsForBothPointsAndSavesNoLatency) {
    Timer timer("T1", "flowA", "SW1.P1", "SW2.P3");
    timer.finish(sink_);
    EXPECT_EQ(sink_.warnings, (std::vector<std::string>{
                                  "Timer 'T1' : Flow 'flowA' was never sampled at interface 'SW1.P1'",
                                  "Timer 'T1' : Flow 'flowA' was never sampled at interface 'SW2.P3'",
                              }));
    ASSERT_EQ(sink_.latencies.size(), 1u);
    EXPECT_TRUE(sink_.latencies[0].values.empty());
}

TEST_F(TimerTest, SwitchedOffSamplersRecordNothingMore) {
    Timer timer("T1", "flowA", "A.P", "B.P");
    SamplingPoint in, out;
    in.attach(&timer.startSampler());
    out.attach(&timer.stopSampler());
    Frame early("flowA", 1), inFlight("flowA", 2);
    pass(early, in, "A.P", 0.1);
    pass(early, out, "B.P", 0.2);
    pass(inFlight, in, "A.P", 0.9);
    engine_.sim.disableTimeSamplers();
    pass(inFlight, out, "B.P", 1.1);
    timer.finish(sink_);
    ASSERT_EQ(sink_.latencies[0].values.size(), 1u);
    EXPECT_NEAR(sink_.latencies[0].values[0], 100.0, 1e-9);
}

TEST_F(TimerTest, TimersSectionIsReadStrictly) {
    struct Case {
        const char* xml;
        std::string message;  // empty: builds
        const char* function;
        int line;
        std::vector<std::string> attached;
    } cases[] = {
        {R"(<Timer name="T" object="f" start="A.P1" stop="B.P2" jw="1" lw="2"/>)", "", "", 0,
         {"port start A.P1", "port stop B.P2"}},
        {R"(<Timer name="T" object="f" start="A" stop="B" triggerOn="ipdu"/>)", "", "", 0,
         {"ipdu start A", "ipdu stop B"}},
        {R"(<Timer name="T" object="f" start="A.P1" stop="B.P2" triggerOn="IPDU"/>)", "", "", 0,
         {"port start A.P1", "port stop B.P2"}},
        {R"(<Timer name="T" object="f" start="A.P1" stop="B.P2" Start="x"/>)",
         "net.orvo: element 'Timer', attribute 'Start': not a valid attribute", "Timer::Timer", 46, {}},
        {R"(<Timer name="T" object="f" start="A.P1"/>)", "Timer 'T' missing processor specification!", "", 0, {}},
        {R"(<Timer object="f" start="A.P1" stop="B.P2"/>)", "Encountered Timer missing name attribute!",
         "Timer::verify", 199, {"port start A.P1", "port stop B.P2"}},
        {R"(<Timer name="T" start="A.P1" stop="B.P2"/>)", "Timer 'T' missing flow attribute!", "Timer::verify", 202,
         {"port start A.P1", "port stop B.P2"}},
        {R"(<Timer name="T" object="f" start="A.P1" stop="B.P2"/><Timer name="T" object="g" start="C.P" stop="D.P"/>)",
         "Timer name not unique: T", "", 0, {"port start A.P1", "port stop B.P2", "port start C.P", "port stop D.P"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xml);
        pugi::xml_document document;
        ASSERT_TRUE(document.load_string((std::string("<Timers>") + c.xml + "</Timers>").c_str()));
        TimerSet timers;
        Directory directory;
        try {
            timers.build(document.child("Timers"), "net.orvo", directory);
            EXPECT_TRUE(c.message.empty()) << "built, expected " << c.message;
            EXPECT_EQ(timers.timers().size(), 1u);
        } catch (const Exception& e) {
            EXPECT_EQ(e.message(), c.message);
            EXPECT_EQ(e.function(), c.function);
            EXPECT_EQ(e.line(), c.line);
        }
        EXPECT_EQ(directory.attached, c.attached);
    }
}

TEST_F(TimerTest, DroppedFramesReachTheResultsAndTheTotals) {
    FrameStatisticsManager manager;
    FrameStatistics buffer(manager);
    buffer.frameDropped("SW1.Buffer", "flowA", kFrameBufferFull, 0.25);
    buffer.frameTransmitted();
    buffer.frameTransmitted();
    EXPECT_EQ(buffer.droppedCount(), 1u);
    EXPECT_EQ(buffer.transmittedCount(), 2u);
    EXPECT_EQ(manager.droppedTotal(), 1);
    EXPECT_EQ(manager.transmittedTotal(), 2);
    EXPECT_EQ(manager.registered().size(), 1u);
    EXPECT_EQ(engine_.sink.drops, std::vector<std::string>{"SW1.Buffer flowA 1 0.250000"});
}

}  // namespace
}  // namespace netsim::test
