#include "sysfs_text.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace kx {

std::optional<std::vector<std::uint8_t>> ReadBounded(const std::filesystem::path& file, std::size_t limit)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(limit + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad())
        return std::nullopt;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::optional<std::string> ReadFirstLine(const std::filesystem::path& file, std::size_t limit)
{
    const auto bytes = ReadBounded(file, limit);
    if (!bytes || bytes->size() > limit)
        return std::nullopt;
    std::string text(bytes->begin(), bytes->end());
    text.resize(std::min(text.size(), text.find('\n')));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.pop_back();
    return text;
}

std::optional<std::uint16_t> ParseHex16(std::span<const std::uint8_t> text)
{
    return ParseHex16(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

std::optional<std::uint16_t> ParseHex16(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    if (end == 0 || end > 4)
        return std::nullopt;
    std::uint16_t value = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = static_cast<std::uint16_t>(value * 16 + digit);
    }
    return value;
}

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsNumberedName(std::string_view name, std::string_view prefix)
{
    if (!name.starts_with(prefix))
        return false;
    const std::string_view number = name.substr(prefix.size());
    return AllDigits(number) && number.size() <= 9;
}

std::vector<std::string> DirectoryNames(const std::filesystem::path& directory)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace kx
