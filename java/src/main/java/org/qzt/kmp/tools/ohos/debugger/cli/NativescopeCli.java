package org.qzt.kmp.tools.ohos.debugger.cli;

import java.io.IOException;
import java.io.OutputStream;
import java.io.PrintStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayDeque;
import java.util.Deque;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.Set;

import org.qzt.kmp.tools.ohos.debugger.jni.NativeLibraryLoader;

/**
 * Command-line front end of the nativescope debugger bridge.
 *
 * <pre>
 * nativescope-cli demo [--fixture NAME] [--break FILE:LINE] [--before N] [--after N] [--legacy]
 *     starts a debuggee from the fixture directory and an lldb-server platform on 127.0.0.1, attaches
 *     through the "remote-linux" platform, prints the process facts, sets a breakpoint (by default in the
 *     default fixture's tick loop), continues to it and prints the stop event, the threads, the stopped
 *     thread's stack, the instructions around its frame #0 (N before and after the current one, which is
 *     marked "=>"; 5 and 5 by default), the first page of the top frame's variables and the children of
 *     its first expandable one, then detaches and stops both again; with --fixture kotlin_objects the
 *     variables are Kotlin/Native objects, shown with the fixture's Kotlin formatter script.
 *     --legacy runs the session through the older interface lldb.debug.LldbDebugEngine instead: its
 *     listener prints each event it receives, and the stop is shown as threads with their frames and the
 *     top frame's variables (that interface has no disassembly)
 * nativescope-cli disasm [--fixture NAME] [--break FILE:LINE] [--before N] [--after N]
 *     runs the demo's session and prints only the instruction window of the stopped frame
 * nativescope-cli attach --platform NAME --url URL --pid PID [--break FILE:LINE] [--kotlin-script PATH]
 *         [--before N] [--after N] [--legacy]
 *     connects the named LLDB platform at URL, attaches to PID, prints the process facts, optionally
 *     loads a Kotlin formatter script, stops at a breakpoint as the demo does (without one, shows the
 *     instruction window of the attach stop), and detaches
 * </pre>
 */
