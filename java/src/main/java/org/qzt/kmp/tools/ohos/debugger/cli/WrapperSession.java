package org.qzt.kmp.tools.ohos.debugger.cli;

import java.io.PrintStream;

import org.qzt.kmp.tools.ohos.debugger.jni.BreakpointInfo;
import org.qzt.kmp.tools.ohos.debugger.jni.DisassemblyInstructionInfo;
import org.qzt.kmp.tools.ohos.debugger.jni.FrameVariablesPage;
import org.qzt.kmp.tools.ohos.debugger.jni.LLDBNativeWrapper;
import org.qzt.kmp.tools.ohos.debugger.jni.SpecDebugEvent;
import org.qzt.kmp.tools.ohos.debugger.jni.StackFrameInfo;
import org.qzt.kmp.tools.ohos.debugger.jni.ThreadInfo;
import org.qzt.kmp.tools.ohos.debugger.jni.VariableInfo;

/**
 * One session through {@link LLDBNativeWrapper}: connect, attach, report, stop at the plan's breakpoint (or
 * stay at the attach stop), show the instruction window of the stopped frame, detach. The window goes to
 * its own stream so that a caller can show it alone.
 */
final class WrapperSession extends Session {
    /** Variables shown of the stopped frame. */
    static final int VARIABLES_PAGE = 20;

    private final PrintStream window;

    WrapperSession(PrintStream out, PrintStream window, PrintStream err, SessionPlan plan) {
        super(out, err, plan, "session:");
        this.window = window;
    }

    @Override
    long createEngine() {
        long engine = LLDBNativeWrapper.initDebugger(LocalSetup.lldbEnvironment());
        if (engine == 0) {
            fail("initDebugger failed");
        }
        return engine;
    }

    @Override
    boolean connect(long engine, String platformName, String url) {
        LLDBNativeWrapper.selectPlatform(engine, platformName);
        report.line("platform", platformName);
        if (!LLDBNativeWrapper.connectPlatform(engine, url)) {
            return fail("cannot connect platform " + platformName + " at " + url);
        }
        report.line("connected", url);
        return true;
    }

    @Override
    boolean attach(long engine, int pid) {
        return LLDBNativeWrapper.attachToProcess(engine, pid) == engine
                || fail("attach to " + pid + " failed: " + LLDBNativeWrapper.getLastAttachErrorMessage());
    }

    @Override
    void reportProcess(long engine) {
        report.processFacts(engine);
    }

    @Override
    boolean loadKotlinScript(long engine, String path) {
        return LLDBNativeWrapper.loadKotlinScript(engine, path);
    }

    /** Without a breakpoint the window of the attach stop is all there is to show. */
    @Override
    boolean carryOutPlan(long engine) {
        return plan.breakAt != null ? stopAt(engine, plan.breakAt)
                : showWindow(engine, LLDBNativeWrapper.getCurrentThread(engine)) || !plan.windowOnly;
    }

    @Override
    boolean detach(long engine) {
        return LLDBNativeWrapper.detachProcess(engine);
    }

    @Override
    void destroy(long engine) {
        LLDBNativeWrapper.destroyDebugger(engine);
    }

    /**
     * Sets the breakpoint, continues to it and prints the stop event, the threads, the stack, the
     * instruction window and the variables of the stopped frame.
     */
    private boolean stopAt(long engine, SessionPlan.BreakLocation location) {
        out.println("breakpoint:");
        BreakpointInfo bp = LLDBNativeWrapper.setBreakpoint(engine, 0, location.file, location.line);
        report.line("set", location + " -> " + bp);
        if (bp == null || !bp.valid) {
            return fail("cannot set a breakpoint at " + location);
        }
        if (!LLDBNativeWrapper.continueExecution(engine)) {
            return fail("continue failed");
        }
        SpecDebugEvent stop = null;
        for (int waited = 0; stop == null && waited < NativescopeCli.STOP_WAIT_SECONDS; waited++) {
            SpecDebugEvent event = LLDBNativeWrapper.waitForEvent(engine, 1);
            if (event != null && event.eventType != SpecDebugEvent.RUNNING) {
                stop = event;
            }
        }
        if (stop == null || stop.eventType != SpecDebugEvent.STOPPED) {
            return fail("no stop within " + NativescopeCli.STOP_WAIT_SECONDS + " s: " + stop);
        }
        out.println("stop:");
        report.line("event", stop);
        out.println("threads:");
        ThreadInfo[] threads = LLDBNativeWrapper.getThreadList(engine, 0);
        for (ThreadInfo t : threads == null ? new ThreadInfo[0] : threads) {
            report.line((t.currentThread ? "* thread #" : "  thread #") + t.threadId, t);
        }
        out.println("stack of thread " + stop.threadId + ":");
        StackFrameInfo[] stack = LLDBNativeWrapper.getStackTrace(stop.threadId);
        for (StackFrameInfo frame : stack == null ? new StackFrameInfo[0] : stack) {
            report.line("#" + frame.frameId, frame);
        }
        if (!showWindow(engine, stop.threadId) && plan.windowOnly) {
            return false;
        }
        if (stack != null && stack.length > 0) {
            showVariables(engine, stack[0].frameHandle);
        }
        report.line("breakpoint removed", LLDBNativeWrapper.deleteBreakpoint(engine, 0, bp.breakpointId));
        return true;
    }

    /**
     * Prints the instructions around frame #0 of the thread; false when there are none to show, which
     * ends the session only when the window is all it shows.
     */
    private boolean showWindow(long engine, long threadId) {
        DisassemblyInstructionInfo[] rows =
                LLDBNativeWrapper.getDisassemblyAroundFrame(engine, threadId, 0, plan.before, plan.after);
        if (rows == null || rows.length == 0) {
            return fail("no instructions around frame #0 of thread " + threadId);
        }
        window.println("disassembly of frame #0 of thread " + threadId
                + " (" + plan.before + " before, " + plan.after + " after):");
        DisassemblyView.rows(rows).forEach(window::println);
        return true;
    }

    /** Prints the first page of a frame's variables and the children of the first expandable one. */
    private void showVariables(long engine, long frameHandle) {
        FrameVariablesPage page = LLDBNativeWrapper.getFrameVariablesPage(frameHandle, 0, VARIABLES_PAGE);
        if (page == null) {
            out.println("variables: none");
            return;
        }
        out.println("variables of frame #0 (" + page.variables.length + " of " + page.totalFiltered + "):");
        VariableInfo expandable = null;
        for (VariableInfo v : page.variables) {
            report.line(v.name, describe(v));
            if (expandable == null && v.hasChildren) {
                expandable = v;
            }
        }
        if (expandable != null) {
            out.println("children of " + expandable.name + ":");
            VariableInfo[] children = LLDBNativeWrapper.getChildVariables(expandable.valueHandle);
            for (VariableInfo child : children == null ? new VariableInfo[0] : children) {
                report.line(child.name, describe(child));
            }
        }
        LLDBNativeWrapper.releaseAllValueHandles(engine);
    }

    private static String describe(VariableInfo v) {
        return v.type + " = " + v.value + (v.hasChildren ? "  [+" + v.childCount + "]" : "");
    }
}
