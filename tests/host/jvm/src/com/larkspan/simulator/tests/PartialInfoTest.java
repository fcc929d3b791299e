package com.larkspan.simulator.tests;

import com.larkspan.simulator.SimulationInfo;
import com.larkspan.simulator.SimulatorProxy;
import java.nio.file.Path;

/**
 * Runs against a SimulationInfo class without the droppedFrames field: the engine fills the
 * fields the class has. Arguments: fixtures directory, scratch directory.
 */
public final class PartialInfoTest {
    public static void main(String[] args) throws Exception {
        Checks checks = new Checks();
        SimulatorProxy engine = new SimulatorProxy();
        String db = Path.of(args[1]).resolve("partial.db").toString();
        java.nio.file.Files.createDirectories(Path.of(args[1]));
        java.nio.file.Files.deleteIfExists(Path.of(db));
        engine.readFile(Path.of(args[0]).resolve("empty-network.orvo").toString(), db, 3, true, 1, 1);
        engine.startSimulation(1.5);
        SimulationInfo info = new SimulationInfo();
        engine.getSimulationInfo(info);
        checks.equal("elapsed", 1.5, info.elapsedTime);
        checks.equal("events", 2L, info.eventsProcessed);
        checks.check("class really lacks the field", !hasField(info, "droppedFrames"));
        checks.finish();
    }

    private static boolean hasField(Object object, String name) {
        try {
            object.getClass().getField(name);
            return true;
        } catch (NoSuchFieldException e) {
            return false;
        }
    }
}
