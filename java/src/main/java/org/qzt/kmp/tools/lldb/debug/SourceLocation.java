package org.qzt.kmp.tools.lldb.debug;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** Source position of a frame: full path, bare file name, line and column. */
public class SourceLocation {
    public String file;
    public String filename;
    public int line;
    public int column;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
