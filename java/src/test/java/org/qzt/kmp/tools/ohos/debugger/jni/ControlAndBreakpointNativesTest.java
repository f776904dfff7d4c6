package org.qzt.kmp.tools.ohos.debugger.jni;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.qzt.kmp.tools.ohos.debugger.testsupport.RunControlTarget.*;

import java.io.IOException;
import java.time.Duration;
import java.util.List;
import java.util.function.BiPredicate;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.extension.RegisterExtension;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;
import org.qzt.kmp.tools.ohos.debugger.cli.Debuggee;
import org.qzt.kmp.tools.ohos.debugger.testsupport.DebugFixture;
import org.qzt.kmp.tools.ohos.debugger.testsupport.Events;

/**
 * Run control, the event wait and breakpoints of {@link LLDBNativeWrapper}, driving a real debuggee over a
 * loopback lldb-server platform. Every wait is bounded (see {@link Events}).
 */
class ControlAndBreakpointNativesTest {
    @RegisterExtension
    final DebugFixture fixture = new DebugFixture();

    private long attached(String... args) throws IOException {
        Debuggee debuggee = fixture.debuggee(NAME, args);
        return fixture.attachedEngine(debuggee);
    }

    private static BreakpointInfo breakAt(long engine, int line) {
        BreakpointInfo info = LLDBNativeWrapper.setBreakpoint(engine, 0, SOURCE, line);
        assertNotNull(info);
        assertTrue(info.valid, info::toString);
        assertEquals(1, info.locationCount, info::toString);
        return info;
    }

    private static SpecDebugEvent continueToRest(long engine) {
        assertTrue(LLDBNativeWrapper.continueExecution(engine));
        SpecDebugEvent stop = Events.nextRest(engine);
        assertNotNull(stop, "no stop within " + Events.LIMIT);
        return stop;
    }

    /** The shallow thread stops with its whole 3-frame stack; the deep one with its top 8 and "more". */
    @ParameterizedTest
    @CsvSource({"303, shallow_main, 3, 3, false", "201, deep_bottom, 8, 0, true"})
    void breakpointHitCarriesItsThreadAndTopFrames(int line, String function, int frames, int total,
            boolean truncated) throws IOException {
        long engine = attached(STACKS, "12");
        BreakpointInfo bp = breakAt(engine, line);
        SpecDebugEvent stop = continueToRest(engine);
        assertAll(stop.toString(),
                () -> assertEquals(SpecDebugEvent.STOPPED, stop.eventType),
                () -> assertEquals("breakpoint", stop.stopReason),
                () -> assertEquals(bp.breakpointId, stop.breakpointId),
                () -> assertNotEquals(0, stop.threadId),
                () -> assertEquals("", stop.signalName),
                () -> assertEquals(total, stop.totalFrameCount),
                () -> assertEquals(truncated, stop.stackFramesTruncated),
                () -> assertEquals(frames, stop.stackFrames.length));
        StackFrameInfo top = stop.stackFrames[0];
        assertEquals(function, top.functionName);
        assertEquals(line, top.line);
        assertTrue(top.filePath.endsWith("/" + SOURCE), top.filePath);
        for (int i = 0; i < stop.stackFrames.length; i++) {
            assertEquals(i, stop.stackFrames[i].frameId);
            assertEquals(((long) stop.threadId << 32) | i, stop.stackFrames[i].frameHandle);
        }
    }

    @Test
    void continueThenPauseOfARunningProcess() throws IOException {
        long engine = attached(HOT);
        assertTrue(Events.continueUntilRunning(engine));
        assertFalse(LLDBNativeWrapper.continueExecution(engine), "already running");
        assertTrue(LLDBNativeWrapper.pauseExecution(engine));
        SpecDebugEvent stop = Events.nextRest(engine);
        assertNotNull(stop);
        assertEquals(SpecDebugEvent.STOPPED, stop.eventType);
        assertTrue(stop.stackFrames.length > 0);
    }

