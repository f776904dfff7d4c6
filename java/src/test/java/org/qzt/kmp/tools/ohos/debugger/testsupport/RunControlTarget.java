package org.qzt.kmp.tools.ohos.debugger.testsupport;

/** The run_control_target debuggee: its modes and the source lines its functions are pinned to. */
public final class RunControlTarget {
    public static final String NAME = "run_control_target";
    public static final String SOURCE = "run_control_target.c";

    public static final String HOT = "hot";
    public static final String STACKS = "stacks";
    public static final String THREADS = "threads";

    public static final int LEAF_BODY = 101;
    public static final int HOT_LOOP = 105;
    public static final int HOT_CALL = 106;
    public static final int HOT_AFTER_CALL = 107;
    public static final int DEEP_BOTTOM = 201;
    public static final int SHALLOW_LOOP = 303;

    private RunControlTarget() {
    }
}
