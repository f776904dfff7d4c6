package org.qzt.kmp.tools.ohos.debugger.cli;

import java.io.IOException;
import java.io.PrintStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayDeque;
import java.util.Deque;
import java.util.HashMap;
import java.util.List;
import java.util.Map;

import org.qzt.kmp.tools.ohos.debugger.jni.BreakpointInfo;
import org.qzt.kmp.tools.ohos.debugger.jni.FrameVariablesPage;
import org.qzt.kmp.tools.ohos.debugger.jni.LLDBNativeWrapper;
import org.qzt.kmp.tools.ohos.debugger.jni.NativeLibraryLoader;
import org.qzt.kmp.tools.ohos.debugger.jni.SpecDebugEvent;
import org.qzt.kmp.tools.ohos.debugger.jni.StackFrameInfo;
import org.qzt.kmp.tools.ohos.debugger.jni.ThreadInfo;
import org.qzt.kmp.tools.ohos.debugger.jni.VariableInfo;

/**
 * Command-line front end of the nativescope debugger bridge.
 *
 * <pre>
 * nativescope-cli demo [--fixture NAME] [--break FILE:LINE]
 *     starts a debuggee from the fixture directory and an lldb-server platform on 127.0.0.1, attaches
 *     through the "remote-linux" platform, prints the process facts, sets a breakpoint (by default in the
 *     default fixture's tick loop), continues to it and prints the stop event, the threads and the
 *     stopped thread's stack, the first page of the top frame's variables and the children of its first
 *     expandable one, then detaches and stops both again; with --fixture kotlin_objects the variables
 *     are Kotlin/Native objects, shown with the fixture's Kotlin formatter script
 * nativescope-cli attach --platform NAME --url URL --pid PID [--break FILE:LINE] [--kotlin-script PATH]
 *     connects the named LLDB platform at URL, attaches to PID, prints the process facts, optionally
 *     loads a Kotlin formatter script and stops at a breakpoint as the demo does, and detaches
 * </pre>
 */
public final class NativescopeCli {
    static final String DEFAULT_FIXTURE = "session_target";
    /** The line of the default fixture's tick() that runs every 10 ms. */
    static final String DEFAULT_BREAK = "session_target.c:15";
    /** Default breakpoints per fixture: for kotlin_objects, the line in inspect_here() after its locals. */
    static final Map<String, String> DEFAULT_BREAKS =
            Map.of(DEFAULT_FIXTURE, DEFAULT_BREAK, "kotlin_objects", "kotlin_objects.c:168");
    /** A formatter script in the fixture directory that the demo loads when present. */
    static final String FIXTURE_KOTLIN_SCRIPT = "kotlin_formatter.py";
    /** Variables shown of the stopped frame. */
    static final int VARIABLES_PAGE = 20;
    /** How long the demo waits for its breakpoint to be hit. */
    static final int STOP_WAIT_SECONDS = 30;
    static final int EXIT_OK = 0;
    static final int EXIT_FAILED = 1;
    static final int EXIT_USAGE = 2;

    private final PrintStream out;
    private final PrintStream err;

    NativescopeCli(PrintStream out, PrintStream err) {
        this.out = out;
        this.err = err;
    }

    public static void main(String[] args) {
        System.exit(new NativescopeCli(System.out, System.err).run(args));
    }

    int run(String[] args) {
        if (args.length == 0 || List.of("-h", "--help", "help").contains(args[0])) {
            usage(args.length == 0 ? err : out);
            return args.length == 0 ? EXIT_USAGE : EXIT_OK;
        }
        Deque<String> rest = new ArrayDeque<>(List.of(args).subList(1, args.length));
        Map<String, String> options;
        try {
            options = parseOptions(rest);
        } catch (IllegalArgumentException e) {
            err.println("nativescope-cli: " + e.getMessage());
            return EXIT_USAGE;
        }
        try {
            switch (args[0]) {
                case "demo":
                    String fixture = options.getOrDefault("fixture", DEFAULT_FIXTURE);
                    return demo(fixture, options.getOrDefault("break", DEFAULT_BREAKS.get(fixture)));
                case "attach":
                    return session(required(options, "platform"), required(options, "url"),
                            Integer.parseInt(required(options, "pid")), options.get("break"),
                            options.get("kotlin-script"));
                default:
                    err.println("nativescope-cli: unknown command '" + args[0] + "'");
                    usage(err);
                    return EXIT_USAGE;
            }
        } catch (IllegalArgumentException e) {
            err.println("nativescope-cli: " + e.getMessage());
            return EXIT_USAGE;
        } catch (IOException | IllegalStateException e) {
            err.println("nativescope-cli: " + e.getMessage());
            return EXIT_FAILED;
        } catch (UnsatisfiedLinkError | ExceptionInInitializerError | NoClassDefFoundError e) {
            if (NativeLibraryLoader.isLoaded()) {
                err.println("nativescope-cli: the loaded library lacks a native: " + e.getMessage());
            } else {
                err.println("nativescope-cli: cannot load the nativescope library: " + e
                        + " (set NATIVESCOPE_LIBRARY or -D" + NativeLibraryLoader.LIBRARY_PATH_PROPERTY
                        + " to the full path of libnativescope.so)");
            }
            return EXIT_FAILED;
        }
    }

