package org.qzt.kmp.tools.lldb.debug;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** An engine event delivered to the listener registered with {@code LldbDebugEngine.nSetEventListener}. */
public class DebugEvent {
    public EventType type;
    public ProcessState newState;
    public int breakpointId;
    public StopInfo stopInfo;
    public String outputData;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
