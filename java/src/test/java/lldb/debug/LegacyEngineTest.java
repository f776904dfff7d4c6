package lldb.debug;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.lang.ref.WeakReference;
import java.util.ArrayList;
import java.util.List;
import java.util.Optional;
import java.util.stream.Collectors;

import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.extension.RegisterExtension;
import org.qzt.kmp.tools.lldb.debug.Breakpoint;
import org.qzt.kmp.tools.lldb.debug.DebugEvent;
import org.qzt.kmp.tools.lldb.debug.DebugEventListener;
import org.qzt.kmp.tools.lldb.debug.EvalResult;
import org.qzt.kmp.tools.lldb.debug.EventType;
import org.qzt.kmp.tools.lldb.debug.Frame;
import org.qzt.kmp.tools.lldb.debug.MemoryBlock;
import org.qzt.kmp.tools.lldb.debug.ProcessInfo;
import org.qzt.kmp.tools.lldb.debug.ProcessState;
import org.qzt.kmp.tools.lldb.debug.RegisterSet;
import org.qzt.kmp.tools.lldb.debug.StopReason;
import org.qzt.kmp.tools.lldb.debug.Thread;
import org.qzt.kmp.tools.lldb.debug.ValueType;
import org.qzt.kmp.tools.lldb.debug.Variable;
import org.qzt.kmp.tools.ohos.debugger.cli.Debuggee;
import org.qzt.kmp.tools.ohos.debugger.testsupport.DebugFixture;

/**
 * The older interface end to end against legacy_target, which calls visit() every 10 ms; line 18 of visit()
 * sees its two arguments and its local {@code sum}. Engines made here with nCreate are destroyed with nDestroy after each test.
 */
class LegacyEngineTest {
    private static final String SOURCE = "legacy_target.c";
    private static final int VISIT_LINE = 18;

    @RegisterExtension
    final DebugFixture fixture = new DebugFixture();

    private final List<Long> engines = new ArrayList<>();

    /** Records every event it receives. */
    static final class Recorder implements DebugEventListener {
        final List<DebugEvent> events = new ArrayList<>();

        @Override
        public void onEvent(DebugEvent event) {
            events.add(event);
        }

        List<String> kinds() {
            return events.stream().map(e -> e.type + ":" + e.breakpointId).collect(Collectors.toList());
        }
    }

    private long create() {
        long engine = LldbDebugEngine.nCreate();
        assertNotEquals(0L, engine);
        engines.add(engine);
        return engine;
    }

    @AfterEach
    void destroyEngines() {
        engines.forEach(LldbDebugEngine::nDestroy);
    }

    /** A new engine attached to a fresh legacy_target. This LLDB has no "remote-ohos" platform, so the
     * older nConnectPlatform cannot connect; the same engine is connected through the newer interface. */
    private long attached(Recorder recorder) throws IOException {
        Debuggee debuggee = fixture.debuggee("legacy_target");
        long engine = create();
        if (recorder != null) {
            LldbDebugEngine.nSetEventListener(engine, recorder);
        }
        assertFalse(LldbDebugEngine.nConnectPlatform(engine, fixture.platform().connectUrl()));
        fixture.connect(engine);
        assertTrue(LldbDebugEngine.nCreateTarget(engine));
        assertTrue(LldbDebugEngine.nAttach(engine, debuggee.pid()));
        return engine;
    }

    private static void waitForStop(long engine) {
        for (int attempt = 0; attempt < 10; attempt++) {
            if (LldbDebugEngine.nWaitForStopEvent(engine, 5)) {
                return;
            }
        }
        throw new AssertionError("no stop event");
    }

    private static Breakpoint breakpoint(long engine, int id) {
        return LldbDebugEngine.nGetBreakpoints(engine).stream().filter(b -> b.id == id).findFirst().orElseThrow();
    }

    private static Variable named(List<Variable> variables, String name) {
        Optional<Variable> found = variables.stream().filter(v -> name.equals(v.name)).findFirst();
        return found.orElseThrow(() -> new AssertionError("no " + name + " in " + variables));
    }

