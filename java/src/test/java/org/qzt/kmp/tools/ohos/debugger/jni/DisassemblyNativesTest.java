package org.qzt.kmp.tools.ohos.debugger.jni;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertNull;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.HashMap;
import java.util.Map;
import java.util.stream.Stream;

import lldb.debug.LldbDebugEngine;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.extension.RegisterExtension;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;
import org.qzt.kmp.tools.lldb.debug.MemoryBlock;
import org.qzt.kmp.tools.ohos.debugger.cli.Debuggee;
import org.qzt.kmp.tools.ohos.debugger.testsupport.DebugFixture;

/**
 * Disassembly natives against the disasm_target debuggee, whose threads are parked on a jump-to-self
 * instruction ("eb fe") at known spots: "middle" (the main thread), "far", "late", "early" and "nosym" (code
 * in anonymous memory, without module or symbol).
 */
class DisassemblyNativesTest {
    @RegisterExtension
    final DebugFixture fixture = new DebugFixture();

    private long engine;
    private Map<String, Long> threads;

    @BeforeEach
    void attach() throws IOException {
        Debuggee debuggee = fixture.debuggee("disasm_target");
        engine = fixture.attachedEngine(debuggee);
        threads = threadIdsByName(debuggee.pid());
    }

    /** LLDB's thread ids on Linux are the kernel's: read them with their names from /proc. */
    private static Map<String, Long> threadIdsByName(long pid) throws IOException {
        Map<String, Long> byName = new HashMap<>();
        try (Stream<Path> tasks = Files.list(Path.of("/proc", Long.toString(pid), "task"))) {
            for (Path task : (Iterable<Path>) tasks::iterator) {
                String name = Files.readString(task.resolve("comm")).trim();
                byName.put(name.equals("disasm_target") ? "middle" : name, Long.parseLong(task.getFileName().toString()));
            }
        }
        return byName;
    }

    private long tid(String name) {
        Long id = threads.get(name);
        assertNotNull(id, "no thread named " + name + " in " + threads);
        return id;
    }

    private static int currentIndex(DisassemblyInstructionInfo[] rows) {
        int found = -1;
        for (int i = 0; i < rows.length; i++) {
            if (rows[i].currentInstruction) {
                assertEquals(-1, found, "more than one current row");
                found = i;
            }
        }
        return found;
    }

    @ParameterizedTest(name = "{0} before={1} after={2}")
    @CsvSource({
        "middle, 5, 5, 11, 5",
        "far, 5, 5, 11, 5",
        "late, 5, 5, 11, 5",
        "early, 20, 3, 24, 20",
        "nosym, 5, 5, 11, 5",
        "middle, 0, 0, 1, 0",
        "middle, -7, -1, 1, 0",
    })
    void windowHasOneCurrentRowAtThePc(String thread, int before, int after, int rows, int current) {
        DisassemblyInstructionInfo[] window =
                LLDBNativeWrapper.getDisassemblyAroundFrame(engine, tid(thread), 0, before, after);
        assertNotNull(window);
        assertEquals(rows, window.length);
        assertEquals(current, currentIndex(window));
        DisassemblyInstructionInfo pc = window[current];
        assertEquals("eb fe", pc.machineCode);
        assertEquals("jmp", pc.mnemonic);
        assertEquals("0x" + Long.toHexString(pc.address), pc.operands);
        for (int i = 1; i < window.length; i++) {
            int size = (window[i - 1].machineCode.length() + 1) / 3;
            assertEquals(window[i - 1].address + size, window[i].address, "rows follow each other");
        }
    }

    @Test
    void machineCodeMatchesTheMemoryReadOfTheSameAddress() {
        DisassemblyInstructionInfo[] window = LLDBNativeWrapper.getDisassemblyAroundFrame(engine, tid("far"), 0, 6, 6);
        assertEquals(13, window.length);
        for (DisassemblyInstructionInfo row : window) {
            String[] hex = row.machineCode.split(" ");
            byte[] expected = new byte[hex.length];
            for (int i = 0; i < hex.length; i++) {
                expected[i] = (byte) Integer.parseInt(hex[i], 16);
            }
            MemoryBlock block = LldbDebugEngine.nReadMemory(engine, row.address, expected.length);
            assertArrayEquals(expected, block.data, () -> Long.toHexString(row.address));
        }
    }

    @Test
    void runFromLoadAddressIsCappedAndEmptyWhenNothingIsAsked() {
        long nosym = tid("nosym");
        DisassemblyInstructionInfo[] window = LLDBNativeWrapper.getDisassemblyAroundFrame(engine, nosym, 0, 0, 0);
        long pc = window[0].address;
        long regionStart = pc - 2048;  // 4-byte nops from here up to the pc

        DisassemblyInstructionInfo[] run =
                LLDBNativeWrapper.getDisassemblyFromLoadAddress(engine, nosym, 0, regionStart, 10000);
        assertEquals(4096, run.length);
        assertEquals(512, currentIndex(run));
        assertEquals(regionStart, run[0].address);
        assertEquals(4096, LLDBNativeWrapper.getDisassemblyFromLoadAddress(engine, nosym, 0, regionStart, -1).length,
                "the count is unsigned on the engine side and capped there");
        assertEquals(0, LLDBNativeWrapper.getDisassemblyFromLoadAddress(engine, nosym, 0, regionStart, 0).length);
        assertEquals(0, LLDBNativeWrapper.getDisassemblyFromLoadAddress(engine, nosym, 0, 0L, 10).length);
    }

    @Test
    void noEngineGivesNull() {
        assertNull(LLDBNativeWrapper.getDisassemblyAroundFrame(0, 0, 0, 5, 5));
        assertNull(LLDBNativeWrapper.getDisassemblyFromLoadAddress(0, 0, 0, 0x1000, 5));
        long destroyed = fixture.engine();
        fixture.destroy(destroyed);
        assertNull(LLDBNativeWrapper.getDisassemblyAroundFrame(destroyed, 0, 0, 5, 5));
        long noTarget = fixture.engine();
        DisassemblyInstructionInfo[] none = LLDBNativeWrapper.getDisassemblyAroundFrame(noTarget, 0, 0, 5, 5);
        assertNotNull(none, "an engine without target gives an empty array, not null");
        assertEquals(0, none.length);
    }
}
