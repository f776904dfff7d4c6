package org.qzt.kmp.tools.lldb.debug;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** One variable with its Kotlin-aware type and display value; {@link #variableId} names it for expansion. */
public class Variable {
    public String name;
    public String type;
    public String value;
    public String summary;
    public long address;
    public ValueType valueType;
    public boolean hasChildren;
    public int numChildren;
    public boolean isInScope;
    public boolean valueChanged;
    public String variableId;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
