package org.qzt.kmp.tools.ohos.debugger.testsupport;

import java.io.File;
import java.io.IOException;
import java.net.URISyntaxException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.concurrent.TimeUnit;

import org.qzt.kmp.tools.ohos.debugger.cli.LocalSetup;
import org.qzt.kmp.tools.ohos.debugger.jni.LLDBNativeWrapper;
import org.qzt.kmp.tools.ohos.debugger.jni.NativeLibraryLoader;

/**
 * Runs a main class in a fresh JVM with this JVM's nativescope settings and captures its standard output
 * and standard error, which include what the native library writes to file descriptors 1 and 2. Used for
 * checks on native stderr lines and on what happens at the very first engine of a process.
 */
public final class ChildJvm {
    private static final long TIMEOUT_SECONDS = 120;
    private static final String[] FORWARDED_PROPERTIES = {
        NativeLibraryLoader.LIBRARY_PATH_PROPERTY,
        LocalSetup.FIXTURES_DIR_PROPERTY,
        LocalSetup.LLDB_SERVER_PROPERTY,
        LocalSetup.LLDB_PYTHONPATH_PROPERTY,
        "java.library.path",
    };

    public final int exitCode;
    public final String stdout;
    public final String stderr;

    private ChildJvm(int exitCode, String stdout, String stderr) {
        this.exitCode = exitCode;
        this.stdout = stdout;
        this.stderr = stderr;
    }

    /** Runs {@code mainClass} with {@code args}; {@code extraEnv} is added to the inherited environment. */
    public static ChildJvm run(Class<?> mainClass, Map<String, String> extraEnv, String... args)
            throws IOException, InterruptedException {
        List<String> command = new ArrayList<>();
        command.add(Paths.get(System.getProperty("java.home"), "bin", "java").toString());
        for (String property : FORWARDED_PROPERTIES) {
            String value = System.getProperty(property);
            if (value != null) {
                command.add("-D" + property + "=" + value);
            }
        }
        command.add("-cp");
        command.add(classPath(mainClass, LLDBNativeWrapper.class));
        command.add(mainClass.getName());
        command.addAll(List.of(args));

        Path out = Files.createTempFile("child-jvm", ".out");
        Path err = Files.createTempFile("child-jvm", ".err");
        try {
            ProcessBuilder builder = new ProcessBuilder(command)
                    .redirectOutput(out.toFile())
                    .redirectError(err.toFile());
            builder.environment().putAll(extraEnv);
            Process process = builder.start();
            try {
                if (!process.waitFor(TIMEOUT_SECONDS, TimeUnit.SECONDS)) {
                    throw new IOException(mainClass.getSimpleName() + " did not finish within "
                            + TIMEOUT_SECONDS + " s; stderr so far:\n" + Files.readString(err));
                }
            } finally {
                process.descendants().forEach(ProcessHandle::destroyForcibly);
                process.destroyForcibly();
            }
            return new ChildJvm(process.exitValue(), Files.readString(out, StandardCharsets.UTF_8),
                    Files.readString(err, StandardCharsets.UTF_8));
        } finally {
            Files.deleteIfExists(out);
            Files.deleteIfExists(err);
        }
    }

    /** The jars or class directories that hold the given classes (the console launcher's -cp entries). */
    private static String classPath(Class<?>... classes) {
        Set<String> entries = new LinkedHashSet<>();
        for (Class<?> c : classes) {
            try {
                entries.add(Paths.get(c.getProtectionDomain().getCodeSource().getLocation().toURI()).toString());
            } catch (URISyntaxException e) {
                throw new IllegalStateException("class path entry of " + c, e);
            }
        }
        return String.join(File.pathSeparator, entries);
    }

    @Override
    public String toString() {
        return "exit " + exitCode + "\n--- stdout\n" + stdout + "--- stderr\n" + stderr;
    }
}
