package org.qzt.kmp.tools.ohos.debugger.cli;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.time.Duration;

/**
 * An {@code lldb-server platform} listening on the loopback interface, for sessions that debug programs
 * of this machine through LLDB's remote platform protocol.
 *
 * <p>The server picks a free port itself ({@code --listen 127.0.0.1:0}) and reports it through its socket
 * file, which it writes atomically once its socket is listening; there is no window in which another
 * process could take the port.
 */
public final class LocalPlatform extends ManagedProcess {
    public static final String HOST = "127.0.0.1";
    private static final Duration START_TIMEOUT = Duration.ofSeconds(20);

    private final int port;
    private final Path workDir;

    private LocalPlatform(Process process, int port, Path workDir) {
        super("lldb-server platform", process);
        this.port = port;
        this.workDir = workDir;
    }

    public static LocalPlatform start() throws IOException {
        return start(LocalSetup.lldbServer());
    }

    public static LocalPlatform start(Path lldbServer) throws IOException {
        Path workDir = Files.createTempDirectory("nativescope-platform");
        Path socketFile = workDir.resolve("port");
        Path log = workDir.resolve("lldb-server.log");
        ProcessBuilder builder = new ProcessBuilder(lldbServer.toString(), "platform", "--server",
                "--listen", HOST + ":0", "--socket-file", socketFile.toString())
                .directory(workDir.toFile())
                .redirectErrorStream(true)
                .redirectOutput(log.toFile());
        Process process = builder.start();
        LocalPlatform platform = null;
        try {
            int port = awaitPort(process, socketFile, log);
            platform = new LocalPlatform(process, port, workDir);
            return platform;
        } finally {
            if (platform == null) {
                process.descendants().forEach(ProcessHandle::destroyForcibly);
                process.destroyForcibly();
                deleteWorkDir(workDir);
            }
        }
    }

    @Override
    public synchronized void close() {
        super.close();
        deleteWorkDir(workDir);
    }

    private static void deleteWorkDir(Path dir) {
        try (var entries = Files.list(dir)) {
            for (Path entry : (Iterable<Path>) entries::iterator) {
                Files.deleteIfExists(entry);
            }
            Files.deleteIfExists(dir);
        } catch (IOException ignored) {
            // a left-over temporary directory is harmless
        }
    }

    public int port() {
        return port;
    }

    /** The URL for {@code connectPlatform}. */
    public String connectUrl() {
        return "connect://" + HOST + ":" + port;
    }

    private static int awaitPort(Process process, Path socketFile, Path log) throws IOException {
        long deadline = System.nanoTime() + START_TIMEOUT.toNanos();
        while (System.nanoTime() < deadline) {
            Integer port = readPort(socketFile);
            if (port != null) {
                return port;
            }
            if (!process.isAlive()) {
                throw new IOException("lldb-server platform exited with " + process.exitValue() + ": "
                        + tail(log));
            }
            sleep(Duration.ofMillis(20));
        }
        throw new IOException("lldb-server platform reported no port within " + START_TIMEOUT.toSeconds()
                + " s: " + tail(log));
    }

    private static Integer readPort(Path socketFile) throws IOException {
        String text;
        try {
            text = Files.readString(socketFile, StandardCharsets.US_ASCII).trim();
        } catch (NoSuchFileException notYet) {
            return null;
        }
        if (text.isEmpty()) {
            return null;
        }
        try {
            int port = Integer.parseInt(text);
            if (port > 0 && port < 65536) {
                return port;
            }
        } catch (NumberFormatException ignored) {
            // fall through to the error below
        }
        throw new IOException("unexpected socket file content from lldb-server: '" + text + "'");
    }

    static String tail(Path log) {
        try {
            String text = Files.readString(log, StandardCharsets.UTF_8).trim();
            return text.length() > 2000 ? text.substring(text.length() - 2000) : text;
        } catch (IOException e) {
            return "(no log: " + e.getMessage() + ")";
        }
    }

    static void sleep(Duration duration) {
        try {
            java.lang.Thread.sleep(duration.toMillis());
        } catch (InterruptedException e) {
            java.lang.Thread.currentThread().interrupt();
            throw new IllegalStateException("interrupted", e);
        }
    }
}
