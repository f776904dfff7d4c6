#include "kotlin_object_decoding.h"

#include <cctype>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "env_switches.h"

namespace lldb_debug {
namespace {

// Kotlin string limits: UTF-16 units of the data part and current-layout payload bytes.
constexpr uint32_t kMaxStringCount = 0x100000;
constexpr int64_t kMaxPayloadBytes = 0x200000;
constexpr uint64_t kDefaultPackageNameOffset = 72;
constexpr uint64_t kDefaultRelativeNameOffset = 80;

// address + offset, failing instead of wrapping around the address space.
bool OffsetAddress(uint64_t address, uint64_t offset, uint64_t* out) {
    if (address > UINT64_MAX - offset) return false;
    *out = address + offset;
    return true;
}

bool ReadBytesAt(const TargetMemory& memory, uint64_t address, uint64_t offset, void* buffer, size_t size) {
    uint64_t at = 0;
    if (!memory.read || !OffsetAddress(address, offset, &at)) return false;
    if (size > 0 && at > UINT64_MAX - (size - 1)) return false;
    return memory.read(at, buffer, size);
}

uint64_t LittleEndian(const uint8_t* bytes, size_t size) {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    return value;
}

bool IsSelfPointer(const TargetMemory& memory, uint64_t block) {
    uint64_t word = 0;
    return ReadTargetWordLe(memory, block, &word) && (word & ~uint64_t{3}) == block;
}

bool ContainsLowered(const char* text, const char* lowerWord) {
    if (text == nullptr) return false;
    const size_t n = std::strlen(lowerWord);
    for (const char* p = text; *p != '\0'; ++p) {
        size_t i = 0;
        while (i < n && p[i] != '\0' && std::tolower(static_cast<unsigned char>(p[i])) == lowerWord[i]) ++i;
        if (i == n) return true;
    }
    return false;
}

std::string OrEmpty(const char* text) { return text != nullptr ? text : ""; }

bool EvaluationSucceeded(lldb::SBValue& result) { return result.IsValid() && !result.GetError().Fail(); }

using Clock = std::chrono::steady_clock;

}  // namespace

TargetMemory ProcessMemory(lldb::SBProcess& process) {
    TargetMemory memory;
    if (!process.IsValid()) return memory;
    memory.addressByteSize = process.GetAddressByteSize();
    memory.read = [process](uint64_t address, void* buffer, size_t size) mutable {
        if (size == 0) return true;
        lldb::SBError error;
        const size_t got = process.ReadMemory(address, buffer, size, error);
        return got == size && !error.Fail();
    };
    return memory;
}

bool ReadTargetWordLe(const TargetMemory& memory, uint64_t address, uint64_t* out) {
    const uint32_t bs = memory.addressByteSize;
    if (address == 0 || out == nullptr || bs < 1 || bs > 8) return false;
    uint8_t bytes[8] = {};
    if (!ReadBytesAt(memory, address, 0, bytes, bs)) return false;
    *out = LittleEndian(bytes, bs);
    return true;
}

bool KonanResolveTypeinfoForObject(const TargetMemory& memory, uint64_t object, uint64_t* typeInfo, int* kind) {
    if (!memory.read || object == 0) return false;
    uint64_t header = 0;
    if (!ReadTargetWordLe(memory, object, &header) || header <= 3) return false;
    const uint64_t t1 = header & ~uint64_t{3};
    uint64_t first = 0;
    if (!ReadTargetWordLe(memory, t1, &first)) return false;
    if ((first & ~uint64_t{3}) == t1) {
        if (typeInfo != nullptr) *typeInfo = t1;
        if (kind != nullptr) *kind = 0;
        return true;
    }
    if (first <= 3) return false;
    const uint64_t t2 = first & ~uint64_t{3};
    if (!IsSelfPointer(memory, t2)) return false;
    if (typeInfo != nullptr) *typeInfo = t2;
    if (kind != nullptr) *kind = 1;
    return true;
}

std::string TryKonanRuntimeTypeNameFromMemory(const TargetMemory& memory, uint64_t object, int* kind) {
    if (!LldbKotlinMemoryFqcnEnabled()) return "";
    if (!memory.read || object == 0 || memory.addressByteSize != 8) return "";
    uint64_t typeInfo = 0;
    int found = 0;
    if (!KonanResolveTypeinfoForObject(memory, object, &typeInfo, &found)) return "";
    if (kind != nullptr) *kind = found;
    const uint64_t packageOffset = EnvNumber("KONAN_TI_OFFSET_PACKAGE_NAME", kDefaultPackageNameOffset);
    const uint64_t relativeOffset = EnvNumber("KONAN_TI_OFFSET_RELATIVE_NAME", kDefaultRelativeNameOffset);
    uint64_t packageField = 0;
    uint64_t relativeField = 0;
    uint64_t packagePtr = 0;
    uint64_t relativePtr = 0;
    if (!OffsetAddress(typeInfo, packageOffset, &packageField) ||
        !OffsetAddress(typeInfo, relativeOffset, &relativeField) ||
        !ReadTargetWordLe(memory, packageField, &packagePtr) || !ReadTargetWordLe(memory, relativeField, &relativePtr)) {
        return "";
    }
    const std::string package = packagePtr != 0 ? KotlinStringFromMemory(memory, packagePtr) : "";
    const std::string relative = relativePtr != 0 ? KotlinStringFromMemory(memory, relativePtr) : "";
    if (!package.empty() && !relative.empty()) return package + "." + relative;
    if (!package.empty()) return package;
    return relative;
}

std::string KotlinStringFromMemory(const TargetMemory& memory, uint64_t address) {
    const uint32_t bs = memory.addressByteSize;
    if (address == 0 || !memory.read || (bs != 4 && bs != 8)) return "";
    uint8_t countBytes[4] = {};
    if (!ReadBytesAt(memory, address, bs, countBytes, sizeof countBytes)) return "";
    const uint32_t count = static_cast<uint32_t>(LittleEndian(countBytes, 4));
    if (count < 1 || count > kMaxStringCount) return "";
    uint8_t flagBytes[2] = {};
    if (!ReadBytesAt(memory, address, bs + 8, flagBytes, sizeof flagBytes)) return "";
    const uint32_t flags = static_cast<uint32_t>(LittleEndian(flagBytes, 2));
    if ((flags & 0xFFC) != 0 || flags > 0x1FFF) return KotlinStringFromMemoryLegacy(memory, address, count);

    const int64_t payloadOffset = (bs + 11) & ~1u;
    const int64_t dataOffset = (2 * bs + 3) / bs * bs;
    const uint32_t encoding = flags >> 12;
    const int64_t n = 2 * static_cast<int64_t>(count) + dataOffset - payloadOffset - ((flags >> 1) & 1);
    if (n <= 0 || n > kMaxPayloadBytes) return "";
    std::vector<uint8_t> payload(static_cast<size_t>(n), 0);
    if (!ReadBytesAt(memory, address, static_cast<uint64_t>(payloadOffset), payload.data(), payload.size())) return "";
    return KotlinStringFromMemoryDecodePayload(encoding, payload);
}

std::string KotlinStringFromMemoryLegacy(const TargetMemory& memory, uint64_t address, uint32_t count) {
    const uint32_t bs = memory.addressByteSize;
    if (address == 0 || !memory.read || (bs != 4 && bs != 8) || count < 1 || count > kMaxStringCount) return "";
    uint64_t dataOffset = (2 * bs + 3) / bs * bs;
    dataOffset += dataOffset & 1;
    std::vector<uint8_t> units(2 * static_cast<size_t>(count), 0);
    if (!ReadBytesAt(memory, address, dataOffset, units.data(), units.size())) return "";
    return Utf16leBytesToUtf8(units.data(), units.size());
}

std::string KotlinStringFromMemoryDecodePayload(uint32_t encoding, const std::vector<uint8_t>& bytes) {
    if (encoding == 1) return std::string(bytes.begin(), bytes.end());
    if (bytes.size() % 2 != 0) return "";
    return Utf16leBytesToUtf8(bytes.data(), bytes.size());
}

std::string Utf16leBytesToUtf8(const uint8_t* bytes, size_t length) {
    std::string out;
    if (bytes == nullptr || length < 2) return out;
    const size_t units = length / 2;
    out.reserve(units * 3);
    auto unitAt = [bytes](size_t i) { return static_cast<uint32_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)); };
    for (size_t i = 0; i < units; ++i) {
        const uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const uint32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                Utf8AppendCodepoint(out, ((unit & 0x3FF) << 10) + (low & 0x3FF) + 0x10000);
                ++i;
                continue;
            }
        }
        Utf8AppendCodepoint(out, unit);
    }
    return out;
}

