package org.qzt.kmp.tools.ohos.debugger.jni;

/** One page of a frame's variables; built by the native library through its constructor. */
public class FrameVariablesPage {
    /** Number of variables of the whole frame after filtering, not only of this page. */
    public final int totalFiltered;
    public final VariableInfo[] variables;

    public FrameVariablesPage(int totalFiltered, VariableInfo[] variables) {
        this.totalFiltered = totalFiltered;
        this.variables = variables;
    }

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