    private int demo(String fixture, String breakAt) throws IOException {
        out.println("nativescope demo");
        try (Debuggee debuggee = Debuggee.start(fixture);
             LocalPlatform platform = LocalPlatform.start()) {
            out.println("started:");
            out.printf("  %-18s %s%n", "debuggee", debuggee);
            out.printf("  %-18s %s%n", "platform", platform.connectUrl());
            Path script = LocalSetup.fixturesDir().resolve(FIXTURE_KOTLIN_SCRIPT);
            int result = session("remote-linux", platform.connectUrl(), (int) debuggee.pid(), breakAt,
                    Files.isRegularFile(script) ? script.toString() : null);
            out.printf("  %-18s %s%n", "debuggee alive", debuggee.isAlive());
            return result;
        } finally {
            out.println("stopped the debuggee and the platform");
        }
    }

    /**
     * Runs one session: connect, attach, report, optionally stop at a breakpoint and show the stop, then
     * detach; the engine is always destroyed.
     */
    private int session(String platformName, String url, int pid, String breakAt, String kotlinScript) {
        BreakLocation location = breakAt == null ? null : BreakLocation.parse(breakAt);
        SessionReport report = new SessionReport(out);
        long engine = LLDBNativeWrapper.initDebugger(LocalSetup.lldbEnvironment());
        if (engine == 0) {
            err.println("nativescope-cli: initDebugger failed");
            return EXIT_FAILED;
        }
        try {
            out.println("session:");
            report.line("engine", "0x" + Long.toHexString(engine));
            LLDBNativeWrapper.selectPlatform(engine, platformName);
            report.line("platform", platformName);
            if (!LLDBNativeWrapper.connectPlatform(engine, url)) {
                err.println("nativescope-cli: cannot connect platform " + platformName + " at " + url);
                return EXIT_FAILED;
            }
            report.line("connected", url);
            if (LLDBNativeWrapper.attachToProcess(engine, pid) != engine) {
                err.println("nativescope-cli: attach to " + pid + " failed: "
                        + LLDBNativeWrapper.getLastAttachErrorMessage());
                return EXIT_FAILED;
            }
            report.line("attached", "pid " + pid);
            report.processFacts(engine);
            if (kotlinScript != null) {
                report.line("kotlin script", LLDBNativeWrapper.loadKotlinScript(engine, kotlinScript) + " " + kotlinScript);
            }
            if (location != null && !stopAt(engine, location, report)) {
                return EXIT_FAILED;
            }
            out.println("detach:");
            report.line("detached", LLDBNativeWrapper.detachProcess(engine));
            return EXIT_OK;
        } finally {
            LLDBNativeWrapper.destroyDebugger(engine);
        }
    }

    /** A source line given as FILE:LINE. */
    static final class BreakLocation {
        final String file;
        final int line;

        private BreakLocation(String file, int line) {
            this.file = file;
            this.line = line;
        }

        static BreakLocation parse(String text) {
            int colon = text.lastIndexOf(':');
            if (colon <= 0 || colon == text.length() - 1) {
                throw new IllegalArgumentException("--break needs FILE:LINE, got '" + text + "'");
            }
            try {
                int line = Integer.parseInt(text.substring(colon + 1));
                if (line <= 0) {
                    throw new NumberFormatException();
                }
                return new BreakLocation(text.substring(0, colon), line);
            } catch (NumberFormatException e) {
                throw new IllegalArgumentException("--break needs a positive line, got '" + text + "'");
            }
        }
    }

