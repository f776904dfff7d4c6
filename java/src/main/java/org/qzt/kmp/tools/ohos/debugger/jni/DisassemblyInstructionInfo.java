package org.qzt.kmp.tools.ohos.debugger.jni;

/** One decoded machine instruction. */
public class DisassemblyInstructionInfo {
    public long address;
    public String machineCode;
    public String mnemonic;
    public String operands;
    public String comment;
    /** True for the instruction at the chosen frame's program counter. */
    public boolean currentInstruction;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
