package org.qzt.kmp.tools.ohos.debugger.cli;

import java.time.Duration;
import java.util.concurrent.TimeUnit;

/**
 * A child process that this JVM started and must not leave behind: {@link #close()} kills it and every
 * descendant by pid, and a shutdown hook does the same if the JVM exits first.
 */
public class ManagedProcess implements AutoCloseable {
    private static final Duration KILL_WAIT = Duration.ofSeconds(5);

    private final String label;
    private final Process process;
    private final java.lang.Thread shutdownHook;
    private boolean closed;

    protected ManagedProcess(String label, Process process) {
        this.label = label;
        this.process = process;
        this.shutdownHook = new java.lang.Thread(this::killTree, "kill " + label);
        Runtime.getRuntime().addShutdownHook(shutdownHook);
    }

    public final long pid() {
        return process.pid();
    }

    public final boolean isAlive() {
        return process.isAlive();
    }

    public final String label() {
        return label;
    }

    protected final Process process() {
        return process;
    }

    @Override
    public synchronized void close() {
        if (closed) {
            return;
        }
        closed = true;
        try {
            Runtime.getRuntime().removeShutdownHook(shutdownHook);
        } catch (IllegalStateException shuttingDown) {
            // the hook itself is about to run or running; killing twice is harmless
        }
        killTree();
    }

    private void killTree() {
        // lldb-server forks a child per connection and a gdb server per attach: take those down as well.
        process.descendants().forEach(ProcessHandle::destroyForcibly);
        process.destroyForcibly();
        try {
            process.waitFor(KILL_WAIT.toMillis(), TimeUnit.MILLISECONDS);
        } catch (InterruptedException e) {
            java.lang.Thread.currentThread().interrupt();
        }
    }

    @Override
    public String toString() {
        return label + "(pid " + pid() + ")";
    }
}
