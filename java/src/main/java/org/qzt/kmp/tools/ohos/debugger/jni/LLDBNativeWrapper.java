package org.qzt.kmp.tools.ohos.debugger.jni;

import java.util.Map;

/**
 * Session-oriented debugger interface served by the {@code nativescope} library.
 *
 * <p>Engines are identified by a {@code long} engine handle (0 means none). Natives that take no engine
 * handle work on the <em>current engine</em>: the one that last attached successfully, continued, stepped,
 * waited for an event or disassembled. All natives report failure through their result (false, 0, null)
 * and never throw; two of them leave a message that {@link #getLastAttachErrorMessage()} and
 * {@link #getLastInterpreterCommandOutput()} return afterwards. Call the natives of one engine from one
 * thread at a time.
 *
 * <p>Thread numbers: {@link ThreadInfo#threadId} is LLDB's index id (for {@link #selectThread}); the
 * operating-system thread id ({@link ThreadInfo#systemThreadId}) is what {@link #getThreadNumFrames},
 * {@link #getStackTrace}, {@link #selectFrame} and the step natives take. A frame handle holds the
 * operating-system thread id in its upper and the frame index in its lower 32 bits.
 */
public final class LLDBNativeWrapper {
    static {
        NativeLibraryLoader.load();
    }

    private LLDBNativeWrapper() {
    }

    // ---- engine and session ------------------------------------------------------------------------

    /**
     * Writes the given environment variables into this process's environment and creates an engine.
     * Returns the engine handle, or 0 when {@code env} is null or the engine could not be created.
     */
    public static native long initDebugger(Map<String, String> env);

    public static native void destroyDebugger(long engine);

    /** Chooses the LLDB platform for later {@link #connectPlatform} calls; null or "" means "remote-ohos". */
    public static native boolean selectPlatform(long ignored, String platformName);

    public static native boolean connectPlatform(long engine, String connectUrl);

    public static native boolean setExecSearchPath(long engine, String path);

    public static native boolean loadKotlinScript(long engine, String scriptPath);

    public static native boolean handleInterpreterCommand(long engine, String command);

    public static native String getLastInterpreterCommandOutput();

    /** Creates a target and attaches to {@code pid}; returns {@code engine} on success, 0 on failure. */
    public static native long attachToProcess(long engine, int pid);

    public static native String getLastAttachErrorMessage();

    public static native boolean detachProcess(long engine);

    // ---- run control, events and breakpoints -------------------------------------------------------

    public static native boolean continueExecution(long engine);

    public static native boolean pauseExecution(long engine);

    public static native boolean stepOver(long engine, long threadId);

    public static native boolean stepInto(long engine, long threadId);

    public static native boolean stepOut(long engine, long threadId);

    public static native boolean stepInstructionInto(long engine, long threadId);

    public static native boolean stepInstructionOver(long engine, long threadId);

    public static native boolean runToAddress(long engine, long threadId, long address);

    /** Waits at most {@code timeoutSeconds} for the next event; null on time-out. */
    public static native SpecDebugEvent waitForEvent(long engine, int timeoutSeconds);

    public static native BreakpointInfo setBreakpoint(long engine, long ignored, String file, int line);

    public static native boolean deleteBreakpoint(long engine, long ignored, int breakpointId);

    public static native boolean setBreakpointCondition(long engine, long ignored, int breakpointId,
            String condition);

    // ---- threads and stacks ------------------------------------------------------------------------

    /** Threads with up to three frames each; a cap below 1 lists every thread. */
    public static native ThreadInfo[] getThreadList(long engine, int threadCap);

    public static native int getThreadCount(long engine);

    public static native int getThreadNumFrames(long engine, int threadId);

    public static native boolean selectThread(long engine, int indexId);

    public static native long getCurrentThread(long engine);

    /** Selects a frame on the current engine; returns its frame handle, or 0 on failure. */
    public static native long selectFrame(int threadId, int frameIndex);

    public static native StackFrameInfo[] getStackTrace(int threadId);

    // ---- variables and evaluation ------------------------------------------------------------------

    public static native VariableInfo[] getFrameVariables(long frameHandle);

    public static native FrameVariablesPage getFrameVariablesPage(long frameHandle, int offset, int count);

    public static native VariableInfo[] getChildVariables(long valueHandle);

    public static native VariableInfo[] getChildVariablesRange(long valueHandle, int start, int count);

    public static native void releaseValueHandle(long valueHandle);

    public static native void releaseAllValueHandles(long engine);

    public static native void clearFrameVariablesPageCache(long engine);

    public static native EvaluationResult evaluateExpression(long frameHandle, String expression);

    // ---- disassembly -------------------------------------------------------------------------------

    public static native DisassemblyInstructionInfo[] getDisassemblyAroundFrame(long engine, long threadId,
            int frameIndex, int instructionsBefore, int instructionsAfter);

    public static native DisassemblyInstructionInfo[] getDisassemblyFromLoadAddress(long engine,
            long threadId, int frameIndex, long loadAddress, int instructionCount);
}
