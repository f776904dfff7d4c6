import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Collections;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.function.LongSupplier;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

import org.qzt.kmp.tools.ohos.debugger.cli.Debuggee;
import org.qzt.kmp.tools.ohos.debugger.cli.LocalPlatform;
import org.qzt.kmp.tools.ohos.debugger.cli.LocalSetup;
import org.qzt.kmp.tools.ohos.debugger.jni.LLDBNativeWrapper;
import org.qzt.kmp.tools.ohos.debugger.jni.SpecDebugEvent;
import org.qzt.kmp.tools.ohos.debugger.jni.ThreadInfo;

/**
 * Run-control benchmark through the Java natives, against the raw SB API floor measured in the same run
 * (the program named by -Dbench.floor, run as a child process before each round of the Java side). Jobs: stop latency from
 * continueExecution to the breakpoint's SpecDebugEvent, getThreadList(h, 0) of 65 threads at a fresh stop,
 * getStackTrace of a 200-deep thread at a fresh stop. Prints the medians and their ratios.
 */
public final class RunControlBench {
    private static final int SAMPLES = 60;
    private static final int WARMUP = 5;
    private static final Pattern FLOOR_LINE = Pattern.compile("floor (\\w+) median_ms=([-0-9.]+)");
    private static final Map<String, Double> TARGETS = Map.of("stop", 1.25, "threads", 1.3, "stack", 1.3);

    private RunControlBench() {
    }

    /**
     * Floor and Java alternate in rounds, each round a fresh floor process and fresh Java sessions:
     * how fast the machine wakes a sleeping thread drifts during a run and moves both sides, so the
     * figure is the median of the per-round ratios.
     */
    private static final int ROUNDS = 3;

    public static void main(String[] args) throws Exception {
        Map<String, List<Double>> ratios = new HashMap<>();
        Map<String, List<Double>> javaMs = new HashMap<>();
        Map<String, List<Double>> floorMs = new HashMap<>();
        for (int round = 0; round < ROUNDS; round++) {
            Map<String, Double> floor = runFloor(System.getProperty("bench.floor"));
            Map<String, Double> java = Map.of("stop", stopLatency(), "threads", threadList(), "stack", deepStack());
            for (String job : JOBS) {
                ratios.computeIfAbsent(job, k -> new ArrayList<>()).add(java.get(job) / floor.get(job));
                javaMs.computeIfAbsent(job, k -> new ArrayList<>()).add(java.get(job));
                floorMs.computeIfAbsent(job, k -> new ArrayList<>()).add(floor.get(job));
            }
        }
        boolean met = true;
        System.out.println("run-control benchmark (medians of " + ROUNDS + " alternating rounds of " + SAMPLES
                + " samples each side)");
        for (String job : JOBS) {
            double ratio = median(ratios.get(job));
            boolean ok = ratio <= TARGETS.get(job);
            met &= ok;
            System.out.printf("  %-8s java=%.3f floor=%.3f ratio=%.3f (rounds %s) target<=%.2f %s%n", job,
                    median(javaMs.get(job)), median(floorMs.get(job)), ratio, rounded(ratios.get(job)),
                    TARGETS.get(job), ok ? "met" : "MISSED");
        }
        System.out.println(met ? "all targets met" : "some targets missed");
    }

    private static final List<String> JOBS = List.of("stop", "threads", "stack");

    private static String rounded(List<Double> values) {
        StringBuilder text = new StringBuilder();
        for (double v : values) {
            text.append(text.length() == 0 ? "" : " ").append(String.format("%.2f", v));
        }
        return text.toString();
    }

    private static Map<String, Double> runFloor(String binary) throws IOException, InterruptedException {
        Process process = new ProcessBuilder(binary).redirectError(ProcessBuilder.Redirect.INHERIT).start();
        Map<String, Double> result = new HashMap<>();
        try (BufferedReader in = new BufferedReader(
                new InputStreamReader(process.getInputStream(), StandardCharsets.UTF_8))) {
            String line;
            while ((line = in.readLine()) != null) {
                Matcher m = FLOOR_LINE.matcher(line);
                if (m.find()) {
                    result.put(m.group(1), Double.parseDouble(m.group(2)));
                }
            }
        }
        if (process.waitFor() != 0 || result.size() != 3) {
            throw new IllegalStateException("floor program failed: " + result);
        }
        return result;
    }

