package org.qzt.kmp.tools.ohos.debugger.jni;

/** Result of {@link LLDBNativeWrapper#evaluateExpression}; value and type are empty on failure. */
public class EvaluationResult {
    public boolean success;
    public String value;
    public String type;
    public String errorMessage;

    @Override
    public String toString() {
        return ResultText.describe(this);
    }
}
