package com.larkspan.simulator.tests;

import com.larkspan.simulator.SimulationException;
import com.larkspan.simulator.SimulationInfo;
import com.larkspan.simulator.SimulatorProxy;
import java.nio.file.Files;
import java.nio.file.Path;

/** The engine library driven from a real JVM. Arguments: fixtures directory, scratch directory. */
public final class JvmHostTest {
    private static final Checks checks = new Checks();
    private static final SimulatorProxy engine = new SimulatorProxy();

    public static void main(String[] args) throws Exception {
        Path fixtures = Path.of(args[0]);
        Path scratch = Path.of(args[1]);
        Files.createDirectories(scratch);
        for (String name : new String[] {"bad.db", "runs.db", "long.db"}) {
            Files.deleteIfExists(scratch.resolve(name));
        }
        String emptyNetwork = fixtures.resolve("empty-network.orvo").toString();

        // Before any run every figure is zero.
        SimulationInfo info = new SimulationInfo();
        info.elapsedTime = -1;
        info.droppedFrames = -1;
        info.eventsProcessed = -1;
        engine.getSimulationInfo(info);
        checks.equal("elapsed before any run", 0.0, info.elapsedTime);
        checks.equal("dropped before any run", 0L, info.droppedFrames);
        checks.equal("events before any run", 0L, info.eventsProcessed);

        expectError("null topology path", () -> engine.readFile(null, "x.db", 1, false, 1, 1),
                "aORVOFilePath is NULL!", "", "", 0);
        Path bad = scratch.resolve("bad.orvo");
        Files.writeString(bad, "<Network version=\"39\"/>");
        expectError("old version", () -> engine.readFile(bad.toString(), scratch.resolve("bad.db").toString(), 1,
                false, 1, 1),
                "The Network element attribute 'version' differ from 40: This version of ORVO Simulator can only "
                        + "read RERURU v40 files",
                "OrvoSystemModel::validateZavuRivVersion", "simulator/OrvoSystemModel", 456);

        // A run, and its figures afterwards; two runs in a row each start from a fresh context.
        for (int run = 1; run <= 2; run++) {
            checks.check("readFile",
                    engine.readFile(emptyNetwork, scratch.resolve("runs.db").toString(), 42, false, run, 2));
            checks.equal("first flow id of run " + run, 6, EngineLoad.takeNextFlowId());
            engine.startSimulation(2.0);
        }
        engine.getSimulationInfo(info);
        checks.equal("elapsed after a run", 2.0, info.elapsedTime);
        checks.equal("events after a run", 2L, info.eventsProcessed);
        checks.equal("dropped after a run", 0L, info.droppedFrames);

        // A stop from another thread ends a run that would otherwise take hours.
        engine.setCapturePaths("/captures/a;/captures/b");
        engine.readFile(emptyNetwork, scratch.resolve("long.db").toString(), 7, true, 1, 1);
        EngineLoad.startTicker();
        Thread stopper = new Thread(() -> {
            SimulationInfo live = new SimulationInfo();
            try {
                do {
                    Thread.sleep(5);
                    engine.getSimulationInfo(live);
                } while (live.eventsProcessed < 50_000);
                engine.stopSimulation();
            } catch (Exception e) {
                throw new RuntimeException(e);
            }
        });
        stopper.start();
        engine.startSimulation(1.0e6);
        stopper.join();
        engine.getSimulationInfo(info);
        checks.check("stopped run ended early", info.elapsedTime < 1.0e6);
        checks.equal("stopped at a poll", 2L, (info.eventsProcessed - 2) % 10_000 + 2);

        checks.finish();
    }

    interface Call {
        void run() throws SimulationException;
    }

    private static void expectError(String what, Call call, String message, String function, String file,
            int line) {
        try {
            call.run();
            checks.fail(what + ": no exception");
        } catch (SimulationException e) {
            checks.equal(what + " message", message, e.getMessage());
            checks.equal(what + " function", function, e.function);
            checks.equal(what + " file", file, e.fileName);
            checks.equal(what + " line", line, e.line);
        }
    }
}
