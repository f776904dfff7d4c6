package org.qzt.kmp.tools.ohos.debugger.cli;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.time.Duration;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.CompletableFuture;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.TimeoutException;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * A debuggee program started from the fixture directory. The program announces itself with a first
 * standard-output line {@code pid=<n>} once it runs its main loop; {@link #start} waits for that line, so
 * an attach that follows finds the program past its start-up. Standard output is collected line by line
 * for the whole life of the process; standard error goes to this JVM's standard error.
 */
public final class Debuggee extends ManagedProcess {
    private static final Pattern PID_LINE = Pattern.compile("pid=(\\d+)");
    private static final Duration START_TIMEOUT = Duration.ofSeconds(20);

    private final List<String> output = new ArrayList<>();

    private Debuggee(String name, Process process) {
        super(name, process);
    }

    /** Starts the named program of {@link LocalSetup#fixturesDir()}. */
    public static Debuggee start(String fixtureName, String... args) throws IOException {
        return start(LocalSetup.fixture(fixtureName), args);
    }

    public static Debuggee start(Path binary, String... args) throws IOException {
        List<String> command = new ArrayList<>();
        command.add(binary.toString());
        command.addAll(List.of(args));
        Process process = new ProcessBuilder(command)
                .redirectError(ProcessBuilder.Redirect.INHERIT)
                .redirectInput(ProcessBuilder.Redirect.PIPE)
                .start();
        Debuggee debuggee = new Debuggee(binary.getFileName().toString(), process);
        try {
            debuggee.awaitAnnouncement(debuggee.collectOutput());
            return debuggee;
        } catch (IOException | RuntimeException e) {
            debuggee.close();
            throw e;
        }
    }

    /** Every standard-output line seen so far. */
    public List<String> outputLines() {
        synchronized (output) {
            return List.copyOf(output);
        }
    }

    private CompletableFuture<String> collectOutput() {
        CompletableFuture<String> firstLine = new CompletableFuture<>();
        java.lang.Thread reader = new java.lang.Thread(() -> {
            try (BufferedReader in = new BufferedReader(
                    new InputStreamReader(process().getInputStream(), StandardCharsets.UTF_8))) {
                String line;
                while ((line = in.readLine()) != null) {
                    synchronized (output) {
                        output.add(line);
                    }
                    firstLine.complete(line);
                }
            } catch (IOException ignored) {
                // the process is gone
            }
            firstLine.complete(null);
        }, label() + " stdout");
        reader.setDaemon(true);
        reader.start();
        return firstLine;
    }

    private void awaitAnnouncement(CompletableFuture<String> firstLine) throws IOException {
        String line;
        try {
            line = firstLine.get(START_TIMEOUT.toMillis(), TimeUnit.MILLISECONDS);
        } catch (TimeoutException e) {
            throw new IOException(label() + " printed no pid line within " + START_TIMEOUT.toSeconds() + " s");
        } catch (ExecutionException e) {
            throw new IOException(label() + " output failed", e.getCause());
        } catch (InterruptedException e) {
            java.lang.Thread.currentThread().interrupt();
            throw new IOException("interrupted while starting " + label(), e);
        }
        if (line == null) {
            throw new IOException(label() + " ended before printing its pid line"
                    + (isAlive() ? "" : " (exit code " + process().exitValue() + ")"));
        }
        Matcher m = PID_LINE.matcher(line);
        if (!m.find() || Long.parseLong(m.group(1)) != pid()) {
            throw new IOException(label() + " announced '" + line + "', expected pid=" + pid());
        }
    }
}
