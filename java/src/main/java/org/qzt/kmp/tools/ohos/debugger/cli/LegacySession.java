package org.qzt.kmp.tools.ohos.debugger.cli;

import java.io.PrintStream;
import java.util.List;

import lldb.debug.LldbDebugEngine;
import org.qzt.kmp.tools.lldb.debug.DebugEvent;
import org.qzt.kmp.tools.lldb.debug.DebugEventListener;
import org.qzt.kmp.tools.lldb.debug.Frame;
import org.qzt.kmp.tools.lldb.debug.ProcessState;
import org.qzt.kmp.tools.lldb.debug.StopReason;
import org.qzt.kmp.tools.lldb.debug.Thread;
import org.qzt.kmp.tools.lldb.debug.Variable;
import org.qzt.kmp.tools.ohos.debugger.jni.LLDBNativeWrapper;

/**
 * One session through the older interface {@link LldbDebugEngine}: its listener prints every event it
 * receives as the session goes, and the stop is read as model objects (threads with full frames, variables
 * and their children). The older interface has no disassembly, so this session shows no instruction window.
 */
final class LegacySession extends Session {
    /** The only platform that {@link LldbDebugEngine#nConnectPlatform} connects. */
    static final String OLDER_INTERFACE_PLATFORM = "remote-ohos";

    LegacySession(PrintStream out, PrintStream err, SessionPlan plan) {
        super(out, err, plan, "legacy session (lldb.debug.LldbDebugEngine):");
    }

    /**
     * nCreate takes no environment, yet LLDB reads the one it needs (debug server, Python package) when its
     * first debugger starts: an engine made and dropped through the newer interface hands it over first.
     * The listener is registered at once, so that it hears everything the engine reports.
     */
    @Override
    long createEngine() {
        LLDBNativeWrapper.destroyDebugger(LLDBNativeWrapper.initDebugger(LocalSetup.lldbEnvironment()));
        long engine = LldbDebugEngine.nCreate();
        if (engine == 0) {
            fail("nCreate failed");
            return 0;
        }
        DebugEventListener listener = event -> report.line("event", describe(event));
        LldbDebugEngine.nSetEventListener(engine, listener);
        return engine;
    }

    /**
     * nConnectPlatform knows only {@value #OLDER_INTERFACE_PLATFORM}; any other platform is chosen and
     * connected through the newer interface on the same engine handle, which both interfaces share.
     */
    @Override
    boolean connect(long engine, String platformName, String url) {
        boolean connected;
        if (OLDER_INTERFACE_PLATFORM.equals(platformName)) {
            report.line("platform", platformName);
            connected = LldbDebugEngine.nConnectPlatform(engine, url);
        } else {
            report.line("platform", platformName + " (through LLDBNativeWrapper: nConnectPlatform connects only "
                    + OLDER_INTERFACE_PLATFORM + ")");
            connected = LLDBNativeWrapper.selectPlatform(engine, platformName)
                    && LLDBNativeWrapper.connectPlatform(engine, url);
        }
        if (!connected) {
            return fail("cannot connect platform " + platformName + " at " + url);
        }
        report.line("connected", url);
        return true;
    }

    @Override
    boolean attach(long engine, int pid) {
        return LldbDebugEngine.nCreateTarget(engine) && LldbDebugEngine.nAttach(engine, pid)
                || fail("attach to " + pid + " failed");
    }

    @Override
    void reportProcess(long engine) {
        report.processInfo(LldbDebugEngine.nGetProcessInfo(engine));
    }

    @Override
    boolean loadKotlinScript(long engine, String path) {
        return LldbDebugEngine.nImportKotlinScript(engine, path);
    }

    /** The older interface has no disassembly: without a breakpoint there is nothing more to show. */
    @Override
    boolean carryOutPlan(long engine) {
        return plan.breakAt == null || stopAt(engine, plan.breakAt);
    }

    @Override
    boolean detach(long engine) {
        return LldbDebugEngine.nDetach(engine);
    }

    /** Also releases the listener. */
    @Override
    void destroy(long engine) {
        LldbDebugEngine.nDestroy(engine);
    }

