package org.qzt.kmp.tools.ohos.debugger.jni;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.io.IOException;
import java.net.ServerSocket;
import java.nio.file.Files;
import java.nio.file.Path;
import java.time.Duration;
import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.concurrent.CompletableFuture;
import java.util.concurrent.TimeUnit;
import java.util.function.Supplier;
import java.util.stream.Stream;

import org.junit.jupiter.api.Nested;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.extension.RegisterExtension;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;
import org.junit.jupiter.params.provider.NullAndEmptySource;
import org.junit.jupiter.params.provider.ValueSource;
import org.qzt.kmp.tools.ohos.debugger.cli.Debuggee;
import org.qzt.kmp.tools.ohos.debugger.testsupport.ChildJvm;
import org.qzt.kmp.tools.ohos.debugger.testsupport.DebugFixture;
import org.qzt.kmp.tools.ohos.debugger.testsupport.InterpreterProbe;
import org.qzt.kmp.tools.ohos.debugger.testsupport.ProcStatus;
import org.qzt.kmp.tools.ohos.debugger.testsupport.ProcStatus;

/**
 * Session natives of {@link LLDBNativeWrapper} against the real library, real LLDB and a real
 * lldb-server platform on 127.0.0.1: engine creation with the environment handover, platform choice and
 * connection, attach and detach, script import and interpreter commands with their library-wide messages.
 */
class SessionNativesTest {
    private static final Duration SETTLE = Duration.ofSeconds(10);

    @RegisterExtension
    final DebugFixture fixture = new DebugFixture();

    @Nested
    class EngineCreation {
        @Test
        void nullEnvironmentMapGivesNoEngine() {
            assertEquals(0L, LLDBNativeWrapper.initDebugger(null));
        }

