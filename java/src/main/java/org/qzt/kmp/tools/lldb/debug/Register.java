package org.qzt.kmp.tools.lldb.debug;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** One register with its formatted value. */
public class Register {
    public String name;
    public String value;
    public int byteSize;
    public String setName;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
