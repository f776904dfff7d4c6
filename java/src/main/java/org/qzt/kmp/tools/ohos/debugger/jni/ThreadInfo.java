package org.qzt.kmp.tools.ohos.debugger.jni;

/** One thread of the stopped process with a short preview of its stack. */
public class ThreadInfo {
    /** LLDB's index id of the thread; {@link LLDBNativeWrapper#selectThread} takes this number. */
    public int threadId;
    /** Operating-system thread id (sign-extended 32-bit value). */
    public long threadHandle;
    public String name;
    public String queue;
    /** Operating-system thread id, the same number as {@link #threadHandle}. */
    public long systemThreadId;
    public String stopReason;
    public boolean suspended;
    public boolean currentThread;
    public StackFrameInfo topFrame;
    public StackFrameInfo[] previewFrames;
    public int totalFrameCount;
    public boolean framesTruncated;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
