package org.qzt.kmp.tools.ohos.debugger.cli;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.regex.Pattern;
import java.util.stream.Collectors;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.extension.RegisterExtension;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.ValueSource;
import org.qzt.kmp.tools.ohos.debugger.testsupport.DebugFixture;

/** The command-line tool end to end, in this JVM, against the real library and a real platform. */
class NativescopeCliTest {
    @RegisterExtension
    final DebugFixture fixture = new DebugFixture();

    private final ByteArrayOutputStream out = new ByteArrayOutputStream();
    private final ByteArrayOutputStream err = new ByteArrayOutputStream();

    private int run(String... args) {
        return new NativescopeCli(new PrintStream(out, true, StandardCharsets.UTF_8),
                new PrintStream(err, true, StandardCharsets.UTF_8)).run(args);
    }

    private String out() {
        return out.toString(StandardCharsets.UTF_8);
    }

    private String err() {
        return err.toString(StandardCharsets.UTF_8);
    }

    /** A row of the instruction window: marker, address, machine code bytes, mnemonic and the rest. */
    private static final Pattern WINDOW_ROW =
            Pattern.compile("  (=>|  ) 0x[0-9a-f]{16}  [0-9a-f]{2}( [0-9a-f]{2})* +[a-z]\\S*( .*)?");

    /** The rows that follow the window's heading, up to the first line that is not a row. */
    private static List<String> windowRows(String text) {
        List<String> lines = text.lines().collect(Collectors.toList());
        int heading = -1;
        for (int i = 0; i < lines.size() && heading < 0; i++) {
            if (lines.get(i).startsWith("disassembly of frame #0 of thread ")) {
                heading = i;
            }
        }
        assertTrue(heading >= 0, "no instruction window in: " + text);
        List<String> rows = new ArrayList<>();
        for (int i = heading + 1; i < lines.size() && WINDOW_ROW.matcher(lines.get(i)).matches(); i++) {
            rows.add(lines.get(i));
        }
        return rows;
    }

    private static List<Integer> markedRows(List<String> rows) {
        List<Integer> marked = new ArrayList<>();
        for (int i = 0; i < rows.size(); i++) {
            if (rows.get(i).startsWith("  => ")) {
                marked.add(i);
            }
        }
        return marked;
    }

    @Test
    void demoStopsAtTheBreakpointShowsTheWindowDetachesAndLeavesNoProcessBehind() {
        List<Long> before = childPids();

        int exit = run("demo");

        String text = out();
        List<String> rows = windowRows(text);
        assertAll(
                () -> assertEquals(NativescopeCli.EXIT_OK, exit, text + err()),
                () -> assertTrue(text.matches("(?s).*attached +pid \\d+.*"), text),
                () -> assertTrue(text.matches("(?s).*state +STOPPED.*"), text),
                () -> assertTrue(text.matches("(?s).*thread #1 +tid \\d+ 'session_target'.*\\(selected\\).*"), text),
                () -> assertTrue(text.matches("(?s).*stop:\\R +event +SpecDebugEvent\\{eventType=1, threadId=\\d+, "
                        + "stopReason=\"breakpoint\", breakpointId=1, .*functionName=\"tick\".*"), text),
                () -> assertTrue(text.matches("(?s).*\\Rdisassembly of frame #0 of thread \\d+ \\(5 before, 5 after\\):\\R.*"),
                        text),
                () -> assertEquals(11, rows.size(), text),
                () -> assertEquals(List.of(5), markedRows(rows), text),
                () -> assertTrue(text.matches("(?s).*detached +true.*"), text),
                () -> assertTrue(text.matches("(?s).*debuggee alive +true.*"), "detach keeps it alive: " + text),
                () -> assertEquals(before, childPids(), "demo kills what it started"));
    }

    @Test
    void disasmPrintsOnlyTheWindowOfTheStoppedFrame() {
        int exit = run("disasm", "--before", "2", "--after", "3");

        String text = out();
        List<String> lines = text.lines().collect(Collectors.toList());
        List<String> rows = windowRows(text);
        assertAll(
                () -> assertEquals(NativescopeCli.EXIT_OK, exit, text + err()),
                () -> assertEquals(7, lines.size(), "the heading and six rows, nothing else: " + text),
                () -> assertTrue(lines.get(0).matches("disassembly of frame #0 of thread \\d+ \\(2 before, 3 after\\):"), text),
                () -> assertEquals(6, rows.size(), text),
                () -> assertEquals(List.of(2), markedRows(rows), text),
                // tick()'s first statement reads the counter: LLDB names it in the row's comment.
                () -> assertTrue(rows.get(2).endsWith("; tick_count"), text));
    }

