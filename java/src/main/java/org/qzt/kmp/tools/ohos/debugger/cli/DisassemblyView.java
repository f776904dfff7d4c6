package org.qzt.kmp.tools.ohos.debugger.cli;

import java.util.ArrayList;
import java.util.List;

import org.qzt.kmp.tools.ohos.debugger.jni.DisassemblyInstructionInfo;

/**
 * Renders an instruction window as aligned rows: marker, address, machine code bytes, mnemonic, operands
 * and LLDB's comment. The instruction at the frame's program counter is marked with {@link #CURRENT}.
 */
final class DisassemblyView {
    static final String CURRENT = "=>";

    private DisassemblyView() {
    }

    static List<String> rows(DisassemblyInstructionInfo[] window) {
        int codeWidth = 1;
        int mnemonicWidth = 1;
        for (DisassemblyInstructionInfo row : window) {
            codeWidth = Math.max(codeWidth, text(row.machineCode).length());
            mnemonicWidth = Math.max(mnemonicWidth, text(row.mnemonic).length());
        }
        String format = "  %-2s 0x%016x  %-" + codeWidth + "s  %-" + mnemonicWidth + "s %s";
        List<String> lines = new ArrayList<>(window.length);
        for (DisassemblyInstructionInfo row : window) {
            StringBuilder line = new StringBuilder(String.format(format, row.currentInstruction ? CURRENT : "",
                    row.address, text(row.machineCode), text(row.mnemonic), text(row.operands)));
            if (!text(row.comment).isEmpty()) {
                line.append("  ; ").append(row.comment);
            }
            lines.add(line.toString().stripTrailing());
        }
        return lines;
    }

    private static String text(String value) {
        return value == null ? "" : value;
    }
}
