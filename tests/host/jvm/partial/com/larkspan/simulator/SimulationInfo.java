package com.larkspan.simulator;

/** An older form of the status class, without droppedFrames. */
public class SimulationInfo {
    public double elapsedTime;
    public long eventsProcessed;
}