        @Test
        void emptyEnvironmentMapGivesAWorkingEngine() {
            long engine = fixture.engine(Map.of());
            assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine, "settings show target.max-children-count"),
                    LLDBNativeWrapper::getLastInterpreterCommandOutput);
            assertTrue(LLDBNativeWrapper.getLastInterpreterCommandOutput().contains("target.max-children-count"));
        }

        @Test
        void eachCallMakesItsOwnEngine() {
            long first = fixture.engine();
            long second = fixture.engine();
            assertNotEquals(first, second);
        }

        /**
         * The pairs are in the process environment before LLDB starts its Python interpreter: the first
         * engine of a fresh JVM sees new names, overridden names and not a pair whose value is null.
         */
        @Test
        void environmentPairsAreVisibleToLldbsPython() throws Exception {
            ChildJvm run = ChildJvm.run(InterpreterProbe.class,
                    Map.of("NS_OVERRIDDEN", "inherited", "NS_NULL_VALUE", "inherited"),
                    "NS_FRESH=fresh value", "NS_OVERRIDDEN=from the map",
                    "NS_NULL_VALUE=" + InterpreterProbe.NULL_VALUE, "--",
                    printEnv("NS_FRESH"), printEnv("NS_OVERRIDDEN"), printEnv("NS_NULL_VALUE"));
            List<InterpreterProbe.Result> results = InterpreterProbe.results(run);
            assertEquals(3, results.size(), run::toString);
            assertAll(
                    () -> assertEquals("fresh value\n", results.get(0).output, run::toString),
                    () -> assertEquals("from the map\n", results.get(1).output, run::toString),
                    () -> assertEquals("inherited\n", results.get(2).output, run::toString));
        }

        private String printEnv(String name) {
            return "script import os; print(os.environ.get('" + name + "'))";
        }
    }

    @Nested
    class Platform {
        /**
         * The stored name reaches the next connect verbatim; null and "" restore "remote-ohos", which this
         * LLDB build does not have, so a connect with it fails against a live server.
         */
        @ParameterizedTest(name = "selectPlatform({0}) then connect: {1}")
        @MethodSource("org.qzt.kmp.tools.ohos.debugger.jni.SessionNativesTest#platformNames")
        void selectedNameIsUsedByTheNextConnect(String name, boolean connects) throws IOException {
            String url = fixture.platform().connectUrl();
            long engine = fixture.engine();
            assertTrue(LLDBNativeWrapper.selectPlatform(0L, name));
            try {
                assertEquals(connects, LLDBNativeWrapper.connectPlatform(engine, url));
            } finally {
                LLDBNativeWrapper.selectPlatform(0L, "remote-linux");
            }
        }

        @Test
        void nameChosenWithoutAnEngineAppliesToEveryEngine() throws IOException {
            String url = fixture.platform().connectUrl();
            assertTrue(LLDBNativeWrapper.selectPlatform(0L, "remote-linux"));
            assertTrue(LLDBNativeWrapper.connectPlatform(fixture.engine(), url));
            assertTrue(LLDBNativeWrapper.connectPlatform(fixture.engine(), url));
        }

        @Test
        void connectToAClosedPortFails() throws IOException {
            int closedPort;
            try (ServerSocket socket = new ServerSocket(0, 1, java.net.InetAddress.getLoopbackAddress())) {
                closedPort = socket.getLocalPort();
            }
            long engine = fixture.engine();
            assertTrue(LLDBNativeWrapper.selectPlatform(engine, "remote-linux"));
            assertFalse(LLDBNativeWrapper.connectPlatform(engine, "connect://127.0.0.1:" + closedPort));
        }
    }

    static Stream<Arguments> platformNames() {
        return Stream.of(
                Arguments.of("remote-linux", true),
                Arguments.of(null, false),
                Arguments.of("", false),
                Arguments.of("remote-ohos", false),
                Arguments.of("no-such-platform", false));
    }

    @Nested
    class Attach {
        @Test
        void successReturnsTheHandleClearsTheMessageAndMakesTheEngineCurrent() throws IOException {
            Debuggee debuggee = fixture.debuggee(DebugFixture.SESSION_TARGET);
            long failing = fixture.engine();
            fixture.connect(failing);
            assertEquals(0L, LLDBNativeWrapper.attachToProcess(failing, deadPid()));
            assertFalse(LLDBNativeWrapper.getLastAttachErrorMessage().isEmpty());

            fixture.attachedEngine(debuggee);

            assertEquals("", LLDBNativeWrapper.getLastAttachErrorMessage());
            StackFrameInfo[] stack = whenExported(() -> LLDBNativeWrapper.getStackTrace((int) debuggee.pid()));
            assertNotNull(stack, "the current engine should know the debuggee's main thread");
            assertTrue(stack.length > 0, "main thread has frames");
        }

        @Test
        void failedAttachKeepsTheCurrentEngine() throws IOException {
            Debuggee debuggee = fixture.debuggee(DebugFixture.SESSION_TARGET);
            fixture.attachedEngine(debuggee);
            long other = fixture.engine();
            fixture.connect(other);

            assertEquals(0L, LLDBNativeWrapper.attachToProcess(other, deadPid()));

            StackFrameInfo[] stack = whenExported(() -> LLDBNativeWrapper.getStackTrace((int) debuggee.pid()));
            assertNotNull(stack, "stack of the attached engine's main thread after another engine failed");
        }

        @Test
        void attachToAMissingProcessGivesLldbsMessage() throws IOException {
            long engine = fixture.engine();
            fixture.connect(engine);

            assertEquals(0L, LLDBNativeWrapper.attachToProcess(engine, deadPid()));

            String message = LLDBNativeWrapper.getLastAttachErrorMessage();
            assertFalse(message.isBlank(), "LLDB's error text");
            assertNotEquals("attach failed", message);
            assertNotEquals("createTarget failed (empty or invalid SBTarget)", message);
        }

        @Test
        void detachLeavesTheDebuggeeRunningAndAttachableAgain() throws Exception {
            Debuggee debuggee = fixture.debuggee(DebugFixture.SESSION_TARGET);
            long engine = fixture.attachedEngine(debuggee);
            ProcStatus attached = ProcStatus.await(debuggee.pid(), s -> s.state == 't', SETTLE);
            assertEquals('t', attached.state, "attach stops the debuggee under the tracer");

            assertTrue(LLDBNativeWrapper.detachProcess(engine));

            ProcStatus status = ProcStatus.await(debuggee.pid(), ProcStatus::runsFreely, SETTLE);
            assertTrue(status.runsFreely(), status::toString);
            assertTrue(debuggee.isAlive());
            assertFalse(LLDBNativeWrapper.detachProcess(engine), "nothing left to detach");
            fixture.attachedEngine(debuggee);
        }

        @Test
        void destroyingAnAttachedEngineDetachesFirst() throws Exception {
            Debuggee debuggee = fixture.debuggee(DebugFixture.SESSION_TARGET);
            long engine = fixture.attachedEngine(debuggee);

            fixture.destroy(engine);

            ProcStatus status = ProcStatus.await(debuggee.pid(), ProcStatus::runsFreely, SETTLE);
            assertTrue(status.runsFreely(), status::toString);
            assertTrue(debuggee.isAlive());
        }

        @Test
        void detachWithoutAProcessReportsFalse() {
            assertFalse(LLDBNativeWrapper.detachProcess(fixture.engine()));
        }
    }

    @Nested
    class InterpreterCommands {
        @Test
        void outputThenOneNewlineThenError() {
            long engine = fixture.engine();
            run(engine, "script exec(\"def ns_both(debugger, command, result, internal_dict):\\n"
                    + "    result.AppendMessage('first')\\n    result.SetError('second')\", globals())");
            run(engine, "command script add -f ns_both ns_both");

            assertFalse(LLDBNativeWrapper.handleInterpreterCommand(engine, "ns_both"));
            assertEquals("first\n\nerror: second\n", LLDBNativeWrapper.getLastInterpreterCommandOutput());
        }

        @Test
        void failedCommandLeavesLldbsErrorText() {
            assertFalse(LLDBNativeWrapper.handleInterpreterCommand(fixture.engine(), "no-such-command"));
            assertTrue(LLDBNativeWrapper.getLastInterpreterCommandOutput().startsWith("error: "),
                    LLDBNativeWrapper::getLastInterpreterCommandOutput);
        }

        @ParameterizedTest(name = "command [{0}] succeeds without output")
        @NullAndEmptySource
        void emptyCommandDoesNothing(String command) {
            long engine = fixture.engine();
            run(engine, "script print('left over')");

            assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine, command));
            assertEquals("", LLDBNativeWrapper.getLastInterpreterCommandOutput());
        }

        @Test
        void noEngineFailsWithEmptyOutput() {
            run(fixture.engine(), "script print('left over')");

            assertFalse(LLDBNativeWrapper.handleInterpreterCommand(0L, "script print(1)"));
            assertEquals("", LLDBNativeWrapper.getLastInterpreterCommandOutput());
        }

        /** Python C extensions need libpython's symbols loaded globally, which a JVM does not do. */
        @ParameterizedTest(name = "script import {0}")
        @ValueSource(strings = {"ctypes", "_json", "mmap"})
        void pythonExtensionModulesLoad(String module) {
            long engine = fixture.engine();
            assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine,
                    "script import " + module + "; print('loaded', " + module + ".__name__)"));
            assertEquals("loaded " + module + "\n", LLDBNativeWrapper.getLastInterpreterCommandOutput());
        }

        private void run(long engine, String command) {
            assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine, command),
                    () -> command + ": " + LLDBNativeWrapper.getLastInterpreterCommandOutput());
        }
    }

    @Nested
    class ScriptImport {
        @Test
        void missingScriptFailsWithLldbsMessageAndAnImportLine(@TempDir Path dir) throws Exception {
            String missing = dir.resolve("missing_formatter.py").toString();
            ChildJvm run = ChildJvm.run(InterpreterProbe.class, Map.of(), "--", "import:" + missing);

            List<InterpreterProbe.Result> results = InterpreterProbe.results(run);
            assertEquals(1, results.size(), run::toString);
            assertFalse(results.get(0).ok);
            assertTrue(results.get(0).output.contains(missing), () -> "LLDB's message: " + results.get(0));
            assertTrue(Arrays.asList(run.stderr.split("\n"))
                            .contains("[LLDB_IMPORT] failed cmd=command script import " + missing),
                    run::toString);
        }

        @Test
        void existingScriptIsImported(@TempDir Path dir) throws IOException {
            Path script = dir.resolve("ns_formatter.py");
            Files.writeString(script, "def __lldb_init_module(debugger, internal_dict):\n"
                    + "    debugger.HandleCommand('command alias ns_loaded_alias help')\n");
            long engine = fixture.engine();

            assertTrue(LLDBNativeWrapper.loadKotlinScript(engine, script.toString()),
                    LLDBNativeWrapper::getLastInterpreterCommandOutput);
            assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine, "ns_loaded_alias"),
                    "the script's init function ran");
        }

        @Test
        void noEngineIsReported() {
            assertFalse(LLDBNativeWrapper.loadKotlinScript(0L, "/any/formatter.py"));
            assertEquals("debugger handle is 0", LLDBNativeWrapper.getLastInterpreterCommandOutput());
        }
    }

    @Test
    void execSearchPathIsAppendedToLldbsSetting(@TempDir Path dir) {
        long engine = fixture.engine();
        assertTrue(LLDBNativeWrapper.setExecSearchPath(engine, dir.toString()));
        assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine, "settings show target.exec-search-paths"));
        assertTrue(LLDBNativeWrapper.getLastInterpreterCommandOutput().contains(dir.toString()),
                LLDBNativeWrapper::getLastInterpreterCommandOutput);
    }

    /**
     * Destroying an engine while another thread is inside one of its natives must not pull the engine
     * away under that call: the wait ends normally and the engine is gone afterwards.
     */
    @Test
    void destroyDuringAWaitOnAnotherThreadIsSafe() throws Exception {
        Debuggee debuggee = fixture.debuggee(DebugFixture.SESSION_TARGET);
        long engine = fixture.attachedEngine(debuggee);
        for (int i = 0; i < 20; i++) {
            LLDBNativeWrapper.waitForEvent(engine, 0);  // events of the attach: the wait below finds none
        }
        CompletableFuture<SpecDebugEvent> wait = CompletableFuture.supplyAsync(
                () -> LLDBNativeWrapper.waitForEvent(engine, 2));
        Thread.sleep(300);
        fixture.destroy(engine);
        assertFalse(wait.isDone());
        assertEquals(0, LLDBNativeWrapper.getThreadCount(engine), "the handle is dead at once");
        assertTrue(ProcStatus.of(debuggee.pid()).tracerPid != 0, "the waiting call still holds the engine");

        assertNull(wait.get(30, TimeUnit.SECONDS), "a stopped process posts nothing");
        ProcStatus after = ProcStatus.await(debuggee.pid(), s -> s.tracerPid == 0, Duration.ofSeconds(10));
        assertEquals(0, after.tracerPid, "the engine detached once the wait was over");
        assertTrue(debuggee.isAlive());
    }

    /** A pid that no process has: that of a process that has already ended and been reaped. */
    private static int deadPid() {
        try {
            Process process = new ProcessBuilder("true").start();
            process.waitFor();
            return (int) process.pid();
        } catch (IOException | InterruptedException e) {
            throw new IllegalStateException(e);
        }
    }

    /** Calls a native that a later stage of the library provides; skips the test while it is missing. */
    private static <T> T whenExported(Supplier<T> call) {
        try {
            return call.get();
        } catch (UnsatisfiedLinkError missing) {
            assumeTrue(false, "native not exported yet: " + missing.getMessage());
            return null;
        }
    }
}