    @Test
    void everyStepEndsInAStepStop() throws IOException {
        long engine = attached(HOT);
        BreakpointInfo bp = breakAt(engine, HOT_CALL);
        SpecDebugEvent hit = continueToRest(engine);
        assertEquals(bp.breakpointId, hit.breakpointId);
        assertTrue(LLDBNativeWrapper.deleteBreakpoint(engine, 0, bp.breakpointId));
        long tid = hit.threadId;
        List<Object[]> steps = List.of(
                new Object[] {"into", (BiPredicate<Long, Long>) LLDBNativeWrapper::stepInto, "leaf"},
                new Object[] {"out", (BiPredicate<Long, Long>) LLDBNativeWrapper::stepOut, "hot_spot"},
                new Object[] {"over", (BiPredicate<Long, Long>) LLDBNativeWrapper::stepOver, "hot_spot"},
                new Object[] {"stepi", (BiPredicate<Long, Long>) LLDBNativeWrapper::stepInstructionInto, "hot_spot"},
                new Object[] {"nexti", (BiPredicate<Long, Long>) LLDBNativeWrapper::stepInstructionOver, "hot_spot"});
        for (Object[] step : steps) {
            @SuppressWarnings("unchecked")
            BiPredicate<Long, Long> native_ = (BiPredicate<Long, Long>) step[1];
            assertTrue(native_.test(engine, tid), step[0] + " refused");
            SpecDebugEvent stop = Events.nextRest(engine);
            assertNotNull(stop, step[0] + ": no stop");
            assertAll(step[0] + ": " + stop,
                    () -> assertEquals(SpecDebugEvent.STOPPED, stop.eventType),
                    () -> assertEquals("step", stop.stopReason),
                    () -> assertEquals(tid, stop.threadId),
                    () -> assertEquals(step[2], stop.stackFrames[0].functionName));
        }
    }

    @Test
    void aStepAskedForWhileRunningStopsTheProcessFirst() throws IOException {
        long engine = attached(HOT);
        assertTrue(Events.continueUntilRunning(engine));
        assertTrue(LLDBNativeWrapper.stepOver(engine, 0));
        SpecDebugEvent step = Events.nextRest(engine);
        assertNotNull(step, "the step never completed");
        assertEquals(SpecDebugEvent.STOPPED, step.eventType);
        assertEquals("step", step.stopReason, step::toString);
        assertTrue(step.stackFrames.length > 0);
    }

