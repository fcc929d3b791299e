// Test-only natives for the JVM tests: give a run something to do until the engine has
// devices of its own, and look into the engine context.
#include <jni.h>

#include <memory>

#include "host/EngineContext.h"
#include "simulator/kernel/Task.h"

namespace {

// A job every millisecond until the end time.
class Ticker : public netsim::Task {
public:
    Ticker() : Task("ticker") { scheduleGlobal(0.0, 0.0005); }
    bool isRecurring() const override { return true; }
    double computeNextReadyTime() override { return commenceTime() + 0.001; }
    void releaseNextJob(double) override { scheduleGlobal(commenceTime() + 0.001, commenceTime() + 0.0015); }
};

// Belongs to the run started next; the previous one's context is gone by then.
std::unique_ptr<Ticker> gTicker;

}  // namespace

extern "C" {

JNIEXPORT void JNICALL Java_com_larkspan_simulator_tests_EngineLoad_startTicker(JNIEnv*, jclass) {
    gTicker = std::make_unique<Ticker>();
}

JNIEXPORT jint JNICALL Java_com_larkspan_simulator_tests_EngineLoad_takeNextFlowId(JNIEnv*, jclass) {
    return static_cast<jint>(netsim::EngineContext::instance().takeNextFlowId());
}

}  // extern "C"
