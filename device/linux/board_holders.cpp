#include "board_holders.h"

#include "sysfs_text.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace kx {

namespace {

namespace fs = std::filesystem;

bool IsHexDigits(std::string_view text, std::size_t count)
{
    return text.size() == count && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
}

bool Exists(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

std::optional<fs::path> ResolvedHidDevice(const fs::path& sysfsRoot, std::string_view node)
{
    std::error_code ec;
    fs::path device = fs::canonical(sysfsRoot / "class" / "hidraw" / std::string(node) / "device", ec);
    if (ec)
        return std::nullopt;
    return device;
}

// The HID devices on each interface of a USB device ("1-1.2:1.0/0003:6C1B:5E11.0005").
std::vector<fs::path> HidDevicesOfUsbDevice(const fs::path& usbDevice)
{
    const std::string interfacePrefix = usbDevice.filename().string() + ':';
    std::vector<fs::path> devices;
    for (const std::string& interface : DirectoryNames(usbDevice)) {
        if (!interface.starts_with(interfacePrefix))
            continue;
        for (const std::string& name : DirectoryNames(usbDevice / interface))
            if (IsHidDeviceName(name))
                devices.push_back(usbDevice / interface / name);
    }
    return devices;
}

std::optional<int> Pid(std::string_view name)
{
    int pid = 0;
    if (!IsNumberedName(name, ""))
        return std::nullopt;
    std::from_chars(name.data(), name.data() + name.size(), pid);
    return pid;
}

}  // namespace

bool IsHidDeviceName(std::string_view name)
{
    return name.size() == 19 && IsHexDigits(name.substr(0, 4), 4) && name[4] == ':' &&
           IsHexDigits(name.substr(5, 4), 4) && name[9] == ':' && IsHexDigits(name.substr(10, 4), 4) &&
           name[14] == '.' && IsHexDigits(name.substr(15, 4), 4);
}

std::vector<std::string> HidDeviceNodes(const fs::path& hidDevice)
{
    std::vector<std::string> nodes;
    for (const std::string& name : DirectoryNames(hidDevice / "hidraw"))
        if (IsNumberedName(name, "hidraw"))
            nodes.push_back("/dev/" + name);
    for (const std::string& input : DirectoryNames(hidDevice / "input")) {
        if (!IsNumberedName(input, "input"))
            continue;
        for (const std::string& name : DirectoryNames(hidDevice / "input" / input))
            if (IsNumberedName(name, "event") || IsNumberedName(name, "js"))
                nodes.push_back("/dev/input/" + name);
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

std::optional<fs::path> UsbDeviceOf(const fs::path& hidDevice)
{
    const fs::path interface = hidDevice.parent_path();
    const fs::path usbDevice = interface.parent_path();
    if (!Exists(interface / "bInterfaceNumber") || !Exists(usbDevice / "idVendor"))
        return std::nullopt;
    return usbDevice;
}

std::vector<std::string> BoardDeviceNodes(const fs::path& sysfsRoot, std::string_view node)
{
    if (!IsNumberedName(node, "hidraw"))
        return {};
    std::vector<std::string> nodes{"/dev/" + std::string(node)};
    if (const auto hidDevice = ResolvedHidDevice(sysfsRoot, node)) {
        const auto usbDevice = UsbDeviceOf(*hidDevice);
        for (const fs::path& device : usbDevice ? HidDevicesOfUsbDevice(*usbDevice) : std::vector{*hidDevice}) {
            const std::vector<std::string> more = HidDeviceNodes(device);
            nodes.insert(nodes.end(), more.begin(), more.end());
        }
    }
    std::sort(nodes.begin(), nodes.end());
    nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
    return nodes;
}

std::vector<NodeHolder> FindNodeHolders(const fs::path& procRoot, std::span<const std::string> nodes, int selfPid)
{
    std::vector<int> pids;
    for (const std::string& name : DirectoryNames(procRoot))
        if (const auto pid = Pid(name); pid && *pid != selfPid)
            pids.push_back(*pid);
    std::sort(pids.begin(), pids.end());

    std::vector<NodeHolder> holders;
    for (const int pid : pids) {
        const fs::path process = procRoot / std::to_string(pid);
        std::vector<std::string> held;
        // Unreadable (another user's process) or gone: DirectoryNames gives nothing.
        for (const std::string& fd : DirectoryNames(process / "fd")) {
            std::error_code ec;
            const std::string target = fs::read_symlink(process / "fd" / fd, ec).string();
            if (!ec && std::find(nodes.begin(), nodes.end(), target) != nodes.end())
                held.push_back(target);
        }
        std::sort(held.begin(), held.end());
        held.erase(std::unique(held.begin(), held.end()), held.end());
        if (held.empty())
            continue;
        const std::string program = ReadFirstLine(process / "comm", 64).value_or("");
        for (std::string& node : held)
            holders.push_back({pid, program, std::move(node)});
    }
    return holders;
}

std::optional<HidrawIdentity> ReadHidrawIdentity(const fs::path& sysfsRoot, std::string_view node)
{
    if (!IsNumberedName(node, "hidraw"))
        return std::nullopt;
    constexpr std::size_t Limit = 4096;
    const auto bytes = ReadBounded(sysfsRoot / "class" / "hidraw" / std::string(node) / "device" / "uevent", Limit);
    if (!bytes || bytes->size() > Limit)
        return std::nullopt;

    HidrawIdentity identity;
    std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    while (!text.empty()) {
        const std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(text.size(), line.size() + 1));
        if (line.starts_with("HID_UNIQ="))
            identity.Uniq = line.substr(9);
        else if (line.starts_with("HID_PHYS="))
            identity.Phys = line.substr(9);
    }
    if (const auto hidDevice = ResolvedHidDevice(sysfsRoot, node))
        if (const auto usbDevice = UsbDeviceOf(*hidDevice))
            identity.UsbPort = usbDevice->filename().string();
    return identity;
}

}  // namespace kx