void Utf8AppendCodepoint(std::string& out, uint32_t cp) {
    if (cp <= 0x7F) {
        out += static_cast<char>(cp);
    } else if (cp <= 0x7FF) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp <= 0xFFFF) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | ((cp >> 18) & 0x07));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool ReadMemoryU64Le(lldb::SBProcess& process, uint64_t address, uint64_t* out) {
    if (address == 0 || !process.IsValid()) return false;
    return ReadTargetWordLe(ProcessMemory(process), address, out);
}

bool KonanResolveTypeinfoForObject(lldb::SBProcess& process, uint64_t object, uint64_t* typeInfo, int* kind) {
    if (!process.IsValid() || object == 0) return false;
    return KonanResolveTypeinfoForObject(ProcessMemory(process), object, typeInfo, kind);
}

std::string TryKonanRuntimeTypeNameFromMemory(lldb::SBProcess& process, uint64_t object, int* kind) {
    if (!process.IsValid() || object == 0) return "";
    return TryKonanRuntimeTypeNameFromMemory(ProcessMemory(process), object, kind);
}

std::string KotlinStringFromMemory(lldb::SBProcess& process, uint64_t address) {
    if (!process.IsValid() || address == 0) return "";
    return KotlinStringFromMemory(ProcessMemory(process), address);
}