public final class NativescopeCli {
    static final String DEFAULT_FIXTURE = "session_target";
    /** The line of the default fixture's tick() that runs every 10 ms. */
    static final String DEFAULT_BREAK = "session_target.c:15";
    /**
     * Default breakpoints per fixture: for kotlin_objects, the line in inspect_here() after its locals; for
     * legacy_target, the line in visit() that sees both arguments and its local.
     */
    static final Map<String, String> DEFAULT_BREAKS = Map.of(DEFAULT_FIXTURE, DEFAULT_BREAK,
            "kotlin_objects", "kotlin_objects.c:168", "legacy_target", "legacy_target.c:18");
    /** A formatter script in the fixture directory that the demo loads when present. */
    static final String FIXTURE_KOTLIN_SCRIPT = "kotlin_formatter.py";
    /** How long the demo waits for its breakpoint to be hit. */
    static final int STOP_WAIT_SECONDS = 30;
    static final int EXIT_OK = 0;
    static final int EXIT_FAILED = 1;
    static final int EXIT_USAGE = 2;
    /** Options without a value. */
    static final Set<String> FLAGS = Set.of("legacy");
    private static final Map<String, Set<String>> COMMAND_OPTIONS = Map.of(
            "demo", Set.of("fixture", "break", "before", "after", "legacy"),
            "disasm", Set.of("fixture", "break", "before", "after"),
            "attach", Set.of("platform", "url", "pid", "break", "kotlin-script", "before", "after", "legacy"));

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
        String command = args[0];
        Set<String> allowed = COMMAND_OPTIONS.get(command);
        if (allowed == null) {
            err.println("nativescope-cli: unknown command '" + command + "'");
            usage(err);
            return EXIT_USAGE;
        }
        try {
            Map<String, String> options = parseOptions(new ArrayDeque<>(List.of(args).subList(1, args.length)), allowed);
            boolean legacy = options.containsKey("legacy");
            if (command.equals("attach")) {
                return session(required(options, "platform"), required(options, "url"),
                        Integer.parseInt(required(options, "pid")),
                        plan(options, options.get("break"), options.get("kotlin-script"), false), legacy, out);
            }
            return demo(options.getOrDefault("fixture", DEFAULT_FIXTURE), options, command.equals("disasm"), legacy);
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

    private int demo(String fixture, Map<String, String> options, boolean windowOnly, boolean legacy)
            throws IOException {
        PrintStream narrative = windowOnly ? new PrintStream(OutputStream.nullOutputStream()) : out;
        Path script = LocalSetup.fixturesDir().resolve(FIXTURE_KOTLIN_SCRIPT);
        SessionPlan plan = plan(options, options.getOrDefault("break", DEFAULT_BREAKS.get(fixture)),
                Files.isRegularFile(script) ? script.toString() : null, windowOnly);
        narrative.println("nativescope demo");
        try (Debuggee debuggee = Debuggee.start(fixture);
             LocalPlatform platform = LocalPlatform.start()) {
            narrative.println("started:");
            narrative.printf("  %-18s %s%n", "debuggee", debuggee);
            narrative.printf("  %-18s %s%n", "platform", platform.connectUrl());
            int result = session("remote-linux", platform.connectUrl(), (int) debuggee.pid(), plan, legacy,
                    narrative);
            narrative.printf("  %-18s %s%n", "debuggee alive", debuggee.isAlive());
            return result;
        } finally {
            narrative.println("stopped the debuggee and the platform");
        }
    }

    private int session(String platformName, String url, int pid, SessionPlan plan, boolean legacy,
            PrintStream narrative) {
        Session session = legacy ? new LegacySession(narrative, err, plan) : new WrapperSession(narrative, out, err, plan);
        return session.run(platformName, url, pid);
    }

    private static SessionPlan plan(Map<String, String> options, String breakAt, String kotlinScript,
            boolean windowOnly) {
        return new SessionPlan(breakAt == null ? null : SessionPlan.BreakLocation.parse(breakAt), kotlinScript,
                count(options, "before", SessionPlan.DEFAULT_BEFORE), count(options, "after", SessionPlan.DEFAULT_AFTER),
                windowOnly);
    }

    /** Reads {@code --name value} pairs and bare {@link #FLAGS}, refusing names outside {@code allowed}. */
    static Map<String, String> parseOptions(Deque<String> args, Set<String> allowed) {
        Map<String, String> options = new HashMap<>();
        while (!args.isEmpty()) {
            String arg = args.removeFirst();
            if (!arg.startsWith("--") || arg.length() == 2) {
                throw new IllegalArgumentException("unexpected argument '" + arg + "'");
            }
            String name = arg.substring(2);
            if (!allowed.contains(name)) {
                throw new IllegalArgumentException("unknown option " + arg);
            }
            if (FLAGS.contains(name)) {
                options.put(name, "true");
                continue;
            }
            if (args.isEmpty()) {
                throw new IllegalArgumentException("option " + arg + " needs a value");
            }
            options.put(name, args.removeFirst());
        }
        return options;
    }

    /** A non-negative count option, or {@code fallback} when absent. */
    private static int count(Map<String, String> options, String name, int fallback) {
        String text = options.get(name);
        if (text == null) {
            return fallback;
        }
        try {
            int value = Integer.parseInt(text);
            if (value >= 0) {
                return value;
            }
        } catch (NumberFormatException ignored) {
            // reported below
        }
        throw new IllegalArgumentException("--" + name + " needs a count of 0 or more, got '" + text + "'");
    }

    private static String required(Map<String, String> options, String name) {
        String value = options.get(name);
        if (value == null) {
            throw new IllegalArgumentException("missing --" + name);
        }
        return value;
    }

    private static void usage(PrintStream to) {
        to.println("usage: nativescope-cli demo [--fixture NAME] [--break FILE:LINE] [--before N] [--after N]"
                + " [--legacy]");
        to.println("       nativescope-cli disasm [--fixture NAME] [--break FILE:LINE] [--before N] [--after N]");
        to.println("       nativescope-cli attach --platform NAME --url URL --pid PID [--break FILE:LINE]"
                + " [--kotlin-script PATH] [--before N] [--after N] [--legacy]");
        to.println("  demo     starts a debuggee and a loopback platform, attaches, stops at a breakpoint and"
                + " shows the stop");
        to.println("  disasm   the demo's session, showing only the instructions around the stopped frame");
        to.println("  attach   the same session against a given platform and process");
        to.println("  --before N, --after N  instructions shown before and after the current one (default "
                + SessionPlan.DEFAULT_BEFORE + ", " + SessionPlan.DEFAULT_AFTER + ")");
        to.println("  --legacy               run the session through the older lldb.debug.LldbDebugEngine"
                + " interface");
        to.println("settings (environment variable / system property):");
        to.println("  NATIVESCOPE_LIBRARY          nativescope.library.path     full path of libnativescope.so");
        to.println("  NATIVESCOPE_FIXTURES_DIR     nativescope.fixtures.dir     debuggee programs for demo");
        to.println("  NATIVESCOPE_LLDB_SERVER      nativescope.lldb.server      lldb-server executable");
        to.println("  NATIVESCOPE_LLDB_PYTHONPATH  nativescope.lldb.pythonpath  directory of LLDB's lldb package");
    }
}
