package org.qzt.kmp.tools.lldb.debug;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** One stack frame. */
public class Frame {
    public int index;
    public long pc;
    public String functionName;
    public String module;
    public SourceLocation location;
    public boolean hasDebugInfo;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
