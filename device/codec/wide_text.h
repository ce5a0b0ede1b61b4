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

}  // namespace kx
