package org.qzt.kmp.tools.ohos.debugger.testsupport;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.util.ArrayDeque;
import java.util.Deque;
import java.util.LinkedHashSet;
import java.util.Map;
import java.util.Set;

import org.junit.jupiter.api.extension.AfterEachCallback;
import org.junit.jupiter.api.extension.BeforeEachCallback;
import org.junit.jupiter.api.extension.ExtensionContext;
import org.qzt.kmp.tools.ohos.debugger.cli.Debuggee;
import org.qzt.kmp.tools.ohos.debugger.cli.LocalPlatform;
import org.qzt.kmp.tools.ohos.debugger.cli.LocalSetup;
import org.qzt.kmp.tools.ohos.debugger.jni.LLDBNativeWrapper;

/**
 * Per-test owner of everything a debugger test starts: engines, debuggee programs and the loopback
 * lldb-server platform. After each test, passed or failed, it destroys the engines first (so that they
 * detach) and then kills the processes by pid, newest first.
 *
 * <pre>
 * &#64;RegisterExtension final DebugFixture fixture = new DebugFixture();
 * </pre>
 */
public final class DebugFixture implements BeforeEachCallback, AfterEachCallback {
    public static final String SESSION_TARGET = "session_target";

    private static boolean lldbStarted;

    private final Set<Long> engines = new LinkedHashSet<>();
    private final Deque<AutoCloseable> processes = new ArrayDeque<>();
    private LocalPlatform platform;

    @Override
    public void beforeEach(ExtensionContext context) {
        startLldbOnce();
    }

    @Override
    public void afterEach(ExtensionContext context) throws Exception {
        Exception failure = null;
        for (long engine : engines) {
            LLDBNativeWrapper.destroyDebugger(engine);
        }
        engines.clear();
        while (!processes.isEmpty()) {
            try {
                processes.removeFirst().close();
            } catch (Exception e) {
                if (failure == null) {
                    failure = e;
                } else {
                    failure.addSuppressed(e);
                }
            }
        }
        platform = null;
        if (failure != null) {
            throw failure;
        }
    }

    /**
     * LLDB starts its Python interpreter with the first engine of the process and reads
     * {@code PYTHONPATH} only then. Whatever a test's first engine looks like, the process's first engine
     * gets the environment that Debian's LLDB needs.
     */
    private static synchronized void startLldbOnce() {
        if (!lldbStarted) {
            long engine = LLDBNativeWrapper.initDebugger(LocalSetup.lldbEnvironment());
            assertNotEquals(0L, engine, "initDebugger failed for the first engine of the test JVM");
            LLDBNativeWrapper.destroyDebugger(engine);
            lldbStarted = true;
        }
    }

    /** A new engine with the environment Debian's LLDB needs; destroyed after the test. */
    public long engine() {
        return engine(LocalSetup.lldbEnvironment());
    }

    /** A new engine made with {@code env}; destroyed after the test. */
    public long engine(Map<String, String> env) {
        long engine = LLDBNativeWrapper.initDebugger(env);
        assertNotEquals(0L, engine, "initDebugger returned no engine");
        engines.add(engine);
        return engine;
    }

    /** Destroys an engine of this fixture now instead of after the test. */
    public void destroy(long engine) {
        assertTrue(engines.remove(engine), "not an engine of this fixture");
        LLDBNativeWrapper.destroyDebugger(engine);
    }

    /** The loopback platform of this test, started on first use. */
    public LocalPlatform platform() throws IOException {
        if (platform == null) {
            platform = LocalPlatform.start();
            processes.addFirst(platform);
        }
        return platform;
    }

    /** Starts a debuggee program of the fixture directory; killed after the test. */
    public Debuggee debuggee(String fixtureName, String... args) throws IOException {
        Debuggee debuggee = Debuggee.start(fixtureName, args);
        processes.addFirst(debuggee);
        return debuggee;
    }

    /** Connects {@code engine} to this test's platform as "remote-linux". */
    public void connect(long engine) throws IOException {
        String url = platform().connectUrl();
        assertTrue(LLDBNativeWrapper.selectPlatform(engine, "remote-linux"));
        assertTrue(LLDBNativeWrapper.connectPlatform(engine, url), "connectPlatform " + url);
    }

    /** A new engine connected to the loopback platform and attached to {@code debuggee}. */
    public long attachedEngine(Debuggee debuggee) throws IOException {
        long engine = engine();
        connect(engine);
        long attached = LLDBNativeWrapper.attachToProcess(engine, (int) debuggee.pid());
        assertEquals(engine, attached,
                () -> "attach to " + debuggee + ": " + LLDBNativeWrapper.getLastAttachErrorMessage());
        return engine;
    }
}
