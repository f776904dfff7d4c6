package org.qzt.kmp.tools.ohos.debugger.jni;

/**
 * One variable of a frame or one child of a variable. {@link #valueHandle} is passed back to
 * {@link LLDBNativeWrapper#getChildVariables} to expand it and released with
 * {@link LLDBNativeWrapper#releaseValueHandle}.
 */
public class VariableInfo {
    public String name;
    public String value;
    public String type;
    public boolean hasChildren;
    public int childCount;
    public long valueHandle;
    /** "0x" and lower-case hexadecimal digits, or empty when the variable has no address. */
    public String address;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
