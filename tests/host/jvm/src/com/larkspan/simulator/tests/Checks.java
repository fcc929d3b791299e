package com.larkspan.simulator.tests;

import java.util.Objects;

/** Minimal assertions for test programs run by ctest: a summary line and the exit status. */
final class Checks {
    private int passed;
    private int failed;

    void equal(String what, Object expected, Object actual) {
        if (Objects.equals(expected, actual)) {
            passed++;
        } else {
            failed++;
            System.out.println("FAILED " + what + ": expected <" + expected + "> but was <" + actual + ">");
        }
    }

    void check(String what, boolean condition) {
        equal(what, true, condition);
    }

    void fail(String what) {
        check(what, false);
    }

    void finish() {
        System.out.println(passed + " passed, " + failed + " failed");
        System.exit(failed == 0 ? 0 : 1);
    }
}
