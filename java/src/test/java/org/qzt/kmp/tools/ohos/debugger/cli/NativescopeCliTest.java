package org.qzt.kmp.tools.ohos.debugger.cli;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.util.List;
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

    @Test
    void demoAttachesReportsDetachesAndLeavesNoProcessBehind() {
        List<Long> before = childPids();

        int exit = run("demo");

        String text = out();
        assertAll(
                () -> assertEquals(NativescopeCli.EXIT_OK, exit, text + err()),
                () -> assertTrue(text.matches("(?s).*attached +pid \\d+.*"), text),
                () -> assertTrue(text.matches("(?s).*state +STOPPED.*"), text),
                () -> assertTrue(text.matches("(?s).*thread #1 +tid \\d+ 'session_target'.*\\(selected\\).*"), text),
                () -> assertTrue(text.matches("(?s).*detached +true.*"), text),
                () -> assertTrue(text.matches("(?s).*debuggee alive +true.*"), "detach keeps it alive: " + text),
                () -> assertEquals(before, childPids(), "demo kills what it started"));
    }

    @Test
    void attachReportsTheProcessOfAGivenPlatformAndPid() throws Exception {
        Debuggee debuggee = fixture.debuggee(DebugFixture.SESSION_TARGET);
        String url = fixture.platform().connectUrl();

        int exit = run("attach", "--platform", "remote-linux", "--url", url, "--pid", Long.toString(debuggee.pid()));

        assertEquals(NativescopeCli.EXIT_OK, exit, out() + err());
        assertTrue(out().matches("(?s).*pid +" + debuggee.pid() + "\\R.*"), out());
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
        "attach --pid", "attach --platform remote-linux --url u --pid notanumber", "demo stray"})
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
