package com.larkspan.simulator.tests;

/** Test-only access to the engine: load for a run, and a look at the context. */
final class EngineLoad {
    static {
        System.loadLibrary("netsim_test_hooks");
    }

    private EngineLoad() {}

    /** Schedules a job every millisecond of simulated time in the loaded model. */
    static native void startTicker();

    static native int takeNextFlowId();
}
