package org.qzt.kmp.tools.ohos.debugger.jni;

/** One stack frame as the native library reports it; filled field by field without a constructor. */
public class StackFrameInfo {
    public int frameId;
    public String functionName;
    /** Full source path, or the bare file name when only that is known; empty when neither is. */
    public String filePath;
    public int line;
    public int column;
    /** Operating-system thread id in the upper 32 bits, frame index in the lower 32 bits. */
    public long frameHandle;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
