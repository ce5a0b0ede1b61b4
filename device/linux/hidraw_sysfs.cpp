#include "hidraw_sysfs.h"

#include "board_holders.h"
#include "sysfs_text.h"

#include <algorithm>
#include <system_error>

namespace kx {

namespace {

constexpr std::string_view HidrawPrefix = "/dev/hidraw";

std::filesystem::path HidDeviceDir(const std::filesystem::path& sysfsRoot, std::string_view node)
{
    return sysfsRoot / "class" / "hidraw" / std::string(node) / "device";
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

std::optional<std::string> ReadHidrawPort(const std::filesystem::path& sysfsRoot, std::string_view node)
{
    const auto identity = ReadHidrawIdentity(sysfsRoot, node);
    if (!identity)
        return std::nullopt;
    if (!identity->UsbPort.empty())
        return "usb:" + identity->UsbPort;
    return identity->Phys;
}

}  // namespace kx
