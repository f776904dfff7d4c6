package org.qzt.kmp.tools.ohos.debugger.testsupport;

import java.time.Duration;
import java.util.ArrayList;
import java.util.List;
import java.util.function.Predicate;

import org.qzt.kmp.tools.ohos.debugger.jni.LLDBNativeWrapper;
import org.qzt.kmp.tools.ohos.debugger.jni.SpecDebugEvent;

/**
 * Bounded waiting on {@link LLDBNativeWrapper#waitForEvent}: one-second waits, never longer than a limit in
 * all, so a lost event fails a test instead of hanging the run.
 */
public final class Events {
    public static final Duration LIMIT = Duration.ofSeconds(15);

    private Events() {
    }

    /** The first event that {@code wanted} accepts within {@code limit}, or null; others go to {@code skipped}. */
    public static SpecDebugEvent next(long engine, Predicate<SpecDebugEvent> wanted, Duration limit,
            List<SpecDebugEvent> skipped) {
        long deadline = System.nanoTime() + limit.toNanos();
        while (System.nanoTime() < deadline) {
            SpecDebugEvent event = LLDBNativeWrapper.waitForEvent(engine, 1);
            if (event == null) {
                continue;
            }
            if (wanted.test(event)) {
                return event;
            }
            if (skipped != null) {
                skipped.add(event);
            }
        }
        return null;
    }

    public static SpecDebugEvent next(long engine, Predicate<SpecDebugEvent> wanted) {
        return next(engine, wanted, LIMIT, null);
    }

    /** The next event that is not "running": a stop, an exit or a crash. */
    public static SpecDebugEvent nextRest(long engine) {
        return next(engine, e -> e.eventType != SpecDebugEvent.RUNNING);
    }

    /** Every event of the next {@code window}. */
    public static List<SpecDebugEvent> during(long engine, Duration window) {
        List<SpecDebugEvent> seen = new ArrayList<>();
        next(engine, e -> false, window, seen);
        return seen;
    }

    /** Continues and waits for the running event. */
    public static boolean continueUntilRunning(long engine) {
        return LLDBNativeWrapper.continueExecution(engine)
                && next(engine, e -> e.eventType == SpecDebugEvent.RUNNING) != null;
    }
}
