package org.qzt.kmp.tools.ohos.debugger.jni;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.Arrays;
import java.util.HashMap;
import java.util.HashSet;
import java.util.List;
import java.util.Map;
import java.util.Set;

import lldb.debug.LldbDebugEngine;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.extension.RegisterExtension;
import org.qzt.kmp.tools.lldb.debug.MemoryBlock;
import org.qzt.kmp.tools.lldb.debug.RegisterSet;
import org.qzt.kmp.tools.ohos.debugger.cli.LocalSetup;
import org.qzt.kmp.tools.ohos.debugger.testsupport.ChildJvm;
import org.qzt.kmp.tools.ohos.debugger.testsupport.DebugFixture;

/**
 * Variable, child, handle and evaluation natives against a debuggee that lays Kotlin/Native objects out
 * in memory, with the stand-in formatter script loaded. The debuggee stops on its worker thread in
 * stop_here(); frame 1 of that thread holds the Kotlin locals.
 */
class VariableNativesTest {
    @RegisterExtension
    final DebugFixture fixture = new DebugFixture();

    private long engine;

    /** Attaches, loads the formatter script and stops in {@code function}; returns the frame handle of frame 1. */
    private long stopIn(String function) throws Exception {
        engine = fixture.attachedEngine(fixture.debuggee("kotlin_objects"));
        String script = LocalSetup.fixturesDir().resolve("kotlin_formatter.py").toString();
        assertTrue(LLDBNativeWrapper.loadKotlinScript(engine, script), LLDBNativeWrapper::getLastInterpreterCommandOutput);
        for (String command : List.of("breakpoint set -n " + function, "script lldb.debugger.SetAsync(False)",
                "process continue", "script lldb.debugger.SetAsync(True)",
                "script print(lldb.debugger.GetSelectedTarget().GetProcess().GetSelectedThread().GetThreadID())")) {
            assertTrue(LLDBNativeWrapper.handleInterpreterCommand(engine, command),
                    () -> command + ": " + LLDBNativeWrapper.getLastInterpreterCommandOutput());
        }
        long threadId = Long.parseLong(LLDBNativeWrapper.getLastInterpreterCommandOutput().trim());
        return (threadId << 32) | 1;
    }

    private static Map<String, VariableInfo> byName(VariableInfo[] variables) {
        Map<String, VariableInfo> map = new HashMap<>();
        for (VariableInfo v : variables) {
            map.put(v.name, v);
        }
        return map;
    }

    private static String[] names(VariableInfo[] variables) {
        return Arrays.stream(variables).map(v -> v.name).toArray(String[]::new);
    }

    @Test
    void pagesCarryKotlinTypesAndHideInternalRows() throws Exception {
        long frame = stopIn("stop_here");
        FrameVariablesPage all = LLDBNativeWrapper.getFrameVariablesPage(frame, 0, 1000);
        assertNotNull(all);
        assertEquals(all.totalFiltered, all.variables.length);
        Map<String, VariableInfo> locals = byName(all.variables);
        assertFalse(locals.containsKey("$hidden"));
        assertFalse(locals.containsKey("_this"));

        String[][] expected = {
            // name, type, value, hasChildren
            {"point", "com.example.Point", "Point(x=3, y=-4, label=...)", "true"},
            {"list", "kotlin.collections.ArrayList", "ArrayList(size=3, first=...)", "true"},
            {"emptyList", "kotlin.collections.EmptyList", "EmptyList()", "false"},
            {"boxedInt", "kotlin.Int", "42", "false"},
            {"greeting", "kotlin.String", "\"Grüß 😀\"", "false"},
            {"nothing", "ObjHeader *", "null", "false"},
            {"myChar", "int16_t", "'a' 97", "false"},
        };
        for (String[] row : expected) {
            VariableInfo v = locals.get(row[0]);
            assertNotNull(v, row[0]);
            assertEquals(row[1], v.type, row[0]);
            assertEquals(row[2], v.value, row[0]);
            assertEquals(Boolean.parseBoolean(row[3]), v.hasChildren, row[0]);
            assertTrue(v.address.matches("0x[0-9a-f]+"), v.address);
        }

        FrameVariablesPage page = LLDBNativeWrapper.getFrameVariablesPage(frame, 2, 3);
        assertEquals(all.totalFiltered, page.totalFiltered);
        assertArrayEquals(Arrays.copyOfRange(names(all.variables), 2, 5), names(page.variables));
        assertEquals(0, LLDBNativeWrapper.getFrameVariablesPage(frame, all.totalFiltered, 5).variables.length);
        LLDBNativeWrapper.clearFrameVariablesPageCache(engine);
        LLDBNativeWrapper.clearFrameVariablesPageCache(0);
        assertArrayEquals(names(all.variables), names(LLDBNativeWrapper.getFrameVariables(frame)));
        assertNull(LLDBNativeWrapper.getFrameVariablesPage((999999L << 32) | 1, 0, 10), "unknown thread id");
    }

