package org.qzt.kmp.tools.ohos.debugger.cli;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.extension.RegisterExtension;
import org.qzt.kmp.tools.ohos.debugger.testsupport.DebugFixture;

/** The demo on the Kotlin objects debuggee: Kotlin class names and values, and one object expanded. */
class KotlinDemoTest {
    @RegisterExtension
    final DebugFixture fixture = new DebugFixture();

    @Test
    void demoShowsKotlinVariablesAndExpandsAnObject() {
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        ByteArrayOutputStream err = new ByteArrayOutputStream();
        int exit = new NativescopeCli(new PrintStream(out, true, StandardCharsets.UTF_8),
                new PrintStream(err, true, StandardCharsets.UTF_8)).run(new String[] {"demo", "--fixture", "kotlin_objects"});
        String text = out.toString(StandardCharsets.UTF_8);
        assertAll(
                () -> assertEquals(NativescopeCli.EXIT_OK, exit, text + err),
                () -> assertTrue(text.matches("(?s).*variables of frame #0 \\(\\d+ of \\d+\\):.*"), text),
                () -> assertTrue(text.matches("(?s).*point +com\\.example\\.Point = Point\\(x=3, y=-4, label=\\.\\.\\.\\) +\\[\\+3\\].*"), text),
                () -> assertTrue(text.matches("(?s).*list +kotlin\\.collections\\.ArrayList = .*"), text),
                () -> assertTrue(text.matches("(?s).*nothing +ObjHeader \\* = null\\R.*"), text),
                () -> assertTrue(text.matches("(?s).*children of point:\\R +x +int = 3\\R +y +int = -4\\R"
                        + " +label +kotlin\\.String = \"origin\"\\R.*"), text));
    }
}
