package com.larkspan.simulator;

/** The engine library's entry points. One engine per process; see the native library. */
public class SimulatorProxy {
    static {
        // The engine is built for 64-bit x86 only.
        if ("amd64".equals(System.getProperty("os.arch"))) {
            System.loadLibrary("netsim_core");
        }
    }

    public native boolean readFile(String orvoPath, String dbPath, long seed, boolean discardTasks, int currentRun,
            int maxRunCount) throws SimulationException;

    public native void startSimulation(double endTime) throws SimulationException;

    public native void getSimulationInfo(SimulationInfo info) throws SimulationException;

    public native void stopSimulation() throws SimulationException;

    public native void setCapturePaths(String paths) throws SimulationException;
}
