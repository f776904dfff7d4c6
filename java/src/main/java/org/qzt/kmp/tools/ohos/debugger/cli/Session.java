package org.qzt.kmp.tools.ohos.debugger.cli;

import java.io.PrintStream;

/**
 * One debugging session of the tool: make an engine, connect, attach, report the process, carry out the
 * plan, detach, and always destroy the engine. Subclasses make each step through one of the two Java
 * interfaces.
 */
abstract class Session {
    protected final PrintStream out;
    protected final PrintStream err;
    protected final SessionPlan plan;
    protected final SessionReport report;
    private final String heading;

    Session(PrintStream out, PrintStream err, SessionPlan plan, String heading) {
        this.out = out;
        this.err = err;
        this.plan = plan;
        this.report = new SessionReport(out);
        this.heading = heading;
    }

    /** Runs the session against {@code pid}; returns the tool's exit code. */
    final int run(String platformName, String url, int pid) {
        long engine = createEngine();
        if (engine == 0) {
            return NativescopeCli.EXIT_FAILED;
        }
        try {
            out.println(heading);
            report.line("engine", "0x" + Long.toHexString(engine));
            if (!connect(engine, platformName, url) || !attach(engine, pid)) {
                return NativescopeCli.EXIT_FAILED;
            }
            report.line("attached", "pid " + pid);
            reportProcess(engine);
            if (plan.kotlinScript != null) {
                report.line("kotlin script", loadKotlinScript(engine, plan.kotlinScript) + " " + plan.kotlinScript);
            }
            if (!carryOutPlan(engine)) {
                return NativescopeCli.EXIT_FAILED;
            }
            out.println("detach:");
            report.line("detached", detach(engine));
            return NativescopeCli.EXIT_OK;
        } finally {
            destroy(engine);
        }
    }

    /** A new engine, or 0 after reporting why there is none. */
    abstract long createEngine();

    abstract boolean connect(long engine, String platformName, String url);

    abstract boolean attach(long engine, int pid);

    abstract void reportProcess(long engine);

    abstract boolean loadKotlinScript(long engine, String path);

    /** Stops where the plan says and shows the stop; false ends the session as failed. */
    abstract boolean carryOutPlan(long engine);

    abstract boolean detach(long engine);

    abstract void destroy(long engine);

    /** Reports why the session cannot go on; returns false for the caller to pass up. */
    final boolean fail(String message) {
        err.println("nativescope-cli: " + message);
        return false;
    }
}
