package org.qzt.kmp.tools.lldb.debug;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** One resolved location of a breakpoint. */
public class BreakpointLocation {
    public long locationId;
    public String file;
    public int line;
    public int column;
    public long address;
    public boolean resolved;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
