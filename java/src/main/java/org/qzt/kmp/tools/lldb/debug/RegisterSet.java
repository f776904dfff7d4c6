package org.qzt.kmp.tools.lldb.debug;

import java.util.List;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** A named group of registers of one frame. */
public class RegisterSet {
    public String name;
    public List<Register> registers;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
