#include "display_formatting.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "kotlin_object_decoding.h"

namespace lldb_debug {
namespace {

std::string Lower(const char* text) {
    std::string out = text != nullptr ? text : "";
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool Contains(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }

bool ContainsAny(const std::string& text, std::initializer_list<const char*> words) {
    for (const char* word : words) {
        if (Contains(text, word)) return true;
    }
    return false;
}

bool EqualsAny(const std::string& text, std::initializer_list<const char*> words) {
    for (const char* word : words) {
        if (text == word) return true;
    }
    return false;
}

bool EndsWithAny(const std::string& lower, std::initializer_list<const char*> suffixes) {
    for (const char* suffix : suffixes) {
        if (TypeLowerEndsWith(lower, suffix)) return true;
    }
    return false;
}

const char* SkipBlanks(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    return text;
}

bool Empty(const char* text) { return text == nullptr || text[0] == '\0'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// First of the candidates (walk stops at a null one, empty ones are passed over)
// that parses as an LLDB quoted byte.
bool FirstQuotedByte(std::initializer_list<const char*> candidates, uint8_t* out) {
    for (const char* text : candidates) {
        if (text == nullptr) return false;
        if (text[0] == '\0') continue;
        if (ParseLldbQuotedByte(text, out)) return true;
    }
    return false;
}

bool IsScalarTypeName(const std::string& lower) {
    return KotlinBoxedScalarCppPrimitiveNameMatch(lower) || KotlinBoxedScalarUnsignedCppNameMatch(lower) ||
           KotlinBoxedScalarKotlinPrimitiveSuffixMatch(lower) || KotlinBoxedScalarKotlinUnsignedSuffixMatch(lower);
}

}  // namespace

bool TypeLowerEndsWith(const std::string& lower, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return lower.size() >= n && lower.compare(lower.size() - n, n, suffix) == 0;
}

bool TypeLooksBoolean(const char* t) { return !Empty(t) && Contains(Lower(t), "bool"); }
bool ParentLooksBoolean(const char* p) { return !Empty(p) && Contains(Lower(p), "boolean"); }

bool TypeLooksKotlinByte(const char* t) {
    if (Empty(t)) return false;
    const std::string lower = Lower(t);
    return EqualsAny(lower, {"byte", "int8_t", "schar", "signed char"}) || Contains(lower, "kotlin.byte") ||
           (lower.size() > 4 && TypeLowerEndsWith(lower, ".byte"));
}

bool IsNullPointerValue(const char* v) {
    if (v == nullptr || v[0] != '0' || (v[1] != 'x' && v[1] != 'X')) return false;
    for (const char* p = v + 2; *p != '\0'; ++p) {
        if (*p != '0') return false;
    }
    return true;
}

bool IsKotlinEmptySingletonCollectionType(const char* t) { return !Empty(t) && Contains(Lower(t), "emptylist"); }

bool KotlinBoxedScalarCppPrimitiveNameMatch(const std::string& lower) {
    return EqualsAny(lower, {"int", "long", "char", "bool", "byte", "short", "float", "double", "boolean", "long long"});
}

bool KotlinBoxedScalarUnsignedCppNameMatch(const std::string& lower) {
    return EqualsAny(lower, {"uint8_t", "uint16_t", "uint32_t", "uint64_t", "unsigned int", "unsigned char",
                             "unsigned long", "unsigned short", "unsigned long long"});
}

bool KotlinBoxedScalarKotlinPrimitiveSuffixMatch(const std::string& lower) {
    return EndsWithAny(lower, {".int", ".long", ".short", ".byte", ".char", ".float", ".double", ".boolean", ".bool"});
}

bool KotlinBoxedScalarKotlinUnsignedSuffixMatch(const std::string& lower) {
    return EndsWithAny(lower, {".ubyte", ".ushort", ".uint", ".ulong"});
}

bool KotlinBoxedScalarNeverExpand(const char* t) {
    if (Empty(t)) return false;
    std::string lower = Lower(t);
    while (!lower.empty() && lower.back() == '?') lower.pop_back();
    return IsScalarTypeName(lower);
}

bool ParseLldbQuotedByte(const char* text, uint8_t* out) {
    if (text == nullptr || out == nullptr) return false;
    const char* p = SkipBlanks(text);
    if (*p != '\'') return false;
    ++p;
    if (*p == '\0' || *p == '\'') return false;
    unsigned value = 0;
    if (*p != '\\') {
        value = static_cast<unsigned char>(*p++);
    } else {
        ++p;
        const char letter = *p;
        if (letter == 'x' || letter == 'X') {
            const int first = HexDigit(p[1]);
            if (first < 0) return false;
            value = static_cast<unsigned>(first);
            p += 2;
            const int second = HexDigit(*p);
            if (second >= 0) {
                value = value * 16 + static_cast<unsigned>(second);
                ++p;
            }
        } else if (letter >= '0' && letter <= '7') {
            int digits = 0;
            while (digits < 3 && *p >= '0' && *p <= '7') {
                value = (value * 8 + static_cast<unsigned>(*p - '0')) % 256;
                ++p;
                ++digits;
            }
        } else {
            switch (letter) {
                case '\'': value = 39; break;
                case '\\': value = 92; break;
                case 'n': value = 10; break;
                case 'r': value = 13; break;
                case 't': value = 9; break;
                default: return false;
            }
            ++p;
        }
    }
    if (*p != '\'') return false;
    *out = static_cast<uint8_t>(value);
    return true;
}

std::string FormatBooleanChar(const char* value, const char* parentTypeName, const char* typeName) {
    if (!TypeLooksBoolean(typeName) && !ParentLooksBoolean(parentTypeName)) return "";
    if (Empty(value)) return "";
    uint8_t byte = 0;
    if (ParseLldbQuotedByte(value, &byte)) return byte == 0 ? "false" : "true";
    const std::string text = value;
    if (text.size() < 3 || text.front() != '\'' || text.back() != '\'') return "";
    const bool isFalse = Contains(text, "\\x00") || Contains(text, "'\\0'") || (text.size() == 3 && text[1] == '0');
    return isFalse ? "false" : "true";
}

std::string KotlinCharDisplayFromCodeUnit(uint16_t c) {
    std::string body;
    char buffer[16];
    if (c >= 0x20 && c <= 0x7E) {
        if (c == '\'') {
            body = "\\'";
        } else if (c == '\\') {
            body = "\\\\";
        } else {
            body = std::string(1, static_cast<char>(c));
        }
    } else if (c <= 0xFF) {
        std::snprintf(buffer, sizeof buffer, "\\x%02x", static_cast<unsigned>(c));
        body = buffer;
    } else {
        std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
        body = buffer;
    }
    return "'" + body + "' " + std::to_string(c);
}

std::string FormatKotlinCharDisplay(const char* typeName, const char* name, const char* value, const char* summary) {
    if (Empty(typeName)) return "";
    const std::string lower = Lower(typeName);
    const bool isChar = lower == "char" || Contains(lower, "kotlin.char") || TypeLowerEndsWith(lower, ".char") ||
                        ((lower == "short" || lower == "int16_t") && !Empty(name) && Contains(Lower(name), "char"));
    if (!isChar) return "";
    for (const char* candidate : {value, summary}) {
        if (candidate == nullptr) break;
        if (candidate[0] == '\0') continue;
        const char* text = SkipBlanks(candidate);
        if (std::strncmp(text, "{bool}", 6) == 0) continue;
        uint8_t byte = 0;
        if (*text == '\'' && ParseLldbQuotedByte(text, &byte)) return KotlinCharDisplayFromCodeUnit(byte);
        char* end = nullptr;
        const long number = std::strtol(text, &end, 10);
        if (end != text && number >= 0 && number <= 65535) {
            return KotlinCharDisplayFromCodeUnit(static_cast<uint16_t>(number));
        }
    }
    return "";
}

std::string FormatDisplayValueWith(const FormatDisplayValueParams& p,
                                   const std::function<std::string(const char*, const char*)>& objheaderSummary) {
    if (TypeLooksBoolean(p.typeName) || ParentLooksBoolean(p.parentTypeName)) {
        std::string text = FormatBooleanChar(p.value, p.parentTypeName, p.typeName);
        if (!text.empty()) return text;
        if (p.value != nullptr) {
            const char* v = SkipBlanks(p.value);
            if ((v[0] == '0' || v[0] == '1') && (v[1] == '\0' || v[1] == ' ')) return v[0] == '0' ? "false" : "true";
        }
    }
    const std::string lowerType = Lower(p.typeName);
    uint8_t byte = 0;
    if (lowerType == "unsigned char" || lowerType == "uint8_t" || Contains(lowerType, "kotlin.ubyte") ||
        TypeLowerEndsWith(lowerType, ".ubyte")) {
        if (FirstQuotedByte({p.summary, p.value}, &byte)) return KotlinCharDisplayFromCodeUnit(byte);
    }
    if (TypeLooksKotlinByte(p.typeName) && FirstQuotedByte({p.summary, p.value}, &byte)) {
        return std::to_string(static_cast<int>(static_cast<int8_t>(byte)));
    }
    std::string charText = FormatKotlinCharDisplay(p.typeName, p.name, p.value, p.summary);
    if (!charText.empty()) return charText;
    if (!Empty(p.summary)) return p.summary;
    if (TypeLooksObjheaderPtr(p.typeName) || (p.value != nullptr && std::strncmp(p.value, "0x", 2) == 0)) {
        std::string text = objheaderSummary(p.summary, p.value);
        if (!text.empty()) return text;
    }
    return p.value != nullptr ? p.value : "";
}

std::string FormatDisplayValue(const FormatDisplayValueParams& p) {
    return FormatDisplayValueWith(p, [&p](const char* summary, const char* value) {
        if (p.frame == nullptr) return std::string();
        return ResolveObjheaderSummary(*p.frame, summary, value);
    });
}

VariableCategory VariableCategoryFromTypeName(const char* typeName, const char* value) {
    if (Empty(typeName)) return VariableCategory::Other;
    const std::string t = Lower(typeName);
    if (value != nullptr) {
        if (Contains(t, "objheader") && Contains(Lower(value), "sequence")) return VariableCategory::Sequence;
        if (value[0] == '0' && (value[1] == 'x' || value[1] == 'X') && value[2] != '\0' && IsNullPointerValue(value)) {
            return VariableCategory::NullPointer;
        }
    }
    using C = VariableCategory;
    if (ContainsAny(t, {"string", "charsequence"})) return C::String;
    if (ContainsAny(t, {"array", "intarray", "longarray", "bytearray", "chararray", "floatarray", "doublearray",
                        "booleanarray"})) {
        return C::Array;
    }
    if (ContainsAny(t, {"list", "arraylist", "linkedlist", "mutablelist"})) return C::List;
    if (ContainsAny(t, {"set", "hashset", "linkedhashset", "treeset", "mutableset"})) return C::Set;
    if (ContainsAny(t, {"map", "hashmap", "linkedhashmap", "treemap", "mutablemap"})) return C::Map;
    if (Contains(t, "sequence")) return C::Sequence;
    if (ContainsAny(t, {"pair", "triple"})) return C::Tuple;
    if (ContainsAny(t, {"intrange", "longrange", "charrange", "uintrange"})) return C::Range;
    if (Contains(t, "result") && Contains(t, "kotlin")) return C::Result;
    if (Contains(t, "enum")) return C::Enum;
    if (ContainsAny(t, {"function", "kfunction"})) return C::Function;
    if (ContainsAny(t, {"throwable", "exception", "error"})) return C::Throwable;
    if (Contains(t, "lazy")) return C::Lazy;
    if (t == "unit" || Contains(t, ".unit")) return C::Unit;
    if (Contains(t, "regex")) return C::Regex;
    if (IsScalarTypeName(t)) return C::Primitive;
    if (t.rfind("kotlin.", 0) != 0 && Contains(t, ".")) return C::UserType;
    return C::Other;
}

}  // namespace lldb_debug
