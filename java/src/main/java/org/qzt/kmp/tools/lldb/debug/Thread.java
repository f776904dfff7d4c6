package org.qzt.kmp.tools.lldb.debug;

import java.util.List;

import org.qzt.kmp.tools.ohos.debugger.jni.ResultText;

/** A thread of the debuggee with all of its frames. {@link #id} is the operating-system thread id. */
public class Thread {
    public int id;
    public int indexId;
    public String name;
    public String queueName;
    public StopReason stopReason;
    public StopInfo stopInfo;
    public List<Frame> frames;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
