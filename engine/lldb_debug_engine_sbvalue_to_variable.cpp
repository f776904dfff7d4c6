// One LLDB value -> one variable record: Kotlin runtime type, Kotlin-style display
// value and the expansion decision, with an optional per-step timing line.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdarg>
#include <cstdio>

#include "display_formatting.h"
#include "env_switches.h"
#include "kotlin_object_decoding.h"
#include "sbvalue_to_variable.h"
#include "variable_ids.h"

namespace lldb_debug {
namespace {

using Clock = std::chrono::steady_clock;

void WriteToStderr(const char* format, va_list args) {
    std::vfprintf(stderr, format, args);
}

}  // namespace

void LogVariableFlow(const char* format, ...) {
    if (!LldbDebugVariableFlow()) return;
    va_list args;
    va_start(args, format);
    WriteToStderr(format, args);
    va_end(args);
}

void LogVariableFlowDiag(const char* format, ...) {
    if (!VariableDiagVerbose()) return;
    va_list args;
    va_start(args, format);
    WriteToStderr(format, args);
    va_end(args);
}

ValueType ValueTypeFromLldb(int lldbValueType) {
    static const ValueType kMap[] = {ValueType::Global,        ValueType::Static,  ValueType::Argument,
                                     ValueType::Local,         ValueType::RegisterValue, ValueType::Invalid,
                                     ValueType::ConstResult,   ValueType::Local};
    if (lldbValueType < 1 || lldbValueType > 8) return ValueType::Invalid;
    return kMap[lldbValueType - 1];
}

namespace {
// A builtin scalar under any typedef name (int16_t, size_t, ...) has nothing to expand.
bool IsBuiltinScalar(lldb::SBType& type) {
    return type.IsValid() && type.GetCanonicalType().GetBasicType() != lldb::eBasicTypeInvalid;
}
}  // namespace

namespace {
// The rules with the value's type already at hand (the conversion has fetched it).
void ApplyExpandAndCategoryRules(Variable& r, lldb::SBType& type, VariableCategory category,
                                 const char* staticTypeName) {
    // Cheap text checks first: most rows (scalars, rows with children) stop there.
    if (category != VariableCategory::Primitive && category != VariableCategory::String && r.numChildren == 0 &&
        !r.value.empty() && !IsKotlinEmptySingletonCollectionType(r.type.c_str()) && type.IsValid() &&
        !IsBuiltinScalar(type)) {
        std::string lower = r.value;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower != "null") {
            r.hasChildren = true;
            r.numChildren = 1;
        }
    }
    // A null reference has nothing behind it, whatever LLDB or a formatter guesses.
    const bool neverExpand = category == VariableCategory::String || category == VariableCategory::NullPointer ||
                             IsKotlinEmptySingletonCollectionType(r.type.c_str()) ||
                             KotlinBoxedScalarNeverExpand(staticTypeName) || KotlinBoxedScalarNeverExpand(r.type.c_str());
    if (neverExpand) {
        r.hasChildren = false;
        r.numChildren = 0;
    }
}
}  // namespace

void ApplySbVariableExpandAndCategoryRules(Variable& r, lldb::SBValue& value, VariableCategory category,
                                           const char* staticTypeName) {
    lldb::SBType type = value.GetType();
    ApplyExpandAndCategoryRules(r, type, category, staticTypeName);
}

StopPosition ReadStopPosition(lldb::SBFrame& frame) {
    StopPosition stop;
    lldb::SBLineEntry entry = frame.GetLineEntry();
    stop.valid = entry.IsValid();
    if (stop.valid) {
        stop.line = entry.GetLine();
        stop.column = entry.GetColumn();
        stop.file = entry.GetFileSpec();
    }
    return stop;
}

bool ReachedBySourceOrder(const StopPosition& stop, lldb::SBValue& value) {
    if (!stop.valid) return true;
    // An invalid declaration and one in another file are both reached whatever its
    // line says, so the order of lines decides first and the validity and the files
    // (four more LLDB calls) are looked at only when it says no. An invalid
    // declaration reports line 0 or a line that is not used: either way the lines
    // cannot make it reached wrongly. The column matters only on the line just
    // before the stop.
    lldb::SBDeclaration declaration = value.GetDeclaration();
    SourceOrderInputs in;
    in.lineEntryValid = true;
    in.declarationValid = true;
    in.stopLine = stop.line;
    in.stopColumn = stop.column;
    in.declLine = declaration.GetLine();
    if (in.stopColumn != 0 && in.declLine != 0 && in.declLine == std::max<uint32_t>(in.stopLine, 2) - 1) {
        in.declColumn = declaration.GetColumn();
    }
    if (DeclarationReachedBySourceOrder(in)) return true;
    if (!declaration.IsValid()) return true;
    if (!stop.file.IsValid()) return false;
    lldb::SBFileSpec declFile = declaration.GetFileSpec();
    return declFile.IsValid() && stop.file != declFile;
}

