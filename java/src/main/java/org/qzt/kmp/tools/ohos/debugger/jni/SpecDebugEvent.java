package org.qzt.kmp.tools.ohos.debugger.jni;

/**
 * A debug event returned by {@link LLDBNativeWrapper#waitForEvent}.
 *
 * <p>{@link #eventType}: 1 stop (breakpoint, step, signal ...), 2 running, 3 exited or detached,
 * 4 crashed.
 */
public class SpecDebugEvent {
    public static final int STOPPED = 1;
    public static final int RUNNING = 2;
    public static final int EXITED = 3;
    public static final int CRASHED = 4;

    public int eventType;
    public int threadId;
    public String stopReason;
    public int breakpointId;
    public String signalName;
    public String inferiorStdout;
    public String inferiorStderr;
    public int totalFrameCount;
    public boolean stackFramesTruncated;
    public StackFrameInfo[] stackFrames;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
