package org.qzt.kmp.tools.lldb.debug;

/** Storage kind of a variable, in the engine's numbering: the ordinal is the value. */
public enum ValueType {
    INVALID,
    GLOBAL,
    STATIC,
    ARGUMENT,
    LOCAL,
    REGISTER_VALUE,
    CONST_RESULT
}