bool VariableReachedBySourceOrder(lldb::SBFrame& frame, lldb::SBValue& value) {
    return ReachedBySourceOrder(ReadStopPosition(frame), value);
}

Variable SbValueToVariable(lldb::SBFrame& frame, lldb::SBValue v, const std::string& variableId,
                           const std::string& parentTypeName) {
    const bool timing = LldbDebugSbvalueToVarTiming();
    const auto start = Clock::now();
    Variable record;
    const char* rawName = v.GetName();
    if (rawName != nullptr) record.name = rawName;

    auto t0 = Clock::now();
    lldb::SBType staticSbType = v.GetType();
    const std::string staticTypeName = SbValueTypeDisplayString(v, staticSbType);
    auto t1 = Clock::now();
    lldb::SBValue nonSynthetic = v.GetNonSyntheticValue();
    if (!nonSynthetic.IsValid()) nonSynthetic = v;
    auto t2 = Clock::now();
    const double staticTypeMs = KotlinTypeElapsedMs(t0, t1);
    const double nonSyntheticMs = KotlinTypeElapsedMs(t1, t2);

    KotlinTypeResolution resolution = ResolveKotlinType(frame, v, nonSynthetic, staticSbType, staticTypeName, timing);
    auto t3 = Clock::now();
    record.type = resolution.typeName;

    const char* summaryText = nullptr;
    if (!resolution.summary.empty()) {
        summaryText = resolution.summary.c_str();
    } else {
        summaryText = nonSynthetic.GetSummary();
    }
    auto t4 = Clock::now();
    const char* valueText = v.GetValue();
    auto t5 = Clock::now();

    FormatDisplayValueParams params;
    params.frame = &frame;
    params.summary = summaryText;
    params.value = valueText;
    params.parentTypeName = parentTypeName.c_str();
    params.typeName = staticTypeName.c_str();
    params.name = rawName;
    const std::string display = FormatDisplayValue(params);
    auto t6 = Clock::now();

    if (TypeLooksObjheaderPtr(staticTypeName.c_str()) && IsNullPointerValue(valueText != nullptr ? valueText : "")) {
        record.value = "null";
    } else if (!display.empty()) {
        record.value = display;
    } else if (valueText != nullptr) {
        record.value = valueText;
    }
    if (summaryText != nullptr) record.summary = summaryText;

    auto t7 = Clock::now();
    record.address = v.GetLoadAddress();
    auto t8 = Clock::now();
    record.valueType = ValueTypeFromLldb(static_cast<int>(v.GetValueType()));
    auto t9 = Clock::now();
    const VariableCategory category = VariableCategoryFromTypeName(record.type.c_str(), valueText);
    auto t10 = Clock::now();
    record.hasChildren = v.MightHaveChildren();
    auto t11 = Clock::now();
    record.numChildren = v.GetNumChildren();
    auto t12 = Clock::now();
    ApplyExpandAndCategoryRules(record, staticSbType, category, staticTypeName.c_str());
    auto t13 = Clock::now();
    record.isInScope = v.IsInScope();
    auto t14 = Clock::now();
    record.valueChanged = false;
    record.variableId = variableId;
    record.category = category;

    if (timing) {
        std::fprintf(stderr,
                     "[TIMING] SbValueToVariable name=%s id=%s kotlinRuntimePath=%s total_ms=%.3f staticType_ms=%.3f "
                     "nonSynthetic_ms=%.3f resolveKotlinType_ms=%.3f getSummary_ms=%.3f getValue_ms=%.3f "
                     "formatDisplay_ms=%.3f loadAddress_ms=%.3f valueTypeEnum_ms=%.3f varCategory_ms=%.3f "
                     "mightHaveChildren_ms=%.3f getNumChildren_ms=%.3f isInScope_ms=%.3f\n",
                     rawName != nullptr ? rawName : "?", variableId.c_str(), KotlinRuntimePathLabel(resolution.path),
                     KotlinTypeElapsedMs(start, Clock::now()), staticTypeMs, nonSyntheticMs,
                     KotlinTypeElapsedMs(t2, t3), KotlinTypeElapsedMs(t3, t4), KotlinTypeElapsedMs(t4, t5),
                     KotlinTypeElapsedMs(t5, t6), KotlinTypeElapsedMs(t7, t8), KotlinTypeElapsedMs(t8, t9),
                     KotlinTypeElapsedMs(t9, t10), KotlinTypeElapsedMs(t10, t11), KotlinTypeElapsedMs(t11, t12),
                     KotlinTypeElapsedMs(t13, t14));
        std::fflush(stderr);
    }
    return record;
}

}  // namespace lldb_debug
