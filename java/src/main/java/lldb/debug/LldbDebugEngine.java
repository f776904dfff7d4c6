package lldb.debug;

import java.util.List;

import org.qzt.kmp.tools.lldb.debug.Breakpoint;
import org.qzt.kmp.tools.lldb.debug.DebugEventListener;
import org.qzt.kmp.tools.lldb.debug.EvalResult;
import org.qzt.kmp.tools.lldb.debug.MemoryBlock;
import org.qzt.kmp.tools.lldb.debug.ProcessInfo;
import org.qzt.kmp.tools.lldb.debug.RegisterSet;
import org.qzt.kmp.tools.lldb.debug.Thread;
import org.qzt.kmp.tools.lldb.debug.Variable;
import org.qzt.kmp.tools.ohos.debugger.jni.NativeLibraryLoader;

/**
 * The older engine interface: every native takes the engine handle made by {@link #nCreate()} as its first
 * argument and returns model objects of package {@code org.qzt.kmp.tools.lldb.debug}. Engine handles are
 * shared with {@code LLDBNativeWrapper}: an engine made by either interface can be used through both.
 *
 * <p>Thread arguments: {@link #nSetSelectedThread}, {@link #nSetSelectedFrame} and {@link #nGetRegisterSets}
 * take the thread's position in the process's thread list.
 */
public final class LldbDebugEngine {
    static {
        NativeLibraryLoader.load();
    }

    private LldbDebugEngine() {
    }

    public static native long nCreate();

    public static native void nDestroy(long engine);

    /**
     * Registers the one library-wide listener for {@code engine}, or clears it when {@code listener} is
     * null. The listener is any object with a method {@code void onEvent(DebugEvent)}, normally a
     * {@link DebugEventListener}.
     */
    public static native void nSetEventListener(long engine, Object listener);

    /** Connects the "remote-ohos" platform. */
    public static native boolean nConnectPlatform(long engine, String url);

    public static native boolean nAppendExecSearchPaths(long engine, String path);

    public static native boolean nAppendDebugFileSearchPaths(long engine, String path);

    public static native boolean nImportKotlinScript(long engine, String scriptPath);

    public static native boolean nCreateTarget(long engine);

    public static native boolean nAttach(long engine, long pid);

    public static native boolean nDetach(long engine);

    public static native boolean nHasProcess(long engine);

    public static native ProcessInfo nGetProcessInfo(long engine);

    public static native boolean nContinue(long engine);

    public static native boolean nStop(long engine);

    public static native boolean nStepOver(long engine);

    public static native boolean nStepInto(long engine);

    public static native boolean nStepOut(long engine);

    public static native boolean nWaitForStopEvent(long engine, int timeoutSeconds);

    public static native int nAddBreakpointByLocation(long engine, String file, int line);

    public static native int nAddBreakpointByName(long engine, String functionName);

    public static native boolean nRemoveBreakpoint(long engine, int breakpointId);

    public static native boolean nSetBreakpointEnabled(long engine, int breakpointId, boolean enabled);

    public static native List<Breakpoint> nGetBreakpoints(long engine);

    public static native List<Thread> nGetThreads(long engine);

    public static native boolean nSetSelectedThread(long engine, int threadPosition);

    public static native boolean nSetSelectedFrame(long engine, int threadPosition, int frameIndex);

    public static native List<Variable> nGetVariables(long engine, int thread, int frameIndex);

    public static native List<Variable> nGetVariableChildren(long engine, String variableId);

    public static native List<RegisterSet> nGetRegisterSets(long engine, int threadPosition, int frameIndex);

    public static native MemoryBlock nReadMemory(long engine, long address, long size);

    public static native EvalResult nEvaluate(long engine, int thread, int frameIndex, String expression);
}
