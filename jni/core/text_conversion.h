// Engine text (UTF-8, possibly invalid) to the UTF-16 units of a Java string.
#pragma once

#include <string>

namespace nativescope {

bool IsAllAscii(const std::string& text);

// Decodes every byte; each malformed lead or sequence yields U+FFFD and consumes
// exactly one byte. Embedded NUL bytes are kept as U+0000.
std::u16string Utf8ToUtf16Units(const std::string& text);

}  // namespace nativescope
