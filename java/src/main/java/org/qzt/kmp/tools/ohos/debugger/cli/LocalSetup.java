package org.qzt.kmp.tools.ohos.debugger.cli;

import java.io.File;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * Where the tools that a local debugging session needs are found. Each setting is read from a system
 * property, then from an environment variable, then falls back to the Debian LLVM 15 layout.
 *
 * <table>
 * <caption>Settings</caption>
 * <tr><th>system property</th><th>environment variable</th><th>meaning</th></tr>
 * <tr><td>{@code nativescope.lldb.server}</td><td>{@code NATIVESCOPE_LLDB_SERVER}</td>
 *     <td>the {@code lldb-server} executable</td></tr>
 * <tr><td>{@code nativescope.lldb.pythonpath}</td><td>{@code NATIVESCOPE_LLDB_PYTHONPATH}</td>
 *     <td>directory holding LLDB's {@code lldb} Python package</td></tr>
 * <tr><td>{@code nativescope.fixtures.dir}</td><td>{@code NATIVESCOPE_FIXTURES_DIR}</td>
 *     <td>directory of the debuggee programs</td></tr>
 * </table>
 */
public final class LocalSetup {
    public static final String LLDB_SERVER_PROPERTY = "nativescope.lldb.server";
    public static final String LLDB_PYTHONPATH_PROPERTY = "nativescope.lldb.pythonpath";
    public static final String FIXTURES_DIR_PROPERTY = "nativescope.fixtures.dir";

    private static final String DEFAULT_LLDB_SERVER = "/usr/lib/llvm-15/bin/lldb-server";
    private static final Path DEBIAN_LLVM_LIB = Paths.get("/usr/lib/llvm-15/lib");

    private LocalSetup() {
    }

    public static Path lldbServer() {
        return Paths.get(setting(LLDB_SERVER_PROPERTY, "NATIVESCOPE_LLDB_SERVER", DEFAULT_LLDB_SERVER));
    }

    public static Path lldbPythonPath() {
        String configured = setting(LLDB_PYTHONPATH_PROPERTY, "NATIVESCOPE_LLDB_PYTHONPATH", null);
        return configured != null ? Paths.get(configured) : findLldbPythonPackageDir(DEBIAN_LLVM_LIB);
    }

    /**
     * The {@code python3.X/dist-packages} directory below {@code llvmLib} whose {@code lldb} package is
     * complete (has {@code embedded_interpreter.py}, which LLDB's script interpreter imports at start).
     * Debian ships a second, incomplete {@code lldb} directory under {@code python3/dist-packages} that
     * must not come first on the path. Falls back to {@code llvmLib/python3/dist-packages}.
     */
    static Path findLldbPythonPackageDir(Path llvmLib) {
        try (var entries = Files.newDirectoryStream(llvmLib, "python3*")) {
            for (Path pythonDir : entries) {
                Path packages = pythonDir.resolve("dist-packages");
                if (Files.isRegularFile(packages.resolve("lldb").resolve("embedded_interpreter.py"))) {
                    return packages;
                }
            }
        } catch (java.io.IOException ignored) {
            // no such directory: use the fallback
        }
        return llvmLib.resolve("python3").resolve("dist-packages");
    }

    public static Path fixturesDir() {
        String dir = setting(FIXTURES_DIR_PROPERTY, "NATIVESCOPE_FIXTURES_DIR", null);
        if (dir == null) {
            throw new IllegalStateException("no fixture directory: set -D" + FIXTURES_DIR_PROPERTY
                    + " or NATIVESCOPE_FIXTURES_DIR");
        }
        return Paths.get(dir);
    }

    /** The executable of the named debuggee program in {@link #fixturesDir()}. */
    public static Path fixture(String name) {
        Path binary = fixturesDir().resolve(name);
        if (!Files.isExecutable(binary)) {
            throw new IllegalStateException("fixture program missing or not executable: " + binary);
        }
        return binary;
    }

    /**
     * The environment that {@code initDebugger} must hand to LLDB so that it finds its debug server
     * ({@code LLDB_DEBUGSERVER_PATH}) and its Python package ({@code PYTHONPATH}, in front of any path the
     * process already has). A fresh mutable map, in a stable order.
     */
    public static Map<String, String> lldbEnvironment() {
        Map<String, String> env = new LinkedHashMap<>();
        env.put("LLDB_DEBUGSERVER_PATH", lldbServer().toString());
        String pythonPath = lldbPythonPath().toString();
        String inherited = System.getenv("PYTHONPATH");
        if (inherited != null && !inherited.isEmpty()) {
            pythonPath = pythonPath + File.pathSeparator + inherited;
        }
        env.put("PYTHONPATH", pythonPath);
        return env;
    }

    private static String setting(String property, String environmentVariable, String fallback) {
        String value = System.getProperty(property);
        if (value == null || value.isEmpty()) {
            value = System.getenv(environmentVariable);
        }
        return value == null || value.isEmpty() ? fallback : value;
    }
}
