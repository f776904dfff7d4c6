package org.qzt.kmp.tools.ohos.debugger.jni;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.qzt.kmp.tools.ohos.debugger.testsupport.RunControlTarget.*;

import java.io.IOException;
import java.util.Arrays;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.extension.RegisterExtension;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;
import org.qzt.kmp.tools.ohos.debugger.testsupport.DebugFixture;
import org.qzt.kmp.tools.ohos.debugger.testsupport.Events;

/** Thread lists, stacks and selection through {@link LLDBNativeWrapper} on real debuggees. */
class ThreadNativesTest {
    @RegisterExtension
    final DebugFixture fixture = new DebugFixture();

    private long attached(String... args) throws IOException {
        return fixture.attachedEngine(fixture.debuggee(NAME, args));
    }

    /** Breaks at the bottom of the deep recursion and returns that stop. */
    private static SpecDebugEvent stopAtDeepBottom(long engine) {
        assertTrue(LLDBNativeWrapper.setBreakpoint(engine, 0, SOURCE, DEEP_BOTTOM).valid);
        assertTrue(LLDBNativeWrapper.continueExecution(engine));
        SpecDebugEvent stop = Events.nextRest(engine);
        assertNotNull(stop);
        return stop;
    }

    /** 64 parked threads and the main thread: caps 0 and below list all, a positive cap that many. */
    @ParameterizedTest
    @CsvSource({"0, 65", "-3, 65", "2, 2", "1000, 65"})
    void threadListHonoursItsCap(int cap, int expected) throws IOException {
        long engine = attached(THREADS, "64");
        assertEquals(65, LLDBNativeWrapper.getThreadCount(engine));
        ThreadInfo[] threads = LLDBNativeWrapper.getThreadList(engine, cap);
        assertNotNull(threads);
        assertEquals(expected, threads.length);
        long current = LLDBNativeWrapper.getCurrentThread(engine);
        assertEquals(1, Arrays.stream(threads).filter(t -> t.currentThread).count());
        for (ThreadInfo t : threads) {
            assertAll(t.toString(),
                    () -> assertEquals(t.systemThreadId == current, t.currentThread),
                    () -> assertEquals(t.threadHandle, t.systemThreadId),
                    () -> assertTrue(t.threadId > 0, "index ids start at 1"),
                    () -> assertTrue(t.suspended),
                    () -> assertTrue(t.previewFrames.length > 0 && t.previewFrames.length <= 3),
                    () -> assertEquals(t.previewFrames[0].functionName, t.topFrame.functionName),
                    () -> assertEquals(t.previewFrames[0].frameHandle, t.systemThreadId << 32));
        }
        // Parked threads sit deep in the C library: the preview is cut and says so.
        ThreadInfo parked = threads[threads.length - 1];
        assertTrue(parked.framesTruncated);
        assertEquals(0, parked.totalFrameCount);
        assertTrue(LLDBNativeWrapper.getThreadNumFrames(engine, (int) parked.systemThreadId) > 3);
    }

    @Test
    void stackTraceAndSelectionOfTheDeepThread() throws IOException {
        long engine = attached(STACKS, "12");
        SpecDebugEvent stop = stopAtDeepBottom(engine);
        int tid = stop.threadId;

        StackFrameInfo[] stack = LLDBNativeWrapper.getStackTrace(tid);
        assertNotNull(stack);
        assertEquals(LLDBNativeWrapper.getThreadNumFrames(engine, tid), stack.length);
        assertEquals("deep_bottom", stack[0].functionName);
        assertEquals(12, Arrays.stream(stack).filter(f -> "recurse".equals(f.functionName)).count());
        for (int i = 0; i < stack.length; i++) {
            assertEquals(i, stack[i].frameId);
            assertEquals(((long) tid << 32) | i, stack[i].frameHandle);
        }
        assertEquals(stop.stackFrames[7].frameHandle, stack[7].frameHandle, "the stop's frames are the stack's top");

        assertEquals(((long) tid << 32) | 2, LLDBNativeWrapper.selectFrame(tid, 2));
        assertEquals(tid, LLDBNativeWrapper.getCurrentThread(engine));

        ThreadInfo other = Arrays.stream(LLDBNativeWrapper.getThreadList(engine, 0))
                .filter(t -> t.systemThreadId != tid).findFirst().orElseThrow();
        assertTrue(LLDBNativeWrapper.selectThread(engine, other.threadId));
        assertEquals(other.systemThreadId, LLDBNativeWrapper.getCurrentThread(engine));

        assertAll(
                () -> assertEquals(0, LLDBNativeWrapper.selectFrame(0, 0), "thread id 0 names no thread"),
                () -> assertEquals(0, LLDBNativeWrapper.selectFrame(tid, 5000)),
                () -> assertNull(LLDBNativeWrapper.getStackTrace(12345)),
                () -> assertFalse(LLDBNativeWrapper.selectThread(engine, 100000)),
                () -> assertEquals(0, LLDBNativeWrapper.getThreadNumFrames(engine, 0)));
    }

    /** A frame handle of the first listed thread reads that thread, whichever thread is selected. */
    @Test
    void frameHandleOfTheFirstThreadIsNotTheSelectedThread() throws IOException {
        long engine = attached(STACKS, "12");
        SpecDebugEvent stop = stopAtDeepBottom(engine);
        ThreadInfo[] threads = LLDBNativeWrapper.getThreadList(engine, 0);
        ThreadInfo deep = Arrays.stream(threads).filter(t -> t.systemThreadId == stop.threadId).findFirst().orElseThrow();
        assertTrue(LLDBNativeWrapper.selectThread(engine, deep.threadId));

        int first = (int) threads[0].systemThreadId;
        assertTrue(first != stop.threadId);
        StackFrameInfo mainFrame = Arrays.stream(LLDBNativeWrapper.getStackTrace(first))
                .filter(f -> "main".equals(f.functionName)).findFirst().orElseThrow();
        VariableInfo[] vars = LLDBNativeWrapper.getFrameVariables(mainFrame.frameHandle);
        assertNotNull(vars);
        assertTrue(Arrays.stream(vars).anyMatch(v -> "mode".equals(v.name)), Arrays.toString(vars));
    }

    @Test
    void badHandlesGiveFailureValues() {
        long stale = fixture.engine();
        fixture.destroy(stale);
        for (long handle : new long[] {0, stale}) {
            assertAll("handle " + handle,
                    () -> assertNull(LLDBNativeWrapper.getThreadList(handle, 0)),
                    () -> assertEquals(0, LLDBNativeWrapper.getThreadCount(handle)),
                    () -> assertEquals(0, LLDBNativeWrapper.getThreadNumFrames(handle, 1)),
                    () -> assertFalse(LLDBNativeWrapper.selectThread(handle, 1)),
                    () -> assertEquals(0, LLDBNativeWrapper.getCurrentThread(handle)));
        }
        // An engine without a process lists nothing.
        long idle = fixture.engine();
        assertEquals(0, LLDBNativeWrapper.getThreadList(idle, 0).length);
        assertEquals(0, LLDBNativeWrapper.getThreadCount(idle));
    }
}