std::string StripExpressionStringResult(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

bool TypeLooksObjheaderPtr(const char* typeName) { return ContainsLowered(typeName, "objheader"); }

bool ParsePointerValueText(const char* text, uint64_t* out) {
    if (text == nullptr || text[0] == '\0') return false;
    const char* digits = text;
    if (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits += 2;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(digits, &end, 16);
    if (end == digits) return false;
    *out = value;
    return true;
}

bool IsHexPointerText(const char* text) {
    if (text == nullptr || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return false;
    const char* p = text + 2;
    if (*p == '\0') return false;
    for (; *p != '\0'; ++p) {
        if (!std::isxdigit(static_cast<unsigned char>(*p))) return false;
    }
    return true;
}

std::string LowerHex(uint64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%" PRIx64, value);
    return buffer;
}

std::string KonanDebugGetTypeNameExpression(uint64_t object) {
    return "(const char *)Konan_DebugGetTypeName((void *)(uintptr_t)0x" + LowerHex(object) + ")";
}

const char* KotlinRuntimePathLabel(KotlinRuntimePath path) {
    switch (path) {
        case KotlinRuntimePath::Unset: return "unset";
        case KotlinRuntimePath::RuntimeResolveDisabled: return "runtime_resolve_disabled";
        case KotlinRuntimePath::StaticNonObjheader: return "static_non_objheader";
        case KotlinRuntimePath::StaticNoHeapAddr: return "static_no_heap_addr";
        case KotlinRuntimePath::MemoryFqcnDirectTypeinfo: return "memory_fqcn_direct_typeinfo";
        case KotlinRuntimePath::MemoryFqcnExtraObjectMeta: return "memory_fqcn_extra_object_meta";
        case KotlinRuntimePath::Dynamic: return "dynamic";
        case KotlinRuntimePath::EvalKonanDebugGetTypeName: return "eval_konan_debug_gettypename";
        case KotlinRuntimePath::StaticFallback: return "static_fallback";
    }
    return "unset";
}

// ---- LLDB-facing steps ----

bool SbValueUintptr(lldb::SBValue& value, uint64_t* out) {
    lldb::SBValue ns = value.GetNonSyntheticValue();
    if (!ns.IsValid()) ns = value;
    const uint64_t direct = ns.GetValueAsUnsigned(0);
    if (direct != 0) {
        *out = direct;
        return true;
    }
    return ParsePointerValueText(ns.GetValue(), out);
}

std::string TryKonanDebugGetTypeName(lldb::SBFrame& frame, uint64_t object) {
    if (object == 0) return "";
    lldb::SBValue result = frame.EvaluateExpression(KonanDebugGetTypeNameExpression(object).c_str());
    if (!EvaluationSucceeded(result)) return "";
    const char* summary = result.GetSummary();
    if (summary != nullptr && summary[0] != '\0') return StripExpressionStringResult(summary);
    const char* text = result.GetValue();
    if (text != nullptr && text[0] != '\0') return StripExpressionStringResult(text);
    return "";
}

std::string SbValueTypeDisplayString(lldb::SBValue& value) {
    lldb::SBType type = value.GetType();
    return SbValueTypeDisplayString(value, type);
}

std::string SbValueTypeDisplayString(lldb::SBValue& value, lldb::SBType& type) {
    // An invalid type gives no names, so no separate validity check is needed.
    const char* display = type.GetDisplayTypeName();
    if (display != nullptr && display[0] != '\0') return display;
    const char* name = type.GetName();
    if (name != nullptr && name[0] != '\0') return name;
    return OrEmpty(value.GetTypeName());
}

lldb::SBValue PickValueForChildEnumeration(lldb::SBValue value) {
    if (!value.IsValid()) return value;
    lldb::SBValue ns = value.GetNonSyntheticValue();
    if (ns.IsValid()) {
        const uint32_t nsCount = ns.GetNumChildren();
        if (nsCount != 0) {
            const uint32_t count = value.GetNumChildren();
            if (count == 0 || count < nsCount) return ns;
        }
    }
    return value;
}

namespace {
bool HasEnumerableChildren(lldb::SBValue value) { return PickValueForChildEnumeration(value).GetNumChildren() != 0; }

bool IsPointer(lldb::SBValue& value) {
    lldb::SBType type = value.GetType();
    return type.IsValid() && type.IsPointerType();
}

// The pointee of a pointer-typed value when that dereference works, else the value.
lldb::SBValue DerefIfPointer(lldb::SBValue value) {
    if (IsPointer(value)) {
        lldb::SBValue deref = value.Dereference();
        if (deref.IsValid()) return deref;
    }
    return value;
}
}  // namespace

lldb::SBValue KotlinMaterializeObjheaderObject(lldb::SBFrame& frame, lldb::SBValue value) {
    if (!value.IsValid() || !IsPointer(value)) return lldb::SBValue();
    lldb::SBValue deref = value.Dereference();
    if (!TypeLooksObjheaderPtr(value.GetTypeName())) return deref;
    if (deref.IsValid() && HasEnumerableChildren(deref)) return deref;
    const char* text = value.GetValue();
    if (text == nullptr || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return deref;
    lldb::SBValue m = frame.EvaluateExpression((std::string("(ObjHeader*)") + text).c_str());
    if (!EvaluationSucceeded(m)) return deref;
    lldb::SBValue object = DerefIfPointer(m);
    if (HasEnumerableChildren(object)) return object;
    if (HasEnumerableChildren(m)) return DerefIfPointer(m);
    return deref;
}

lldb::SBValue KotlinMaterializeObjheaderFromHeapAddressValue(lldb::SBFrame& frame, lldb::SBValue value) {
    uint64_t address = 0;
    if (!value.IsValid() || !SbValueUintptr(value, &address) || address == 0) return lldb::SBValue();
    lldb::SBValue result = frame.EvaluateExpression(("(ObjHeader*)(uintptr_t)0x" + LowerHex(address)).c_str());
    if (!EvaluationSucceeded(result)) return lldb::SBValue();
    return KotlinMaterializeObjheaderObject(frame, result);
}

std::string ResolveObjheaderSummary(lldb::SBFrame& frame, const char* summary, const char* value) {
    if (summary != nullptr && summary[0] != '\0') return summary;
    if (!IsHexPointerText(value)) return "";
    lldb::SBValue result = frame.EvaluateExpression((std::string("(ObjHeader*)") + value).c_str());
    if (!EvaluationSucceeded(result)) return "";
    return OrEmpty(result.GetSummary());
}

void FillTouchlabSummaryString(std::string* out, lldb::SBValue& value) {
    if (out == nullptr) return;
    lldb::SBValue ns = value.GetNonSyntheticValue();
    if (!ns.IsValid()) ns = value;
    const char* summary = ns.GetSummary();
    if (summary != nullptr && summary[0] != '\0') *out = summary;
}

namespace {

std::string DynamicTypeName(lldb::SBValue& value) {
    lldb::SBValue dynamic = value.GetDynamicValue(lldb::eDynamicCanRunTarget);
    return dynamic.IsValid() ? SbValueTypeDisplayString(dynamic) : "";
}

// A dynamic type decides only when it names something other than the header type.
bool DynamicTypeQualifies(const std::string& name, const std::string& staticType) {
    return !name.empty() && name.find("ObjHeader") == std::string::npos && name != staticType;
}

KotlinTypeResolution DiagnoseKotlinType(lldb::SBFrame& frame, lldb::SBValue& value, lldb::SBValue& ns,
                                        lldb::SBProcess& process, uint64_t address, const std::string& staticType) {
    const auto wallStart = Clock::now();
    const char* name = value.GetName();
    std::fprintf(stderr, "[KOTLIN_TYPE_RESOLVE] var=%s addr=0x%llx static=%s\n", name != nullptr ? name : "?",
                 static_cast<unsigned long long>(address), staticType.c_str());

    const auto checkStart = Clock::now();
    uint64_t typeInfo = 0;
    const bool typeInfoValid = KonanResolveTypeinfoForObject(process, address, &typeInfo);
    const auto checkEnd = Clock::now();
    int kind = -1;
    std::string memoryName;
    if (typeInfoValid) memoryName = TryKonanRuntimeTypeNameFromMemory(process, address, &kind);
    const auto nameEnd = Clock::now();
    std::fprintf(stderr,
                 "  [1] memory: typeInfoValid=%d typeName=%s | valid_check_ms=%.3f name_read_ms=%.3f total_ms=%.3f\n",
                 typeInfoValid ? 1 : 0, memoryName.empty() ? "(empty)" : memoryName.c_str(),
                 KotlinTypeElapsedMs(checkStart, checkEnd), KotlinTypeElapsedMs(checkEnd, nameEnd),
                 KotlinTypeElapsedMs(checkStart, nameEnd));

    const auto summaryStart = Clock::now();
    const char* summary = ns.GetSummary();
    const double summaryMs = KotlinTypeElapsedMs(summaryStart, Clock::now());
    std::string shown = summary != nullptr ? summary : "(null)";
    if (summary != nullptr && shown.size() > 120) shown = shown.substr(0, 120) + "...";
    std::fprintf(stderr, "  [2] touchlab GetSummary: len=%zu text=%s | ms=%.3f (value summary, not used for type pick)\n",
                 summary != nullptr ? std::strlen(summary) : size_t{0}, shown.c_str(), summaryMs);

    const auto dynamicStart = Clock::now();
    const std::string dynamicName = DynamicTypeName(value);
    const bool dynamicOk = DynamicTypeQualifies(dynamicName, staticType);
    std::fprintf(stderr, "  [3] dynamic: type=%s | ms=%.3f\n",
                 dynamicName.empty() ? "(empty/invalid)" : dynamicName.c_str(),
                 KotlinTypeElapsedMs(dynamicStart, Clock::now()));

    const auto evalStart = Clock::now();
    const std::string evaluated = TryKonanDebugGetTypeName(frame, address);
    std::fprintf(stderr, "  [4] eval Konan_DebugGetTypeName: %s | ms=%.3f\n",
                 evaluated.empty() ? "(empty)" : evaluated.c_str(), KotlinTypeElapsedMs(evalStart, Clock::now()));

    KotlinTypeResolution result;
    if (!memoryName.empty()) {
        result.typeName = memoryName;
        result.path = kind == 0 ? KotlinRuntimePath::MemoryFqcnDirectTypeinfo : KotlinRuntimePath::MemoryFqcnExtraObjectMeta;
    } else if (dynamicOk) {
        result.typeName = dynamicName;
        result.path = KotlinRuntimePath::Dynamic;
    } else if (!evaluated.empty()) {
        result.typeName = evaluated;
        result.path = KotlinRuntimePath::EvalKonanDebugGetTypeName;
    } else {
        result.typeName = staticType;
        result.path = KotlinRuntimePath::StaticFallback;
    }
    std::fprintf(stderr, "  -> chosen=%s (wall_total_ms=%.3f)\n", result.typeName.c_str(),
                 KotlinTypeElapsedMs(wallStart, Clock::now()));
    std::fflush(stderr);
    return result;
}

KotlinTypeResolution ChooseKotlinType(lldb::SBFrame& frame, lldb::SBValue& value, lldb::SBValue& ns,
                                      lldb::SBType& type, const std::string& staticType) {
    KotlinTypeResolution result;
    result.typeName = staticType;
    if (!LldbKotlinRuntimeTypeEnabled()) {
        result.path = KotlinRuntimePath::RuntimeResolveDisabled;
        return result;
    }
    bool objectReference = TypeLooksObjheaderPtr(staticType.c_str());
    if (!objectReference) {
        if (type.IsPointerType()) {
            lldb::SBType pointee = type.GetPointeeType();
            objectReference = pointee.IsValid() && TypeLooksObjheaderPtr(pointee.GetName());
        }
    }
    if (!objectReference) {
        result.path = KotlinRuntimePath::StaticNonObjheader;
        return result;
    }
    lldb::SBProcess process = frame.GetThread().GetProcess();
    uint64_t address = 0;
    if (!process.IsValid() || !SbValueUintptr(ns, &address) || address == 0) {
        result.path = KotlinRuntimePath::StaticNoHeapAddr;
        return result;
    }
    if (LldbDebugKotlinTypeResolve()) return DiagnoseKotlinType(frame, value, ns, process, address, staticType);

    // One memory view for the whole chain: the process handle and word size are fetched once.
    const TargetMemory memory = ProcessMemory(process);
    if (KonanResolveTypeinfoForObject(memory, address, nullptr, nullptr)) {
        int kind = -1;
        std::string name = TryKonanRuntimeTypeNameFromMemory(memory, address, &kind);
        if (!name.empty()) {
            FillTouchlabSummaryString(&result.summary, value);
            result.typeName = std::move(name);
            result.path = kind == 0 ? KotlinRuntimePath::MemoryFqcnDirectTypeinfo
                                    : KotlinRuntimePath::MemoryFqcnExtraObjectMeta;
            return result;
        }
    }
    FillTouchlabSummaryString(&result.summary, value);
    std::string dynamicName = DynamicTypeName(value);
    if (DynamicTypeQualifies(dynamicName, staticType)) {
        result.typeName = std::move(dynamicName);
        result.path = KotlinRuntimePath::Dynamic;
        return result;
    }
    std::string evaluated = TryKonanDebugGetTypeName(frame, address);
    if (!evaluated.empty()) {
        result.typeName = std::move(evaluated);
        result.path = KotlinRuntimePath::EvalKonanDebugGetTypeName;
        return result;
    }
    result.path = KotlinRuntimePath::StaticFallback;
    return result;
}

}  // namespace

KotlinTypeResolution ResolveKotlinType(lldb::SBFrame& frame, lldb::SBValue& value, const std::string& staticType,
                                       bool recordPath) {
    lldb::SBValue ns = value.GetNonSyntheticValue();
    if (!ns.IsValid()) ns = value;
    lldb::SBType type = ns.GetType();
    return ResolveKotlinType(frame, value, ns, type, staticType, recordPath);
}

KotlinTypeResolution ResolveKotlinType(lldb::SBFrame& frame, lldb::SBValue& value, lldb::SBValue& nonSynthetic,
                                       lldb::SBType& staticSbType, const std::string& staticType, bool recordPath) {
    KotlinTypeResolution result = ChooseKotlinType(frame, value, nonSynthetic, staticSbType, staticType);
    if (!recordPath) result.path = KotlinRuntimePath::Unset;
    return result;
}

}  // namespace lldb_debug
