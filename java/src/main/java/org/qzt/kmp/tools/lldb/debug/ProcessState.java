package org.qzt.kmp.tools.lldb.debug;

/** Process states, declared in the engine's numbering (LLDB's state numbers): the ordinal is the value. */
public enum ProcessState {
    INVALID,
    UNLOADED,
    CONNECTED,
    ATTACHING,
    LAUNCHING,
    STOPPED,
    RUNNING,
    STEPPING,
    CRASHED,
    DETACHED,
    EXITED,
    SUSPENDED
}
