package com.larkspan.simulator;

/** An error of the engine, with the place in the engine that raised it. */
public class SimulationException extends Exception {
    private static final long serialVersionUID = 1L;

    public String function = "";
    public String fileName = "";
    public int line;

    public SimulationException(String message) {
        super(message);
    }

    /** Called by the engine right after construction. */
    public void jniSetLocation(String function, String fileName, int line) {
        this.function = function;
        this.fileName = fileName;
        this.line = line;
    }
}
