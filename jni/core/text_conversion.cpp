#include "text_conversion.h"

#include <cstdint>

namespace nativescope {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char b) { return b >= 0x80 && b <= 0xBF; }

// True when `count` continuation bytes follow position i inside the text.
bool HasContinuations(const std::string& text, size_t i, size_t count) {
    if (text.size() - i <= count) return false;
    for (size_t k = 1; k <= count; ++k) {
        if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) return false;
    }
    return true;
}

}  // namespace

bool IsAllAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

std::u16string Utf8ToUtf16Units(const std::string& text) {
    std::u16string units;
    units.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        auto cont = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(text[i + k]) & 0x3F); };
        if (lead < 0x80) {
            units.push_back(lead);
            i += 1;
        } else if (lead >= 0xC2 && lead <= 0xDF && HasContinuations(text, i, 1)) {
            units.push_back(static_cast<char16_t>(((lead & 0x1F) << 6) | cont(1)));
            i += 2;
        } else if (lead >= 0xE0 && lead <= 0xEF && HasContinuations(text, i, 2)) {
            const uint32_t cp = ((lead & 0x0Fu) << 12) | (cont(1) << 6) | cont(2);
            if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
                units.push_back(static_cast<char16_t>(cp));
                i += 3;
            } else {
                units.push_back(kReplacement);
                i += 1;
            }
        } else if (lead >= 0xF0 && lead <= 0xF4 && HasContinuations(text, i, 3)) {
            const uint32_t cp = ((lead & 0x07u) << 18) | (cont(1) << 12) | (cont(2) << 6) | cont(3);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                const uint32_t v = cp - 0x10000;
                units.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
                units.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
                i += 4;
            } else {
                units.push_back(kReplacement);
                i += 1;
            }
        } else {
            units.push_back(kReplacement);
            i += 1;
        }
    }
    return units;
}

}  // namespace nativescope