    /**
     * Adds the breakpoint, continues to it and prints the threads, the stopped thread's frames and the
     * variables of its top frame; the listener reports the breakpoint's addition, hit and removal.
     */
    private boolean stopAt(long engine, SessionPlan.BreakLocation location) {
        out.println("breakpoint:");
        int id = LldbDebugEngine.nAddBreakpointByLocation(engine, location.file, location.line);
        report.line("added", location + " -> id " + id);
        if (id <= 0) {
            return fail("cannot set a breakpoint at " + location);
        }
        report.line("continued", LldbDebugEngine.nContinue(engine));
        boolean stopped = false;
        for (int waited = 0; !stopped && waited < NativescopeCli.STOP_WAIT_SECONDS; waited++) {
            stopped = LldbDebugEngine.nWaitForStopEvent(engine, 1);
        }
        if (!stopped) {
            return fail("no stop within " + NativescopeCli.STOP_WAIT_SECONDS + " s");
        }
        List<Thread> threads = LldbDebugEngine.nGetThreads(engine);
        int position = threads == null ? -1 : positionOfHit(threads, id);
        if (position < 0) {
            return fail("stopped, but no thread is at breakpoint " + id + ": " + threads);
        }
        out.println("threads:");
        for (int i = 0; i < threads.size(); i++) {
            report.line((i == position ? "* thread #" : "  thread #") + threads.get(i).indexId, describe(threads.get(i)));
        }
        Thread hit = threads.get(position);
        out.println("frames of thread #" + hit.indexId + ":");
        for (Frame frame : hit.frames) {
            report.line("#" + frame.index, describe(frame));
        }
        // Variables are read from a thread's position in the list; 0 means the selected thread.
        LldbDebugEngine.nSetSelectedThread(engine, position);
        showVariables(engine, position);
        report.line("breakpoint removed", LldbDebugEngine.nRemoveBreakpoint(engine, id));
        return true;
    }

    private static int positionOfHit(List<Thread> threads, int breakpointId) {
        for (int i = 0; i < threads.size(); i++) {
            Thread t = threads.get(i);
            if (t.stopReason == StopReason.BREAKPOINT && t.stopInfo != null && t.stopInfo.breakpointId == breakpointId) {
                return i;
            }
        }
        return -1;
    }

    /** Prints the top frame's variables and the children of the first expandable one. */
    private void showVariables(long engine, int position) {
        List<Variable> variables = LldbDebugEngine.nGetVariables(engine, position, 0);
        if (variables == null) {
            out.println("variables: none");
            return;
        }
        out.println("variables of frame #0 (" + variables.size() + "):");
        Variable expandable = null;
        for (Variable v : variables) {
            report.line(v.name, describe(v));
            if (expandable == null && v.hasChildren) {
                expandable = v;
            }
        }
        if (expandable != null) {
            out.println("children of " + expandable.name + ":");
            List<Variable> children = LldbDebugEngine.nGetVariableChildren(engine, expandable.variableId);
            for (Variable child : children == null ? List.<Variable>of() : children) {
                report.line(child.name, describe(child));
            }
        }
    }

    static String describe(DebugEvent e) {
        StringBuilder text = new StringBuilder(String.valueOf(e.type));
        if (e.breakpointId != 0) {
            text.append(" breakpoint ").append(e.breakpointId);
        }
        if (e.newState != null && e.newState != ProcessState.INVALID) {
            text.append(" state=").append(e.newState);
        }
        if (e.stopInfo != null && e.stopInfo.reason != null && e.stopInfo.reason != StopReason.NONE) {
            text.append(" stop=").append(e.stopInfo.reason);
            if (e.stopInfo.description != null && !e.stopInfo.description.isEmpty()) {
                text.append(" '").append(e.stopInfo.description).append('\'');
            }
        }
        if (e.outputData != null && !e.outputData.isEmpty()) {
            text.append(" output=").append(e.outputData.strip());
        }
        return text.toString();
    }

    static String describe(Thread t) {
        StringBuilder text = new StringBuilder()
                .append("tid ").append(t.id)
                .append(" '").append(t.name).append('\'')
                .append(" stop=").append(t.stopReason);
        if (t.frames != null && !t.frames.isEmpty()) {
            text.append(" at ").append(describe(t.frames.get(0)));
        }
        return text.toString();
    }

    static String describe(Frame f) {
        StringBuilder text = new StringBuilder(String.valueOf(f.functionName));
        if (f.location != null && f.location.line > 0) {
            text.append(' ').append(f.location.filename).append(':').append(f.location.line);
        }
        return text.append(String.format(" (pc 0x%x", f.pc))
                .append(f.module == null || f.module.isEmpty() ? "" : " in " + f.module).append(')').toString();
    }

    private static String describe(Variable v) {
        return v.type + " = " + v.value + " (" + v.valueType + ")" + (v.hasChildren ? "  [+" + v.numChildren + "]" : "");
    }
}
