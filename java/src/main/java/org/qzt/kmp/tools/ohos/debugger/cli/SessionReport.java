package org.qzt.kmp.tools.ohos.debugger.cli;

import java.io.PrintStream;
import java.util.function.Supplier;

import lldb.debug.LldbDebugEngine;
import org.qzt.kmp.tools.lldb.debug.ProcessInfo;
import org.qzt.kmp.tools.ohos.debugger.jni.LLDBNativeWrapper;
import org.qzt.kmp.tools.ohos.debugger.jni.StackFrameInfo;
import org.qzt.kmp.tools.ohos.debugger.jni.ThreadInfo;

/**
 * Prints what the library can tell about an attached process, one labelled fact per line. A native that
 * the loaded library does not export yet is reported as "(not available)" instead of ending the report.
 */
final class SessionReport {
    static final String NOT_AVAILABLE = "(not available)";

    private final PrintStream out;

    SessionReport(PrintStream out) {
        this.out = out;
    }

    void line(String label, Object value) {
        out.printf("  %-18s %s%n", label, value);
    }

    /** Prints {@code label} with the value of {@code query}, or a placeholder when the native is missing. */
    void fact(String label, Supplier<?> query) {
        line(label, ask(query));
    }

    static Object ask(Supplier<?> query) {
        try {
            return query.get();
        } catch (UnsatisfiedLinkError missing) {
            return NOT_AVAILABLE;
        }
    }

    /** Prints the process facts that {@code nGetProcessInfo} gave, or what came instead. */
    void processInfo(Object info) {
        out.println("process:");
        if (info instanceof ProcessInfo) {
            ProcessInfo p = (ProcessInfo) info;
            line("pid", p.pid);
            line("executable", p.executable);
            line("state", p.state);
        } else {
            line("process info", info);
        }
    }

    void processFacts(long engine) {
        processInfo(ask(() -> LldbDebugEngine.nGetProcessInfo(engine)));
        fact("thread count", () -> LLDBNativeWrapper.getThreadCount(engine));
        fact("selected thread", () -> LLDBNativeWrapper.getCurrentThread(engine));
        Object threads = ask(() -> LLDBNativeWrapper.getThreadList(engine, 0));
        if (threads instanceof ThreadInfo[]) {
            for (ThreadInfo t : (ThreadInfo[]) threads) {
                if (t != null) {
                    line("thread #" + t.threadId, describe(t));
                }
            }
        } else {
            line("threads", threads);
        }
        Object status = ask(() -> LLDBNativeWrapper.handleInterpreterCommand(engine, "process status")
                ? LLDBNativeWrapper.getLastInterpreterCommandOutput()
                : "failed: " + LLDBNativeWrapper.getLastInterpreterCommandOutput());
        out.println("lldb 'process status':");
        for (String statusLine : String.valueOf(status).split("\\R")) {
            if (!statusLine.isBlank()) {
                out.println("    " + statusLine);
            }
        }
    }

    static String describe(ThreadInfo t) {
        StringBuilder text = new StringBuilder()
                .append("tid ").append(t.systemThreadId)
                .append(" '").append(t.name).append('\'')
                .append(" stop=").append(t.stopReason)
                .append(t.currentThread ? " (selected)" : "");
        StackFrameInfo top = t.topFrame;
        if (top != null) {
            text.append(" at ").append(top.functionName);
            if (top.filePath != null && !top.filePath.isEmpty()) {
                text.append(' ').append(top.filePath).append(':').append(top.line);
            }
        }
        return text.toString();
    }
}
