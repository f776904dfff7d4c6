package org.qzt.kmp.tools.lldb.debug;

/** Why a thread stopped, in the engine's numbering: the ordinal is the value. */
public enum StopReason {
    NONE,
    BREAKPOINT,
    WATCHPOINT,
    SIGNAL,
    EXCEPTION,
    STEP,
    EXEC,
    THREAD_EXITING
}
