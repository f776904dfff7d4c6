// Expression evaluation in one frame; the result is converted like a variable.
#include "engine_impl.h"
#include "sbvalue_to_variable.h"

namespace lldb_debug {

EvalResult DebugEngine::Evaluate(int32_t threadArgument, int32_t frameIndex, const std::string& expression) {
    EvalResult result;
    lldb::SBProcess process = impl->process;
    if (!process.IsValid()) {
        result.error = "no process";
        return result;
    }
    lldb::SBThread thread = threadArgument == 0 ? process.GetSelectedThread()
                                                : process.GetThreadAtIndex(static_cast<size_t>(threadArgument));
    if (!thread.IsValid()) thread = process.GetThreadAtIndex(static_cast<size_t>(threadArgument));
    if (!thread.IsValid()) thread = process.GetThreadAtIndex(0);
    if (!thread.IsValid()) {
        result.error = "invalid thread (no threads? try setSelectedThread)";
        return result;
    }
    lldb::SBFrame frame = thread.GetFrameAtIndex(static_cast<uint32_t>(frameIndex));
    if (!frame.IsValid()) {
        result.error = "invalid frame";
        return result;
    }
    lldb::SBValue value = frame.EvaluateExpression(expression.c_str());
    if (value.IsValid() && !value.GetError().Fail()) {
        result.success = true;
        result.result = SbValueToVariable(frame, value, "", expression);
        result.result.valueType = ValueType::ConstResult;
        return result;
    }
    lldb::SBError error = value.GetError();  // keeps the message text alive
    const char* message = value.IsValid() ? error.GetCString() : nullptr;
    result.error = message != nullptr && message[0] != '\0' ? message : "evaluation failed";
    return result;
}

}  // namespace lldb_debug
