package org.qzt.kmp.tools.lldb.debug;

/**
 * Kinds of engine events, in the engine's numbering: the ordinal is the value. The engine never produces
 * values 2 and 3; their constants only keep the later ordinals in place.
 */
public enum EventType {
    STATE_CHANGED,
    BREAKPOINT_HIT,
    RESERVED_2,
    RESERVED_3,
    BREAKPOINT_ADDED,
    BREAKPOINT_REMOVED,
    BREAKPOINT_CHANGED
}
