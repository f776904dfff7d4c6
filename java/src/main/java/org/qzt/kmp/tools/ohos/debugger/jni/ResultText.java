package org.qzt.kmp.tools.ohos.debugger.jni;

import java.lang.reflect.Array;
import java.lang.reflect.Field;
import java.lang.reflect.Modifier;

/**
 * Readable one-line rendering of the plain result objects that the native library fills field by field.
 * Fields appear in declaration order; arrays are expanded element by element and text is quoted so that
 * empty strings stay visible.
 */
public final class ResultText {
    private ResultText() {
    }

    public static String describe(Object record) {
        if (record == null) {
            return "null";
        }
        StringBuilder out = new StringBuilder(record.getClass().getSimpleName()).append('{');
        boolean first = true;
        for (Field field : record.getClass().getDeclaredFields()) {
            if (Modifier.isStatic(field.getModifiers()) || field.isSynthetic()) {
                continue;
            }
            if (!first) {
                out.append(", ");
            }
            first = false;
            out.append(field.getName()).append('=');
            try {
                appendValue(out, field.get(record));
            } catch (IllegalAccessException e) {
                out.append('?');
            }
        }
        return out.append('}').toString();
    }

    private static void appendValue(StringBuilder out, Object value) {
        if (value == null) {
            out.append("null");
        } else if (value instanceof CharSequence) {
            out.append('"').append(value).append('"');
        } else if (value instanceof byte[]) {
            appendBytes(out, (byte[]) value);
        } else if (value.getClass().isArray()) {
            int length = Array.getLength(value);
            out.append('[');
            for (int i = 0; i < length; i++) {
                if (i > 0) {
                    out.append(", ");
                }
                appendValue(out, Array.get(value, i));
            }
            out.append(']');
        } else {
            out.append(value);
        }
    }

    private static void appendBytes(StringBuilder out, byte[] bytes) {
        out.append('[');
        for (int i = 0; i < bytes.length; i++) {
            if (i > 0) {
                out.append(' ');
            }
            out.append(String.format("%02x", bytes[i] & 0xff));
        }
        out.append(']');
    }
}
