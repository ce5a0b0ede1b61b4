#include "hidraw_sysfs.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <span>
#include <system_error>

namespace kx {

namespace {

constexpr std::string_view HidrawPrefix = "/dev/hidraw";

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::filesystem::path HidDeviceDir(const std::filesystem::path& sysfsRoot, std::string_view node)
{
    return sysfsRoot / "class" / "hidraw" / std::string(node) / "device";
}

// Reads at most limit + 1 bytes, so that the caller can tell a file that is too long.
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

std::optional<std::uint16_t> ParseHex16(std::span<const std::uint8_t> text)
{
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    if (end == 0 || end > 4)
        return std::nullopt;
    std::uint16_t value = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const char c = static_cast<char>(text[i]);
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

}  // namespace

std::optional<std::string> HidrawNodeName(std::string_view devicePath)
{
    if (!devicePath.starts_with(HidrawPrefix))
        return std::nullopt;
    const std::string_view number = devicePath.substr(HidrawPrefix.size());
    if (!AllDigits(number) || number.size() > 9)
        return std::nullopt;
    return std::string(devicePath.substr(devicePath.rfind('/') + 1));
}

std::optional<std::uint16_t> ReadHidrawVersion(const std::filesystem::path& sysfsRoot, std::string_view node)
{
    std::error_code ec;
    std::vector<std::string> inputs;
    for (std::filesystem::directory_iterator it(HidDeviceDir(sysfsRoot, node) / "input", ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with("input") && AllDigits(std::string_view(name).substr(5)))
            inputs.push_back(name);
    }
    // Every input device of one HID device carries the same version; sorting only makes
    // the choice repeatable.
    std::sort(inputs.begin(), inputs.end());
    for (const std::string& name : inputs) {
        const auto text = ReadBounded(HidDeviceDir(sysfsRoot, node) / "input" / name / "id" / "version", 16);
        if (!text)
            continue;
        if (const auto version = ParseHex16(*text))
            return version;
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadHidrawReportDescriptor(const std::filesystem::path& sysfsRoot,
                                                                     std::string_view node)
{
    auto bytes = ReadBounded(HidDeviceDir(sysfsRoot, node) / "report_descriptor", MaxReportDescriptorSize);
    if (!bytes || bytes->size() > MaxReportDescriptorSize)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> ReadHidrawPhysicalPort(const std::filesystem::path& sysfsRoot, std::string_view node)
{
    // A uevent file is a few hundred bytes; anything longer is not one.
    const auto bytes = ReadBounded(HidDeviceDir(sysfsRoot, node) / "uevent", 4096);
    if (!bytes || bytes->size() > 4096)
        return std::nullopt;
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    constexpr std::string_view Key = "HID_PHYS=";
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (line.starts_with(Key) && line.size() > Key.size())
            return std::string(line.substr(Key.size()));
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace kx