    @Test
    void sessionThroughTheOlderInterface() throws IOException {
        Recorder recorder = new Recorder();
        long engine = attached(recorder);
        assertTrue(LldbDebugEngine.nHasProcess(engine));
        ProcessInfo info = LldbDebugEngine.nGetProcessInfo(engine);
        assertEquals(ProcessState.STOPPED, info.state);
        assertTrue(info.executable.endsWith("legacy_target"), info.executable);
        assertEquals(List.of("STATE_CHANGED:0"), recorder.kinds(), "the attach reports its stop");
        assertEquals(ProcessState.STOPPED, recorder.events.get(0).newState);

        int byLine = LldbDebugEngine.nAddBreakpointByLocation(engine, SOURCE, VISIT_LINE);
        int byName = LldbDebugEngine.nAddBreakpointByName(engine, "main");
        assertTrue(byLine > 0 && byName > 0 && byLine != byName);
        assertEquals(List.of("BREAKPOINT_ADDED:" + byLine, "BREAKPOINT_ADDED:" + byName),
                recorder.kinds().subList(1, 3));
        Breakpoint line = breakpoint(engine, byLine);
        assertAll(() -> assertEquals(VISIT_LINE, line.line),
                () -> assertTrue(line.file.endsWith(SOURCE), line.file),
                () -> assertFalse(line.locations.isEmpty()),
                () -> assertTrue(line.locations.get(0).resolved),
                () -> assertTrue(breakpoint(engine, byName).locations.get(0).resolved));
        assertTrue(LldbDebugEngine.nSetBreakpointEnabled(engine, byName, false));
        assertFalse(breakpoint(engine, byName).enabled);

        assertTrue(LldbDebugEngine.nContinue(engine));
        waitForStop(engine);
        List<Thread> threads = LldbDebugEngine.nGetThreads(engine);
        assertEquals(1, threads.size());
        Thread thread = threads.get(0);
        assertAll(() -> assertEquals(StopReason.BREAKPOINT, thread.stopReason),
                () -> assertEquals(StopReason.BREAKPOINT, thread.stopInfo.reason),
                () -> assertEquals(byLine, thread.stopInfo.breakpointId),
                () -> assertNotEquals(0, thread.id));
        Frame top = thread.frames.get(0);
        assertAll(() -> assertEquals("visit", top.functionName),
                () -> assertTrue(top.hasDebugInfo),
                () -> assertEquals(SOURCE, top.location.filename),
                () -> assertTrue(top.location.file.endsWith(SOURCE), top.location.file),
                () -> assertEquals(VISIT_LINE, top.location.line),
                () -> assertEquals("main", thread.frames.get(1).functionName),
                () -> assertEquals(1, thread.frames.get(1).index));

        List<Variable> locals = LldbDebugEngine.nGetVariables(engine, 0, 0);
        Variable where = named(locals, "where");
        assertAll(() -> assertEquals(ValueType.ARGUMENT, where.valueType),
                () -> assertEquals(ValueType.ARGUMENT, named(locals, "step").valueType),
                () -> assertEquals(ValueType.LOCAL, named(locals, "sum").valueType),
                () -> assertTrue(where.hasChildren));
        List<Variable> origin = LldbDebugEngine.nGetVariableChildren(engine, where.variableId);
        assertFalse(origin.isEmpty(), "children of " + where.variableId);

        EvalResult sum = LldbDebugEngine.nEvaluate(engine, 0, 0, "where->x + where->y");
        assertTrue(sum.success, sum.error);
        assertEquals("7", sum.result.value);
        EvalResult broken = LldbDebugEngine.nEvaluate(engine, 0, 0, "where->no_such_field");
        assertFalse(broken.success);
        assertFalse(broken.error.isEmpty());
        assertNull(broken.result);

        MemoryBlock empty = LldbDebugEngine.nReadMemory(engine, top.pc, 0);
        assertNotNull(empty.data);
        assertEquals(0, empty.data.length);
        MemoryBlock code = LldbDebugEngine.nReadMemory(engine, top.pc, 16);
        assertEquals(16, code.bytesRead);
        assertEquals(16, code.data.length);
        assertEquals(top.pc, code.address);

        List<RegisterSet> sets = LldbDebugEngine.nGetRegisterSets(engine, 0, 0);
        assertFalse(sets.isEmpty());
        assertTrue(sets.get(0).registers.stream().anyMatch(r -> r.name.equals("rip") && !r.value.isEmpty()),
                () -> sets.get(0).name);

        assertTrue(LldbDebugEngine.nSetSelectedThread(engine, 0));
        assertFalse(LldbDebugEngine.nSetSelectedThread(engine, 5));
        assertTrue(LldbDebugEngine.nSetSelectedFrame(engine, 0, 0));

        assertTrue(LldbDebugEngine.nStepOver(engine));
        waitForStop(engine);
        assertEquals(VISIT_LINE + 1, LldbDebugEngine.nGetThreads(engine).get(0).frames.get(0).location.line);

        int before = recorder.events.size();
        assertTrue(LldbDebugEngine.nRemoveBreakpoint(engine, byLine));
        assertEquals("BREAKPOINT_REMOVED:" + byLine, recorder.kinds().get(before));
        LldbDebugEngine.nSetEventListener(engine, null);
        int silent = recorder.events.size();
        assertTrue(LldbDebugEngine.nAddBreakpointByName(engine, "visit") > 0);
        assertEquals(silent, recorder.events.size(), "a cleared listener hears nothing");

        assertTrue(LldbDebugEngine.nDetach(engine));
        assertFalse(LldbDebugEngine.nHasProcess(engine));
    }

