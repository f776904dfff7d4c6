// Knowledge of the Kotlin/Native runtime: object headers, type-info blocks and
// Kotlin strings read straight from debuggee memory, the runtime's own type-name
// function, object-header materialisation and the type-resolution chain.
//
// The decoders run over a memory-reader seam so they can be exercised without a
// debuggee. Debuggee memory is hostile: every read is bounded, address arithmetic
// is checked for wrap-around and no buffer is sized from unchecked target data.
#pragma once

#include <lldb/API/LLDB.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lldb_debug {

// A view of target memory: `read` fills exactly `size` bytes at `address` or fails.
struct TargetMemory {
    std::function<bool(uint64_t address, void* buffer, size_t size)> read;
    uint32_t addressByteSize = 0;
};

TargetMemory ProcessMemory(lldb::SBProcess& process);

// One little-endian target word (addressByteSize bytes, 1..8); address 0 fails.
bool ReadTargetWordLe(const TargetMemory& memory, uint64_t address, uint64_t* out);
bool KonanResolveTypeinfoForObject(const TargetMemory& memory, uint64_t object, uint64_t* typeInfo, int* kind);
std::string TryKonanRuntimeTypeNameFromMemory(const TargetMemory& memory, uint64_t object, int* kind);
std::string KotlinStringFromMemory(const TargetMemory& memory, uint64_t address);
std::string KotlinStringFromMemoryLegacy(const TargetMemory& memory, uint64_t address, uint32_t count);
std::string KotlinStringFromMemoryDecodePayload(uint32_t encoding, const std::vector<uint8_t>& bytes);
std::string Utf16leBytesToUtf8(const uint8_t* bytes, size_t length);
void Utf8AppendCodepoint(std::string& out, uint32_t codepoint);

// Process-backed forms.
bool ReadMemoryU64Le(lldb::SBProcess& process, uint64_t address, uint64_t* out);
bool KonanResolveTypeinfoForObject(lldb::SBProcess& process, uint64_t object, uint64_t* typeInfo,
                                   int* kind = nullptr);
std::string TryKonanRuntimeTypeNameFromMemory(lldb::SBProcess& process, uint64_t object, int* kind = nullptr);
std::string KotlinStringFromMemory(lldb::SBProcess& process, uint64_t address);

// Text helpers.
std::string StripExpressionStringResult(std::string text);
bool TypeLooksObjheaderPtr(const char* typeName);
// "0x"/"0X" optional, then hexadecimal; true when at least one digit was consumed.
bool ParsePointerValueText(const char* text, uint64_t* out);
// "0x"/"0X" followed by one or more hexadecimal digits and nothing else.
bool IsHexPointerText(const char* text);
std::string KonanDebugGetTypeNameExpression(uint64_t object);
std::string LowerHex(uint64_t value);

// Where a variable's type name came from; kept for the timing line only.
enum class KotlinRuntimePath : int {
    Unset = 0,
    RuntimeResolveDisabled = 1,
    StaticNonObjheader = 2,
    StaticNoHeapAddr = 3,
    MemoryFqcnDirectTypeinfo = 4,
    MemoryFqcnExtraObjectMeta = 5,
    Dynamic = 6,
    EvalKonanDebugGetTypeName = 7,
    StaticFallback = 8,
};
const char* KotlinRuntimePathLabel(KotlinRuntimePath path);

struct KotlinTypeResolution {
    std::string typeName;
    KotlinRuntimePath path = KotlinRuntimePath::Unset;
    std::string summary;
};

// LLDB-facing steps.
bool SbValueUintptr(lldb::SBValue& value, uint64_t* out);
std::string TryKonanDebugGetTypeName(lldb::SBFrame& frame, uint64_t object);
std::string SbValueTypeDisplayString(lldb::SBValue& value);
// The same from the value's type when the caller already holds it.
std::string SbValueTypeDisplayString(lldb::SBValue& value, lldb::SBType& type);
lldb::SBValue PickValueForChildEnumeration(lldb::SBValue value);
lldb::SBValue KotlinMaterializeObjheaderObject(lldb::SBFrame& frame, lldb::SBValue value);
lldb::SBValue KotlinMaterializeObjheaderFromHeapAddressValue(lldb::SBFrame& frame, lldb::SBValue value);
std::string ResolveObjheaderSummary(lldb::SBFrame& frame, const char* summary, const char* value);
void FillTouchlabSummaryString(std::string* out, lldb::SBValue& value);
KotlinTypeResolution ResolveKotlinType(lldb::SBFrame& frame, lldb::SBValue& value, const std::string& staticType,
                                       bool recordPath);
// The same with the value's non-synthetic form and static type already at hand
// (a synthetic value has the static type of the value it stands for).
KotlinTypeResolution ResolveKotlinType(lldb::SBFrame& frame, lldb::SBValue& value, lldb::SBValue& nonSynthetic,
                                       lldb::SBType& staticSbType, const std::string& staticType, bool recordPath);

}  // namespace lldb_debug
