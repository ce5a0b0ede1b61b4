// Device strings as hidapi gives them (wchar_t) turned into the UTF-16 the program keeps.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kx {

// A hidapi string (UTF-32 on Linux) as UTF-16, at most maxUnits code units. Code
// points outside Unicode and lone surrogates are dropped; a character that would not
// fit whole is left out rather than split.
std::u16string WideToUtf16(std::wstring_view text, std::size_t maxUnits);

// UTF-16 as UTF-8. A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// A device string fit for a label, a terminal, a file comment or a JSON value: UTF-8,
// with control characters (which could move a terminal's cursor, start a new line in a
// file or break a layout) replaced by U+FFFD.
std::string PrintableDeviceText(std::u16string_view text);


}  // namespace kx