    @Test
    void listenerSlotChangingHandsReleasesTheFormerListener() {
        long first = create();
        long second = create();
        assertTrue(LldbDebugEngine.nCreateTarget(first));
        assertTrue(LldbDebugEngine.nCreateTarget(second));
        Recorder firstListener = new Recorder();
        WeakReference<Recorder> firstRef = new WeakReference<>(firstListener);
        LldbDebugEngine.nSetEventListener(first, firstListener);
        assertTrue(LldbDebugEngine.nAddBreakpointByName(first, "a") > 0);
        assertEquals(1, firstListener.events.size());

        Recorder secondListener = new Recorder();
        LldbDebugEngine.nSetEventListener(second, secondListener);
        assertTrue(LldbDebugEngine.nAddBreakpointByName(first, "b") > 0);
        assertEquals(1, firstListener.events.size(), "the first engine lost its callback");
        assertTrue(secondListener.events.isEmpty(), "the first engine does not deliver to the second listener");
        assertTrue(LldbDebugEngine.nAddBreakpointByName(second, "c") > 0);
        assertEquals(1, secondListener.events.size());

        firstListener = null;
        assertTrue(collected(firstRef), "the first listener's global reference was released");

        WeakReference<Recorder> secondRef = new WeakReference<>(secondListener);
        secondListener = null;
        LldbDebugEngine.nDestroy(second);
        engines.remove(Long.valueOf(second));
        assertTrue(collected(secondRef), "nDestroy releases the slot's global reference");
    }

    @Test
    void listenerWithoutOnEventIsRefusedAndKept() {
        long engine = create();
        assertTrue(LldbDebugEngine.nCreateTarget(engine));
        Recorder recorder = new Recorder();
        LldbDebugEngine.nSetEventListener(engine, recorder);
        WeakReference<Object> ref = registerObjectWithoutOnEvent(engine);
        assertTrue(LldbDebugEngine.nAddBreakpointByName(engine, "a") > 0);
        assertTrue(recorder.events.isEmpty(), "the engine has no callback after the refused listener");
        assertTrue(collected(ref), "no global reference is kept for the refused object");
    }

    @Test
    void handlesThatNameNoEngineGiveFailureValues() {
        long stale = LldbDebugEngine.nCreate();
        LldbDebugEngine.nDestroy(stale);
        for (long handle : new long[] {0L, stale}) {
            LldbDebugEngine.nSetEventListener(handle, new Recorder());
            assertAll(() -> assertFalse(LldbDebugEngine.nCreateTarget(handle)),
                    () -> assertFalse(LldbDebugEngine.nConnectPlatform(handle, "connect://127.0.0.1:1")),
                    () -> assertEquals(0, LldbDebugEngine.nAddBreakpointByName(handle, "main")),
                    () -> assertNull(LldbDebugEngine.nGetThreads(handle)),
                    () -> assertNull(LldbDebugEngine.nGetProcessInfo(handle)),
                    () -> assertNull(LldbDebugEngine.nReadMemory(handle, 0x1000, 4)),
                    () -> assertNull(LldbDebugEngine.nEvaluate(handle, 0, 0, "1")));
            LldbDebugEngine.nDestroy(handle);
        }
    }

    private static WeakReference<Object> registerObjectWithoutOnEvent(long engine) {
        Object notAListener = new Object();
        assertThrows(NoSuchMethodError.class, () -> LldbDebugEngine.nSetEventListener(engine, notAListener));
        return new WeakReference<>(notAListener);
    }

    private static boolean collected(WeakReference<?> ref) {
        for (int i = 0; i < 50 && ref.get() != null; i++) {
            System.gc();
            try {
                java.lang.Thread.sleep(20);
            } catch (InterruptedException e) {
                java.lang.Thread.currentThread().interrupt();
                return false;
            }
        }
        return ref.get() == null;
    }
}