    /** Sets the breakpoint, continues to it and prints the stop event, the threads and the stack. */
    private boolean stopAt(long engine, BreakLocation location, SessionReport report) {
        out.println("breakpoint:");
        BreakpointInfo bp = LLDBNativeWrapper.setBreakpoint(engine, 0, location.file, location.line);
        report.line("set", location.file + ":" + location.line + " -> " + bp);
        if (bp == null || !bp.valid) {
            err.println("nativescope-cli: cannot set a breakpoint at " + location.file + ":" + location.line);
            return false;
        }
        if (!LLDBNativeWrapper.continueExecution(engine)) {
            err.println("nativescope-cli: continue failed");
            return false;
        }
        SpecDebugEvent stop = null;
        for (int waited = 0; stop == null && waited < STOP_WAIT_SECONDS; waited++) {
            SpecDebugEvent event = LLDBNativeWrapper.waitForEvent(engine, 1);
            if (event != null && event.eventType != SpecDebugEvent.RUNNING) {
                stop = event;
            }
        }
        if (stop == null || stop.eventType != SpecDebugEvent.STOPPED) {
            err.println("nativescope-cli: no stop within " + STOP_WAIT_SECONDS + " s: " + stop);
            return false;
        }
        out.println("stop:");
        report.line("event", stop);
        out.println("threads:");
        ThreadInfo[] threads = LLDBNativeWrapper.getThreadList(engine, 0);
        for (ThreadInfo t : threads == null ? new ThreadInfo[0] : threads) {
            report.line((t.currentThread ? "* thread #" : "  thread #") + t.threadId, t);
        }
        out.println("stack of thread " + stop.threadId + ":");
        StackFrameInfo[] stack = LLDBNativeWrapper.getStackTrace(stop.threadId);
        for (StackFrameInfo frame : stack == null ? new StackFrameInfo[0] : stack) {
            report.line("#" + frame.frameId, frame);
        }
        if (stack != null && stack.length > 0) {
            showVariables(engine, stack[0].frameHandle, report);
        }
        report.line("breakpoint removed", LLDBNativeWrapper.deleteBreakpoint(engine, 0, bp.breakpointId));
        return true;
    }

    /** Prints the first page of a frame's variables and the children of the first expandable one. */
    private void showVariables(long engine, long frameHandle, SessionReport report) {
        FrameVariablesPage page = LLDBNativeWrapper.getFrameVariablesPage(frameHandle, 0, VARIABLES_PAGE);
        if (page == null) {
            out.println("variables: none");
            return;
        }
        out.println("variables of frame #0 (" + page.variables.length + " of " + page.totalFiltered + "):");
        VariableInfo expandable = null;
        for (VariableInfo v : page.variables) {
            report.line(v.name, describe(v));
            if (expandable == null && v.hasChildren) {
                expandable = v;
            }
        }
        if (expandable != null) {
            out.println("children of " + expandable.name + ":");
            VariableInfo[] children = LLDBNativeWrapper.getChildVariables(expandable.valueHandle);
            for (VariableInfo child : children == null ? new VariableInfo[0] : children) {
                report.line(child.name, describe(child));
            }
        }
        LLDBNativeWrapper.releaseAllValueHandles(engine);
    }

    private static String describe(VariableInfo v) {
        return v.type + " = " + v.value + (v.hasChildren ? "  [+" + v.childCount + "]" : "");
    }

    /** Reads {@code --name value} pairs. */
    static Map<String, String> parseOptions(Deque<String> args) {
        Map<String, String> options = new HashMap<>();
        while (!args.isEmpty()) {
            String arg = args.removeFirst();
            if (!arg.startsWith("--") || arg.length() == 2) {
                throw new IllegalArgumentException("unexpected argument '" + arg + "'");
            }
            if (args.isEmpty()) {
                throw new IllegalArgumentException("option " + arg + " needs a value");
            }
            options.put(arg.substring(2), args.removeFirst());
        }
        return options;
    }

    private static String required(Map<String, String> options, String name) {
        String value = options.get(name);
        if (value == null) {
            throw new IllegalArgumentException("missing --" + name);
        }
        return value;
    }

    private static void usage(PrintStream to) {
        to.println("usage: nativescope-cli demo [--fixture NAME] [--break FILE:LINE]");
        to.println("       nativescope-cli attach --platform NAME --url URL --pid PID [--break FILE:LINE]"
                + " [--kotlin-script PATH]");
        to.println("settings (environment variable / system property):");
        to.println("  NATIVESCOPE_LIBRARY          nativescope.library.path     full path of libnativescope.so");
        to.println("  NATIVESCOPE_FIXTURES_DIR     nativescope.fixtures.dir     debuggee programs for demo");
        to.println("  NATIVESCOPE_LLDB_SERVER      nativescope.lldb.server      lldb-server executable");
        to.println("  NATIVESCOPE_LLDB_PYTHONPATH  nativescope.lldb.pythonpath  directory of LLDB's lldb package");
    }
}
