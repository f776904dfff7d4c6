package org.qzt.kmp.tools.lldb.debug;

/**
 * Receives the events of one engine of the older interface. The library holds one listener at a time and
 * calls {@link #onEvent} synchronously on the thread of the engine operation that produced the event
 * (an attach, or a breakpoint being added, removed, enabled or disabled).
 */
@FunctionalInterface
public interface DebugEventListener {
    void onEvent(DebugEvent event);
}
