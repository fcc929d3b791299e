package com.larkspan.simulator;

/** Progress of the running simulation, or the results of the last one. */
public class SimulationInfo {
    public double elapsedTime;
    public long droppedFrames;
    public long eventsProcessed;
}