    @Test
    void runToAddressStopsThereAndLeavesNoBreakpoint() throws IOException {
        long engine = attached(HOT);
        assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine, "expression -- (unsigned long)&leaf"));
        Matcher value = Pattern.compile("= (\\d+)").matcher(LLDBNativeWrapper.getLastInterpreterCommandOutput());
        assertTrue(value.find(), LLDBNativeWrapper::getLastInterpreterCommandOutput);
        long leaf = Long.parseLong(value.group(1));

        assertFalse(LLDBNativeWrapper.runToAddress(engine, 0, 0));
        assertTrue(LLDBNativeWrapper.runToAddress(engine, 0, leaf));
        SpecDebugEvent stop = Events.nextRest(engine);
        assertNotNull(stop);
        assertEquals(SpecDebugEvent.STOPPED, stop.eventType);
        assertEquals("leaf", stop.stackFrames[0].functionName);
        assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine, "breakpoint list"));
        assertTrue(LLDBNativeWrapper.getLastInterpreterCommandOutput().contains("No breakpoints currently set"),
                LLDBNativeWrapper::getLastInterpreterCommandOutput);
    }

    /** The loop passes a breakpoint whose condition never holds and stops at the next one. */
    @Test
    void aBreakpointWhoseConditionIsFalseIsNotHit() throws IOException {
        long engine = attached(HOT);
        BreakpointInfo never = breakAt(engine, HOT_LOOP);
        assertTrue(LLDBNativeWrapper.setBreakpointCondition(engine, 0, never.breakpointId, "i < 0"));
        BreakpointInfo after = breakAt(engine, HOT_AFTER_CALL);
        assertEquals(after.breakpointId, continueToRest(engine).breakpointId);
        assertFalse(LLDBNativeWrapper.setBreakpointCondition(engine, 0, 4242, "1"));
    }

    /** A disabled breakpoint is passed: the loop stops at the enabled one after it. */
    @Test
    void aDisabledBreakpointIsNotHit() throws IOException {
        long engine = attached(HOT);
        BreakpointInfo disabled = breakAt(engine, HOT_LOOP);
        assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine, "breakpoint disable " + disabled.breakpointId));
        BreakpointInfo after = breakAt(engine, HOT_AFTER_CALL);
        assertEquals(after.breakpointId, continueToRest(engine).breakpointId);
    }

    /** Stops that LLDB resumes by itself (auto-continue) reach Java as running, never as stops. */
    @Test
    void autoContinuedStopsArriveAsRunning() throws IOException {
        long engine = attached(HOT);
        BreakpointInfo bp = breakAt(engine, HOT_LOOP);
        assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine,
                "breakpoint modify --auto-continue true " + bp.breakpointId));
        assertTrue(LLDBNativeWrapper.continueExecution(engine));
        List<SpecDebugEvent> seen = Events.during(engine, Duration.ofSeconds(2));
        assertFalse(seen.isEmpty());
        for (SpecDebugEvent event : seen) {
            assertEquals(SpecDebugEvent.RUNNING, event.eventType, event::toString);
        }
        // At rest before teardown: removing the breakpoint may stop the process by itself.
        assertTrue(LLDBNativeWrapper.deleteBreakpoint(engine, 0, bp.breakpointId));
        if (Events.next(engine, e -> e.eventType != SpecDebugEvent.RUNNING, Duration.ofSeconds(2), null) == null) {
            assertTrue(LLDBNativeWrapper.pauseExecution(engine));
            assertNotNull(Events.nextRest(engine));
        }
    }

    @Test
    void removalReportsWhetherTheBreakpointExisted() throws IOException {
        long engine = attached(HOT);
        BreakpointInfo bp = breakAt(engine, HOT_LOOP);
        assertFalse(LLDBNativeWrapper.deleteBreakpoint(engine, 0, 4242));
        assertTrue(LLDBNativeWrapper.deleteBreakpoint(engine, 0, bp.breakpointId));
        assertFalse(LLDBNativeWrapper.deleteBreakpoint(engine, 0, bp.breakpointId));
        BreakpointInfo none = LLDBNativeWrapper.setBreakpoint(engine, 0, null, 10);
        assertFalse(none.valid);
        assertEquals("no file or fallback paths", none.errorMessage);
    }

    @Test
    void terminationEndsInAnExitedEvent() throws IOException {
        Debuggee debuggee = fixture.debuggee(NAME, HOT);
        long engine = fixture.attachedEngine(debuggee);
        assertTrue(Events.continueUntilRunning(engine));
        assertTrue(ProcessHandle.of(debuggee.pid()).orElseThrow().destroy(), "SIGTERM");
        SpecDebugEvent signal = Events.nextRest(engine);
        assertNotNull(signal);
        assertEquals("signal", signal.stopReason);
        SpecDebugEvent exited = continueToRest(engine);
        assertEquals(SpecDebugEvent.EXITED, exited.eventType, exited::toString);
        assertEquals(0, exited.stackFrames.length);
        assertNull(LLDBNativeWrapper.waitForEvent(engine, 1), "nothing after the exit");
    }

    /** Refused handles and arguments fail without touching any engine or the current engine. */
    @Test
    void badHandlesAndArgumentsFail() throws IOException {
        long engine = attached(STACKS, "12");
        breakAt(engine, SHALLOW_LOOP);
        SpecDebugEvent stop = continueToRest(engine);
        long stale = fixture.engine();
        fixture.destroy(stale);
        assertAll(
                () -> assertFalse(LLDBNativeWrapper.stepOver(0, 0)),
                () -> assertFalse(LLDBNativeWrapper.stepInto(stale, 0)),
                () -> assertFalse(LLDBNativeWrapper.stepOut(0, 0)),
                () -> assertFalse(LLDBNativeWrapper.stepInstructionInto(0, 0)),
                () -> assertFalse(LLDBNativeWrapper.stepInstructionOver(0, 0)),
                () -> assertFalse(LLDBNativeWrapper.runToAddress(engine, 0, 0)),
                () -> assertFalse(LLDBNativeWrapper.pauseExecution(stale)),
                () -> assertNull(LLDBNativeWrapper.setBreakpoint(stale, 0, SOURCE, HOT_LOOP)),
                () -> assertFalse(LLDBNativeWrapper.deleteBreakpoint(0, 0, 1)),
                () -> assertFalse(LLDBNativeWrapper.setBreakpointCondition(stale, 0, 1, "1")));
        // The engine that waited last is still the current one: its stack is reachable.
        assertNotNull(LLDBNativeWrapper.getStackTrace(stop.threadId));
        assertNull(LLDBNativeWrapper.waitForEvent(stale, 1));
        assertNull(LLDBNativeWrapper.getStackTrace(stop.threadId), "a stale current engine is refused");
        assertFalse(LLDBNativeWrapper.continueExecution(stale));
    }
}