    @Test
    void expansionThroughValueHandles() throws Exception {
        long frame = stopIn("stop_here");
        Map<String, VariableInfo> locals = byName(LLDBNativeWrapper.getFrameVariables(frame));
        VariableInfo[] fields = LLDBNativeWrapper.getChildVariables(locals.get("point").valueHandle);
        assertArrayEquals(new String[] {"x", "y", "label"}, names(fields));
        assertEquals("\"origin\"", fields[2].value);
        assertFalse(fields[2].hasChildren, "a kotlin.String never expands");

        VariableInfo[] self = LLDBNativeWrapper.getChildVariables(locals.get("any").valueHandle);
        assertArrayEquals(new String[] {"**any"}, names(self), "the object itself, named after LLDB's *any");

        VariableInfo[] range = LLDBNativeWrapper.getChildVariablesRange(locals.get("big").valueHandle, 9990, 100);
        assertEquals(10, range.length);
        assertEquals("[9990]", range[0].name);
        assertEquals("9999", range[9].value);
        VariableInfo[] nested = LLDBNativeWrapper.getChildVariables(
                LLDBNativeWrapper.getChildVariables(locals.get("list").valueHandle)[1].valueHandle);
        assertArrayEquals(new String[] {"value"}, names(nested));
    }

    @Test
    void handlesAreFreshPerCallAndRestartAfterRelease() throws Exception {
        long frame = stopIn("stop_here");
        VariableInfo[] first = LLDBNativeWrapper.getFrameVariables(frame);
        VariableInfo[] second = LLDBNativeWrapper.getFrameVariables(frame);
        Set<Long> handles = new HashSet<>();
        for (VariableInfo v : first) {
            handles.add(v.valueHandle);
        }
        for (VariableInfo v : second) {
            assertTrue(handles.add(v.valueHandle), "handle reused: " + v.valueHandle);
        }
        long released = first[0].valueHandle;
        LLDBNativeWrapper.releaseValueHandle(released);
        assertNull(LLDBNativeWrapper.getChildVariables(released));
        assertNull(LLDBNativeWrapper.getChildVariablesRange(released, 0, 10));
        LLDBNativeWrapper.releaseAllValueHandles(engine);
        assertNull(LLDBNativeWrapper.getChildVariables(second[0].valueHandle));
        assertEquals(1L, LLDBNativeWrapper.getFrameVariablesPage(frame, 0, 1).variables[0].valueHandle);
    }

    @Test
    void evaluationResultsAndErrors() throws Exception {
        long frame = stopIn("stop_here");
        EvaluationResult two = LLDBNativeWrapper.evaluateExpression(frame, "1+1");
        assertTrue(two.success, two.errorMessage);
        assertEquals("2", two.value);
        assertEquals("int", two.type);
        assertEquals("", two.errorMessage);
        EvaluationResult point = LLDBNativeWrapper.evaluateExpression(frame, "point");
        assertEquals("com.example.Point", point.type);
        EvaluationResult bad = LLDBNativeWrapper.evaluateExpression(frame, "no_such_identifier");
        assertFalse(bad.success);
        assertEquals("", bad.value);
        assertEquals("", bad.type);
        assertTrue(bad.errorMessage.contains("no_such_identifier"), bad.errorMessage);
    }

    @Test
    void registersAndMemoryOfTheStoppedFrame() throws Exception {
        long frame = stopIn("stop_here");
        List<RegisterSet> sets = LldbDebugEngine.nGetRegisterSets(engine, 0, 0);
        assertFalse(sets.isEmpty());
        assertTrue(sets.get(0).registers.stream().anyMatch(r -> r.name.equals("rip") && r.byteSize == 8));

        long point = Long.decode(LLDBNativeWrapper.evaluateExpression(frame, "(unsigned long)point").value);
        MemoryBlock fields = LldbDebugEngine.nReadMemory(engine, point + 8, 8);
        assertArrayEquals(new byte[] {3, 0, 0, 0, -4, -1, -1, -1}, fields.data, fields.error);
        MemoryBlock zero = LldbDebugEngine.nReadMemory(engine, 0, 16);
        assertEquals(0, zero.data.length);
        assertNotEquals("", zero.error);
        MemoryBlock huge = LldbDebugEngine.nReadMemory(engine, point, Long.MAX_VALUE);
        assertEquals(0, huge.data.length);
        assertTrue(huge.error.contains("exceeds"), huge.error);
    }

    @Test
    void noCurrentEngineOrUnknownHandleGivesNullAndALine() throws Exception {
        ChildJvm run = ChildJvm.run(UnknownHandleProbe.class, Map.of());
        assertEquals(0, run.exitCode, run.stderr);
        assertEquals("null null null", run.stdout.trim());
        assertTrue(run.stderr.contains("[JNI getChildVariables] value_handle=12345\n"), run.stderr);
        assertTrue(run.stderr.contains("[JNI getChildVariables] LOOKUP FAILED (released or unknown handle)\n"),
                run.stderr);
    }

    /** A fresh JVM without any attach: no current engine and no registered handle. */
    public static final class UnknownHandleProbe {
        public static void main(String[] args) {
            long engine = LLDBNativeWrapper.initDebugger(LocalSetup.lldbEnvironment());
            System.out.println(Arrays.toString(LLDBNativeWrapper.getChildVariables(12345)) + " "
                    + LLDBNativeWrapper.getFrameVariablesPage((1L << 32) | 0, 0, 10) + " "
                    + LLDBNativeWrapper.evaluateExpression(0, "1"));
            LLDBNativeWrapper.destroyDebugger(engine);
            System.exit(0);
        }
    }
}
