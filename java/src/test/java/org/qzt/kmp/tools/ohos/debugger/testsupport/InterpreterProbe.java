package org.qzt.kmp.tools.ohos.debugger.testsupport;

import java.nio.charset.StandardCharsets;
import java.util.Base64;
import java.util.Map;

import org.qzt.kmp.tools.ohos.debugger.cli.LocalSetup;
import org.qzt.kmp.tools.ohos.debugger.jni.LLDBNativeWrapper;

/**
 * Main program for {@link ChildJvm}: creates the process's first engine with LLDB's environment plus the
 * {@code NAME=VALUE} arguments before "--" (a value of "(null)" puts a null value into the map), then runs
 * each argument after "--": "import:PATH" through {@code loadKotlinScript}, anything else through
 * {@code handleInterpreterCommand}. For each it prints one line "RESULT true|false BASE64(output)".
 */
public final class InterpreterProbe {
    public static final String NULL_VALUE = "(null)";

    private InterpreterProbe() {
    }

    public static void main(String[] args) {
        Map<String, String> env = LocalSetup.lldbEnvironment();
        int i = 0;
        for (; i < args.length && !args[i].equals("--"); i++) {
            int eq = args[i].indexOf('=');
            String value = args[i].substring(eq + 1);
            env.put(args[i].substring(0, eq), value.equals(NULL_VALUE) ? null : value);
        }
        long engine = LLDBNativeWrapper.initDebugger(env);
        if (engine == 0) {
            System.out.println("NO ENGINE");
            System.exit(3);
        }
        for (i++; i < args.length; i++) {
            boolean ok = args[i].startsWith("import:")
                    ? LLDBNativeWrapper.loadKotlinScript(engine, args[i].substring("import:".length()))
                    : LLDBNativeWrapper.handleInterpreterCommand(engine, args[i]);
            String output = LLDBNativeWrapper.getLastInterpreterCommandOutput();
            System.out.println("RESULT " + ok + " "
                    + Base64.getEncoder().encodeToString(output.getBytes(StandardCharsets.UTF_8)));
        }
        LLDBNativeWrapper.destroyDebugger(engine);
        System.out.flush();
        System.exit(0);
    }

    /** One "RESULT" line of the probe's output. */
    public static final class Result {
        public final boolean ok;
        public final String output;

        Result(boolean ok, String output) {
            this.ok = ok;
            this.output = output;
        }

        @Override
        public String toString() {
            return ok + " '" + output + "'";
        }
    }

    /** The probe's results in order, parsed from its standard output. */
    public static java.util.List<Result> results(ChildJvm run) {
        java.util.List<Result> results = new java.util.ArrayList<>();
        for (String line : run.stdout.split("\n")) {
            if (line.startsWith("RESULT ")) {
                String[] parts = line.split(" ", 3);
                String output = parts.length > 2
                        ? new String(Base64.getDecoder().decode(parts[2]), StandardCharsets.UTF_8) : "";
                results.add(new Result(Boolean.parseBoolean(parts[1]), output));
            }
        }
        return results;
    }
}