    /** One attached engine per job, torn down afterwards. */
    private interface Job {
        double run(long engine) throws Exception;
    }

    private static double withSession(Job job, String... debuggeeArgs) throws Exception {
        try (LocalPlatform platform = LocalPlatform.start();
             Debuggee debuggee = Debuggee.start("run_control_target", debuggeeArgs)) {
            long engine = LLDBNativeWrapper.initDebugger(LocalSetup.lldbEnvironment());
            try {
                LLDBNativeWrapper.selectPlatform(engine, "remote-linux");
                if (!LLDBNativeWrapper.connectPlatform(engine, platform.connectUrl())
                        || LLDBNativeWrapper.attachToProcess(engine, (int) debuggee.pid()) != engine) {
                    throw new IllegalStateException("attach failed");
                }
                return job.run(engine);
            } finally {
                LLDBNativeWrapper.destroyDebugger(engine);
            }
        }
    }

    private static SpecDebugEvent nextRest(long engine) {
        for (int i = 0; i < 100; i++) {
            SpecDebugEvent event = LLDBNativeWrapper.waitForEvent(engine, 10);
            if (event != null && event.eventType != SpecDebugEvent.RUNNING) {
                return event;
            }
        }
        throw new IllegalStateException("no stop");
    }

    private static void freshStop(long engine) {
        if (!LLDBNativeWrapper.continueExecution(engine)) {
            throw new IllegalStateException("continue failed");
        }
        for (int i = 0; i < 100; i++) {
            SpecDebugEvent event = LLDBNativeWrapper.waitForEvent(engine, 10);
            if (event != null && event.eventType == SpecDebugEvent.RUNNING) {
                break;
            }
        }
        LLDBNativeWrapper.pauseExecution(engine);
        nextRest(engine);
    }

    private static double median(List<Double> samples) {
        List<Double> sorted = new ArrayList<>(samples);
        Collections.sort(sorted);
        return sorted.get(sorted.size() / 2);
    }

    private static double measure(Runnable prepare, LongSupplier timed) {
        List<Double> samples = new ArrayList<>();
        long sink = 0;
        for (int i = 0; i < WARMUP + SAMPLES; i++) {
            prepare.run();
            long start = System.nanoTime();
            sink += timed.getAsLong();
            double ms = (System.nanoTime() - start) / 1e6;
            if (i >= WARMUP) {
                samples.add(ms);
            }
        }
        System.err.println("(sink " + sink + ")");
        return median(samples);
    }

    private static double stopLatency() throws Exception {
        return withSession(engine -> {
            if (!LLDBNativeWrapper.setBreakpoint(engine, 0, "run_control_target.c", 105).valid) {
                throw new IllegalStateException("breakpoint");
            }
            return measure(() -> { }, () -> {
                LLDBNativeWrapper.continueExecution(engine);
                SpecDebugEvent stop = nextRest(engine);
                if (stop.eventType != SpecDebugEvent.STOPPED || stop.breakpointId == 0) {
                    throw new IllegalStateException("not a breakpoint stop: " + stop);
                }
                return stop.stackFrames.length;
            });
        }, "hot");
    }

    private static double threadList() throws Exception {
        return withSession(engine -> measure(() -> freshStop(engine), () -> {
            ThreadInfo[] threads = LLDBNativeWrapper.getThreadList(engine, 0);
            if (threads.length != 65) {
                throw new IllegalStateException("threads: " + threads.length);
            }
            return threads.length;
        }), "threads", "64");
    }

    private static double deepStack() throws Exception {
        return withSession(engine -> {
            int deep = 0;
            for (ThreadInfo t : LLDBNativeWrapper.getThreadList(engine, 0)) {
                if (LLDBNativeWrapper.getThreadNumFrames(engine, (int) t.systemThreadId) > 150) {
                    deep = (int) t.systemThreadId;
                }
            }
            final int tid = deep;
            return measure(() -> freshStop(engine), () -> LLDBNativeWrapper.getStackTrace(tid).length);
        }, "stacks", "200");
    }
}