    @Test
    void legacyDemoRunsTheSessionThroughTheOlderInterface() {
        int exit = run("demo", "--legacy", "--fixture", "legacy_target");

        String text = out();
        assertAll(
                () -> assertEquals(NativescopeCli.EXIT_OK, exit, text + err()),
                () -> assertTrue(text.contains("legacy session (lldb.debug.LldbDebugEngine):"), text),
                () -> assertTrue(text.matches("(?s).*"
                        + " +event +STATE_CHANGED state=STOPPED\\R +attached +pid \\d+\\R.*"
                        + " +event +BREAKPOINT_ADDED breakpoint 1\\R +added +legacy_target\\.c:18 -> id 1\\R.*"
                        + " +event +BREAKPOINT_HIT breakpoint 1 state=STOPPED stop=BREAKPOINT\\R.*"
                        + " +event +BREAKPOINT_REMOVED breakpoint 1\\R +breakpoint removed +true\\R.*"),
                        "the listener's events in session order: " + text),
                () -> assertTrue(text.matches("(?s).*threads:\\R +\\* thread #1 +tid \\d+ 'legacy_target' stop=BREAKPOINT"
                        + " at visit legacy_target\\.c:18 \\(pc 0x[0-9a-f]+ in legacy_target\\)\\R.*"), text),
                () -> assertTrue(text.matches("(?s).*\\R +#1 +main legacy_target\\.c:36 .*"), text),
                () -> assertTrue(text.matches("(?s).*\\R +where +point \\* = 0x[0-9a-f]+ \\(ARGUMENT\\) +\\[\\+2\\]\\R.*"), text),
                () -> assertTrue(text.matches("(?s).*\\R +sum +int = \\d+ \\(LOCAL\\)\\R.*"), text),
                () -> assertTrue(text.matches("(?s).*children of where:\\R +x +int = 3 .*\\R +y +int = 4 .*"), text),
                () -> assertTrue(text.matches("(?s).*detached +true.*"), text),
                () -> assertFalse(text.contains("disassembly"), "the older interface has no disassembly: " + text));
    }

    @Test
    void attachReportsTheProcessOfAGivenPlatformAndPid() throws Exception {
        Debuggee debuggee = fixture.debuggee(DebugFixture.SESSION_TARGET);
        String url = fixture.platform().connectUrl();

        int exit = run("attach", "--platform", "remote-linux", "--url", url, "--pid", Long.toString(debuggee.pid()));

        assertEquals(NativescopeCli.EXIT_OK, exit, out() + err());
        assertTrue(out().matches("(?s).*pid +" + debuggee.pid() + "\\R.*"), out());
        assertEquals(List.of(5), markedRows(windowRows(out())), "the window of the attach stop: " + out());
        assertTrue(debuggee.isAlive());
    }

    @Test
    void attachFailureIsReportedWithLldbsMessage() throws Exception {
        String url = fixture.platform().connectUrl();

        int exit = run("attach", "--platform", "remote-linux", "--url", url, "--pid", "999999999");

        assertEquals(NativescopeCli.EXIT_FAILED, exit);
        assertTrue(err().startsWith("nativescope-cli: attach to 999999999 failed: "), err());
    }

    @ParameterizedTest(name = "nativescope-cli {0}")
    @ValueSource(strings = {"", "frobnicate", "attach --platform remote-linux --url connect://127.0.0.1:1",
        "attach --pid", "attach --platform remote-linux --url u --pid notanumber", "demo stray",
        "demo --brake session_target.c:15", "disasm --legacy", "demo --before -1", "disasm --after many",
        "demo --break session_target.c:0"})
    void badCommandLinesGiveUsageExitCode(String commandLine) {
        String[] args = commandLine.isEmpty() ? new String[0] : commandLine.split(" ");
        assertEquals(NativescopeCli.EXIT_USAGE, run(args), err());
        assertTrue(err().startsWith("nativescope-cli: ") || err().startsWith("usage: "), err());
    }

    private static List<Long> childPids() {
        return ProcessHandle.current().descendants().filter(ProcessHandle::isAlive)
                .map(ProcessHandle::pid).sorted().collect(Collectors.toList());
    }
}
