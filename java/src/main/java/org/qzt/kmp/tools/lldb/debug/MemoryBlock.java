package org.qzt.kmp.tools.lldb.debug;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** Bytes read from the debuggee; {@link #error} explains a short or failed read. */
public class MemoryBlock {
    public long address;
    public byte[] data;
    public int bytesRead;
    public String error;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
