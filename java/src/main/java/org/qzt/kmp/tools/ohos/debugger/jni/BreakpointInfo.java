package org.qzt.kmp.tools.ohos.debugger.jni;

/** Outcome of setting a source breakpoint. */
public class BreakpointInfo {
    public int breakpointId;
    public boolean valid;
    public int locationCount;
    public String errorMessage;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
