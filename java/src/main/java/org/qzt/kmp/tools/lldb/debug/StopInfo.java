package org.qzt.kmp.tools.lldb.debug;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** Details of a stop: for breakpoint stops {@link #breakpointId} is the breakpoint and {@link #watchpointId} its location. */
public class StopInfo {
    public StopReason reason;
    public int breakpointId;
    public int watchpointId;
    public String description;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
