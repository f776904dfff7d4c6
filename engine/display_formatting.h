// Kotlin-style display of LLDB's raw value texts, the type-name predicates that
// decide expansion, and the classification of variables by type name.
#pragma once

#include <lldb/API/LLDB.h>

#include <cstdint>
#include <functional>
#include <string>

#include "lldb_debug_records.h"

namespace lldb_debug {

struct FormatDisplayValueParams {
    lldb::SBFrame* frame = nullptr;  // only for the object-header summary evaluation
    const char* summary = nullptr;
    const char* value = nullptr;
    const char* parentTypeName = nullptr;
    const char* typeName = nullptr;
    const char* name = nullptr;
};

std::string FormatDisplayValue(const FormatDisplayValueParams& p);
// The same rules with the object-header summary step supplied by the caller
// (it receives the summary and value texts).
std::string FormatDisplayValueWith(const FormatDisplayValueParams& p,
                                   const std::function<std::string(const char*, const char*)>& objheaderSummary);

std::string FormatBooleanChar(const char* value, const char* parentTypeName, const char* typeName);
bool ParseLldbQuotedByte(const char* text, uint8_t* out);
std::string KotlinCharDisplayFromCodeUnit(uint16_t codeUnit);
std::string FormatKotlinCharDisplay(const char* typeName, const char* name, const char* value, const char* summary);

bool TypeLooksBoolean(const char* typeName);
bool ParentLooksBoolean(const char* parentTypeName);
bool TypeLooksKotlinByte(const char* typeName);
bool IsNullPointerValue(const char* value);
bool IsKotlinEmptySingletonCollectionType(const char* typeName);
bool KotlinBoxedScalarNeverExpand(const char* typeName);
bool KotlinBoxedScalarCppPrimitiveNameMatch(const std::string& lower);
bool KotlinBoxedScalarUnsignedCppNameMatch(const std::string& lower);
bool KotlinBoxedScalarKotlinPrimitiveSuffixMatch(const std::string& lower);
bool KotlinBoxedScalarKotlinUnsignedSuffixMatch(const std::string& lower);
bool TypeLowerEndsWith(const std::string& lower, const char* suffix);

VariableCategory VariableCategoryFromTypeName(const char* typeName, const char* value);

}  // namespace lldb_debug
