package org.qzt.kmp.tools.ohos.debugger.testsupport;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.time.Duration;
import java.util.function.Predicate;

/** What Linux's /proc says about a process: its scheduler state and whether something traces it. */
public final class ProcStatus {
    /** Scheduler state letter: R, S, D, t (stopped by a tracer), T (stopped), Z ... */
    public final char state;
    public final long tracerPid;

    private ProcStatus(char state, long tracerPid) {
        this.state = state;
        this.tracerPid = tracerPid;
    }

    public static ProcStatus of(long pid) throws IOException {
        Path dir = Paths.get("/proc", Long.toString(pid));
        char state = '?';
        long tracer = -1;
        for (String line : Files.readAllLines(dir.resolve("status"), StandardCharsets.UTF_8)) {
            if (line.startsWith("State:")) {
                state = line.substring("State:".length()).trim().charAt(0);
            } else if (line.startsWith("TracerPid:")) {
                tracer = Long.parseLong(line.substring("TracerPid:".length()).trim());
            }
        }
        return new ProcStatus(state, tracer);
    }

    /** Alive, not traced and not stopped: the program goes on running on its own. */
    public boolean runsFreely() {
        return tracerPid == 0 && (state == 'R' || state == 'S' || state == 'D');
    }

    /**
     * Polls until the status satisfies {@code condition} (attach and detach finish asynchronously inside
     * the debug server) or the time is up; returns the last status seen.
     */
    public static ProcStatus await(long pid, Predicate<ProcStatus> condition, Duration timeout)
            throws IOException, InterruptedException {
        long deadline = System.nanoTime() + timeout.toNanos();
        ProcStatus status = of(pid);
        while (!condition.test(status) && System.nanoTime() < deadline) {
            Thread.sleep(50);
            status = of(pid);
        }
        return status;
    }

    @Override
    public String toString() {
        return "state=" + state + " tracerPid=" + tracerPid;
    }
}
