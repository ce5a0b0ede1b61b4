#include "plain_text.h"

#include <cstdint>
#include <cstdio>

namespace kx {

Utf8Char DecodeUtf8At(std::string_view text, std::size_t at)
{
    const auto b = static_cast<unsigned char>(text[at]);
    if (b < 0x80)
        return {b, 1};
    std::size_t length = 0;
    std::uint32_t lowest = 0;
    if ((b & 0xE0) == 0xC0)
        length = 2, lowest = 0x80;
    else if ((b & 0xF0) == 0xE0)
        length = 3, lowest = 0x800;
    else if ((b & 0xF8) == 0xF0)
        length = 4, lowest = 0x10000;
    else
        return {};
    if (text.size() - at < length)
        return {};
    std::uint32_t cp = b & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[at + k]);
        if ((c & 0xC0) != 0x80)
            return {};
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return {};
    return {cp, length};
}

namespace {

// Characters that show nothing themselves but change how the text around them reads:
// the bidirectional controls (U+202E makes "txt.exe" read "exe.txt"), and the
// zero-width ones, with which two different names look alike.
bool Invisible(std::uint32_t cp)
{
    return cp == 0x061C || (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2066 && cp <= 0x2069) || cp == 0xFEFF;
}

void AppendEscaped(std::string& out, const char* format, unsigned value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

std::string Escape(std::string_view text, std::size_t maxCodePoints)
{
    std::string out;
    out.reserve(text.size());
    std::size_t count = 0;
    std::size_t i = 0;
    for (; i < text.size() && count < maxCodePoints; ++count) {
        const Utf8Char d = DecodeUtf8At(text, i);
        if (d.Length == 0) {
            AppendEscaped(out, "\\x%02x", static_cast<unsigned char>(text[i]));
            ++i;
            continue;
        }
        const std::uint32_t cp = d.CodePoint;
        if (cp == '\t')
            out += "\\t";
        else if (cp == '\n')
            out += "\\n";
        else if (cp == '\r')
            out += "\\r";
        else if (cp < 0x20 || cp == 0x7F)
            AppendEscaped(out, "\\x%02x", cp);
        else if ((cp >= 0x80 && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029 || Invisible(cp))
            AppendEscaped(out, "\\u%04x", cp);
        else
            out.append(text.substr(i, d.Length));
        i += d.Length;
    }
    if (i < text.size())
        out += "...";
    return out;
}

}  // namespace

std::string PlainText(std::string_view text)
{
    return Escape(text, text.size());
}

std::string PlainTextCut(std::string_view text, std::size_t maxCodePoints)
{
    return Escape(text, maxCodePoints);
}

}  // namespace kx
