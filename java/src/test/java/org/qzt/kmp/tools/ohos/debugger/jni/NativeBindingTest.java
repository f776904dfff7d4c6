package org.qzt.kmp.tools.ohos.debugger.jni;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.Set;
import java.util.TreeSet;
import java.util.concurrent.TimeUnit;

import lldb.debug.LldbDebugEngine;
import org.junit.jupiter.api.Test;

/**
 * The JVM binds a native by its JNI symbol name alone, so a declaration whose name or (for overloaded
 * long names) parameter list differs from the library's export fails only when it is first called. This
 * compares the two sides in full: every exported {@code Java_} symbol of the library against every native
 * method of the two declaring classes.
 */
class NativeBindingTest {
    private static final List<Class<?>> DECLARING_CLASSES = List.of(LLDBNativeWrapper.class, LldbDebugEngine.class);

    @Test
    void everyExportedSymbolBindsToADeclaredNativeAndBack() throws Exception {
        Set<String> exported = exportedJniSymbols();
        Set<String> unbound = new TreeSet<>(exported);
        List<String> missing = new ArrayList<>();
        for (Class<?> declaring : DECLARING_CLASSES) {
            for (Method method : declaring.getDeclaredMethods()) {
                if (!Modifier.isNative(method.getModifiers())) {
                    continue;
                }
                String shortName = shortJniName(method);
                String longName = shortName + "__" + mangledParameters(method);
                boolean hasShort = unbound.remove(shortName);
                boolean hasLong = unbound.remove(longName);
                if (!hasShort && !hasLong) {
                    missing.add(shortName);
                }
            }
        }
        assertEquals(List.of(), missing, "declared natives that the library does not export");
        assertEquals(Set.of(), unbound, "exported symbols that no declared native binds to");
        assertTrue(exported.contains(
                "Java_org_qzt_kmp_tools_ohos_debugger_jni_LLDBNativeWrapper_stepOver__JJ"));
    }

    @Test
    void bothInterfacesDeclareTheirFullSetOfNatives() {
        assertEquals(40, nativeCount(LLDBNativeWrapper.class));
        assertEquals(31, nativeCount(LldbDebugEngine.class));
    }

    private static long nativeCount(Class<?> declaring) {
        return java.util.Arrays.stream(declaring.getDeclaredMethods())
                .filter(m -> Modifier.isNative(m.getModifiers())).count();
    }

    private static Set<String> exportedJniSymbols() throws IOException, InterruptedException {
        String library = System.getProperty(NativeLibraryLoader.LIBRARY_PATH_PROPERTY);
        assertTrue(library != null && !library.isEmpty(), "needs -D" + NativeLibraryLoader.LIBRARY_PATH_PROPERTY);
        Process nm = new ProcessBuilder("nm", "-D", "--defined-only", library).redirectErrorStream(true).start();
        String listing = new String(nm.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
        assertTrue(nm.waitFor(60, TimeUnit.SECONDS) && nm.exitValue() == 0, listing);
        Set<String> symbols = new TreeSet<>();
        for (String line : listing.split("\n")) {
            String[] fields = line.trim().split("\\s+");
            String name = fields[fields.length - 1];
            if (name.startsWith("Java_")) {
                symbols.add(name);
            }
        }
        return symbols;
    }

    private static String shortJniName(Method method) {
        return "Java_" + mangle(method.getDeclaringClass().getName().replace('.', '/')) + "_" + mangle(method.getName());
    }

    private static String mangledParameters(Method method) {
        StringBuilder descriptor = new StringBuilder();
        for (Class<?> type : method.getParameterTypes()) {
            descriptor.append(descriptor(type));
        }
        return mangle(descriptor.toString());
    }

    private static String descriptor(Class<?> type) {
        if (type.isArray()) {
            return "[" + descriptor(type.getComponentType());
        }
        if (!type.isPrimitive()) {
            return "L" + type.getName().replace('.', '/') + ";";
        }
        switch (type.getName()) {
            case "boolean": return "Z";
            case "byte": return "B";
            case "char": return "C";
            case "short": return "S";
            case "int": return "I";
            case "long": return "J";
            case "float": return "F";
            case "double": return "D";
            default: throw new IllegalArgumentException(type.getName());
        }
    }

    /** The JNI escaping of class names, method names and descriptors. */
    private static String mangle(String text) {
        StringBuilder out = new StringBuilder();
        for (char c : text.toCharArray()) {
            switch (c) {
                case '/': out.append('_'); break;
                case '_': out.append("_1"); break;
                case ';': out.append("_2"); break;
                case '[': out.append("_3"); break;
                default:
                    if (c < 128 && Character.isLetterOrDigit(c)) {
                        out.append(c);
                    } else {
                        out.append(String.format("_0%04x", (int) c));
                    }
            }
        }
        return out.toString();
    }
}
