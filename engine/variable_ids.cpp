#include "variable_ids.h"

#include <algorithm>
#include <cstring>

namespace lldb_debug {
namespace {

constexpr uint32_t kMaxRootNameLength = 65536;

// Accumulates every decimal digit of [begin, end) and passes over anything else;
// unsigned arithmetic, so absurd digit runs wrap instead of overflowing.
uint32_t AccumulateDigits(const std::string& text, size_t begin, size_t end) {
    uint32_t value = 0;
    for (size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value;
}

int HexNibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string MakeVariableId(int32_t threadIndex, int32_t frameIndex, int32_t varIndex, const std::vector<int32_t>& path,
                           const std::string& rootName) {
    static const char kHex[] = "0123456789abcdef";
    std::string id = "T" + std::to_string(threadIndex) + "F" + std::to_string(frameIndex) + "V" + std::to_string(varIndex);
    if (!rootName.empty()) {
        id += "#" + std::to_string(rootName.size()) + ":";
        for (unsigned char c : rootName) {
            id += kHex[c >> 4];
            id += kHex[c & 0xF];
        }
    }
    for (size_t i = 0; i < path.size(); ++i) {
        id += i == 0 ? "C" : ".";
        id += std::to_string(path[i]);
    }
    return id;
}

bool ParseVariableId(const std::string& text, const ParseVariableIdOutputs& out) {
    uint32_t scratchT = 0, scratchF = 0, scratchV = 0;
    std::vector<int32_t> scratchPath;
    std::string scratchName;
    uint32_t& tid = out.tid != nullptr ? *out.tid : scratchT;
    uint32_t& fid = out.fid != nullptr ? *out.fid : scratchF;
    uint32_t& varIndex = out.varIndex != nullptr ? *out.varIndex : scratchV;
    std::vector<int32_t>& path = out.childPath != nullptr ? *out.childPath : scratchPath;
    std::string& name = out.rootNameLock != nullptr ? *out.rootNameLock : scratchName;
    tid = fid = varIndex = 0xFFFFFFFFu;
    path.clear();
    name.clear();

    if (text.size() < 2 || text[0] != 'T') return false;
    const size_t f = text.find('F', 1);
    if (f == std::string::npos) return false;
    const size_t v = text.find('V', f + 1);
    if (v == std::string::npos) return false;
    size_t pos = v + 1;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
    tid = AccumulateDigits(text, 1, f);
    fid = AccumulateDigits(text, f + 1, v);
    varIndex = AccumulateDigits(text, v + 1, pos);
    if (pos == text.size()) return true;

    if (text[pos] == '#') {
        size_t colon = pos + 1;
        uint64_t length = 0;
        while (colon < text.size() && text[colon] >= '0' && text[colon] <= '9') {
            length = std::min<uint64_t>(length * 10 + static_cast<uint64_t>(text[colon] - '0'), kMaxRootNameLength + 1);
            ++colon;
        }
        if (colon >= text.size() || text[colon] != ':' || length > kMaxRootNameLength) return false;
        const size_t hexBegin = colon + 1;
        if (text.size() - hexBegin < 2 * length) return false;
        std::string decoded;
        decoded.reserve(static_cast<size_t>(length));
        for (size_t i = 0; i < length; ++i) {
            const int high = HexNibble(text[hexBegin + 2 * i]);
            const int low = HexNibble(text[hexBegin + 2 * i + 1]);
            if (high < 0 || low < 0) return false;
            decoded += static_cast<char>((high << 4) | low);
        }
        name = std::move(decoded);
        pos = hexBegin + 2 * static_cast<size_t>(length);
        if (pos == text.size()) return true;
    }

    if (text[pos] == 'C') {
        size_t begin = pos + 1;
        while (begin < text.size()) {
            size_t dot = text.find('.', begin);
            if (dot == std::string::npos) dot = text.size();
            path.push_back(static_cast<int32_t>(AccumulateDigits(text, begin, dot)));
            begin = dot + 1;
        }
    }
    return true;
}

SliceBounds ClampSlice(size_t total, int64_t start, int64_t count) {
    SliceBounds bounds;
    if (count <= 0 || start < 0 || static_cast<uint64_t>(start) >= total) return bounds;
    bounds.first = static_cast<size_t>(start);
    const uint64_t room = total - bounds.first;
    bounds.end = bounds.first + static_cast<size_t>(std::min<uint64_t>(room, static_cast<uint64_t>(count)));
    return bounds;
}

bool DeclarationReachedBySourceOrder(const SourceOrderInputs& in) {
    if (!in.lineEntryValid || !in.declarationValid || in.declLine == 0 || in.stopLine == 0) return true;
    if (in.bothFilesValidAndDiffer) return true;
    const uint32_t lineBefore = std::max<uint32_t>(in.stopLine, 2) - 1;
    if (in.declLine > lineBefore) return false;
    if (in.declLine < lineBefore) return true;
    return in.stopColumn == 0 || in.stopColumn >= in.declColumn;
}

bool ShouldSkipVariableForUI(const char* name, const char* valueText) {
    if (name == nullptr || name[0] == '\0' || name[0] == '$' || std::strcmp(name, "_this") == 0) return true;
    return valueText != nullptr &&
           (std::strstr(valueText, "not available") != nullptr || std::strstr(valueText, "uninitialized") != nullptr);
}

}  // namespace lldb_debug
