package org.qzt.kmp.tools.lldb.debug;

import java.util.List;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** A breakpoint with its resolved locations. */
public class Breakpoint {
    public int id;
    public boolean enabled;
    public String condition;
    public int hitCount;
    public int ignoreCount;
    public String file;
    public int line;
    public String functionName;
    public long address;
    public List<BreakpointLocation> locations;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
