#include "wide_text.h"

#include <cstdint>

namespace kx {

std::u16string WideToUtf16(std::wstring_view text, std::size_t maxUnits)
{
    std::u16string out;
    if constexpr (sizeof(wchar_t) == 2) {
        // Already UTF-16 (Windows): only the length is bounded, a pair never split.
        for (wchar_t wc : text) {
            const auto unit = static_cast<char16_t>(wc);
            const bool high = unit >= 0xD800 && unit <= 0xDBFF;
            if (out.size() + (high ? 2 : 1) > maxUnits)
                break;
            out.push_back(unit);
        }
        return out;
    }
    for (wchar_t wc : text) {
        const auto cp = static_cast<std::uint32_t>(wc);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            continue;
        if (cp < 0x10000) {
            if (out.size() + 1 > maxUnits)
                break;
            out.push_back(static_cast<char16_t>(cp));
        } else {
            if (out.size() + 2 > maxUnits)
                break;
            const std::uint32_t v = cp - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        }
    }
    return out;
}

}  // namespace kx
