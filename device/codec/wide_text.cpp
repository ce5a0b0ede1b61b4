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

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string PrintableDeviceText(std::u16string_view text)
{
    std::u16string shown(text);
    for (char16_t& c : shown)
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029)
            c = 0xFFFD;
    return Utf16ToUtf8(shown);
}

}  // namespace kx
