package org.qzt.kmp.tools.lldb.debug;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** Result of an expression evaluation; {@link #result} is set only on success. */
public class EvalResult {
    public boolean success;
    public String error;
    public Variable result;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
