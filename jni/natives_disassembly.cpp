// Disassembly natives of LLDBNativeWrapper: a window around a frame's pc and a run
// from a load address, as DisassemblyInstructionInfo arrays.
#include <jni.h>

#include "jni_support.h"
#include "library_state.h"

using lldb_debug::DebugEngine;
using namespace nativescope;

namespace {

constexpr const char* kInstructionInfoClass = "org/qzt/kmp/tools/ohos/debugger/jni/DisassemblyInstructionInfo";

// An empty engine answer is an empty array, not null.
jobjectArray ToInstructionInfos(JNIEnv* env, const std::vector<DebugEngine::DisassemblyInstruction>& rows) {
    jclass cls = env->FindClass(kInstructionInfoClass);
    if (cls == nullptr) return nullptr;
    return MakeObjectArray(env, kInstructionInfoClass, rows,
                           [cls](JNIEnv* e, const DebugEngine::DisassemblyInstruction& row) {
                               return JavaObject(e, cls)
                                   .Long("address", static_cast<jlong>(row.address))
                                   .Str("machineCode", row.machineCode)
                                   .Str("mnemonic", row.mnemonic)
                                   .Str("operands", row.operands)
                                   .Str("comment", row.comment)
                                   .Bool("currentInstruction", row.currentInstruction)
                                   .get();
                           });
}

// Handle 0 or one that names no live engine gives null and leaves the current
// engine alone; a live one becomes the current engine before the engine call.
template <typename Read>
jobjectArray DisassemblyNative(JNIEnv* env, jlong handle, Read read) {
    return Guarded<jobjectArray>(nullptr, [&]() -> jobjectArray {
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) return nullptr;
        g_specEngineHandle = handle;
        return ToInstructionInfos(env, read(*engine));
    });
}

}  // namespace

extern "C" {

JNIEXPORT jobjectArray JNICALL WRAPPER_NATIVE(getDisassemblyAroundFrame)(JNIEnv* env, jclass, jlong handle,
                                                                          jlong threadId, jint frameIndex,
                                                                          jint before, jint after) {
    return DisassemblyNative(env, handle, [&](DebugEngine& engine) {
        return engine.DisassembleAroundFrame(threadId, frameIndex, before, after);
    });
}

JNIEXPORT jobjectArray JNICALL WRAPPER_NATIVE(getDisassemblyFromLoadAddress)(JNIEnv* env, jclass, jlong handle,
                                                                              jlong threadId, jint frameIndex,
                                                                              jlong loadAddress, jint count) {
    return DisassemblyNative(env, handle, [&](DebugEngine& engine) {
        return engine.DisassembleFromLoadAddress(static_cast<uint64_t>(loadAddress), static_cast<uint32_t>(count),
                                                 threadId, frameIndex);
    });
}

}  // extern "C"
