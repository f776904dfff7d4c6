package org.qzt.kmp.tools.lldb.debug;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** Facts about the attached process. */
public class ProcessInfo {
    public long pid;
    public String executable;
    public ProcessState state;
    public int exitCode;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
