#include "board_holders.h"

#include "sysfs_text.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
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

// "189:5\n", as sysfs gives a node's number.
dev_t ReadDeviceNumber(const fs::path& file)
{
    const std::optional<std::string> text = ReadFirstLine(file, 64);
    if (!text)
        return 0;
    const std::size_t colon = text->find(':');
    if (colon == std::string::npos || !AllDigits(text->substr(0, colon)) || !AllDigits(text->substr(colon + 1)) ||
        colon == 0 || colon + 1 == text->size() || text->size() > 21)
        return 0;
    unsigned major = 0, minor = 0;
    std::from_chars(text->data(), text->data() + colon, major);
    std::from_chars(text->data() + colon + 1, text->data() + text->size(), minor);
    return makedev(major, minor);
}

// The node's own number, where sysfs did not tell it.
dev_t NodeDeviceNumber(const std::string& path)
{
    struct stat node {};
    return ::stat(path.c_str(), &node) == 0 && S_ISCHR(node.st_mode) ? node.st_rdev : 0;
}

// The nodes of one HID device with the sysfs file that holds each one's number.
std::vector<std::pair<std::string, fs::path>> HidDeviceNodeFiles(const fs::path& hidDevice)
{
    std::vector<std::pair<std::string, fs::path>> nodes;
    for (const std::string& name : DirectoryNames(hidDevice / "hidraw"))
        if (IsNumberedName(name, "hidraw"))
            nodes.push_back({"/dev/" + name, hidDevice / "hidraw" / name / "dev"});
    for (const std::string& input : DirectoryNames(hidDevice / "input")) {
        if (!IsNumberedName(input, "input"))
            continue;
        for (const std::string& name : DirectoryNames(hidDevice / "input" / input))
            if (IsNumberedName(name, "event") || IsNumberedName(name, "js"))
                nodes.push_back({"/dev/input/" + name, hidDevice / "input" / input / name / "dev"});
    }
    return nodes;
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
    for (auto& [node, file] : HidDeviceNodeFiles(hidDevice))
        nodes.push_back(std::move(node));
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

std::vector<BoardNode> BoardNodes(const fs::path& sysfsRoot, std::string_view node)
{
    if (!IsNumberedName(node, "hidraw"))
        return {};
    std::vector<std::pair<std::string, fs::path>> files{
        {"/dev/" + std::string(node), sysfsRoot / "class" / "hidraw" / std::string(node) / "dev"}};
    if (const auto hidDevice = ResolvedHidDevice(sysfsRoot, node)) {
        const auto usbDevice = UsbDeviceOf(*hidDevice);
        for (const fs::path& device : usbDevice ? HidDevicesOfUsbDevice(*usbDevice) : std::vector{*hidDevice}) {
            const auto more = HidDeviceNodeFiles(device);
            files.insert(files.end(), more.begin(), more.end());
        }
        if (usbDevice) {
            const std::string interfacePrefix = usbDevice->filename().string() + ':';
            for (const std::string& interface : DirectoryNames(*usbDevice)) {
                if (!interface.starts_with(interfacePrefix))
                    continue;
                for (const std::string& name : DirectoryNames(*usbDevice / interface / "usbmisc"))
                    if (IsNumberedName(name, "hiddev"))
                        files.push_back({"/dev/usb/" + name, *usbDevice / interface / "usbmisc" / name / "dev"});
            }
            // usbfs: /dev/bus/usb/BBB/DDD, the bus and device numbers three digits each.
            const auto bus = ReadFirstLine(*usbDevice / "busnum", 16), device = ReadFirstLine(*usbDevice / "devnum", 16);
            if (bus && device && AllDigits(*bus) && AllDigits(*device) && !bus->empty() && !device->empty() &&
                bus->size() <= 3 && device->size() <= 3)
                files.push_back({"/dev/bus/usb/" + std::string(3 - bus->size(), '0') + *bus + "/" +
                                     std::string(3 - device->size(), '0') + *device,
                                 *usbDevice / "dev"});
        }
    }
    std::vector<BoardNode> nodes;
    for (const auto& [path, file] : files) {
        const dev_t number = ReadDeviceNumber(file);
        nodes.push_back({path, number ? number : NodeDeviceNumber(path)});
    }
    std::sort(nodes.begin(), nodes.end(), [](const BoardNode& a, const BoardNode& b) { return a.Path < b.Path; });
    nodes.erase(std::unique(nodes.begin(), nodes.end(), [](const BoardNode& a, const BoardNode& b) { return a.Path == b.Path; }),
                nodes.end());
    return nodes;
}

NodeHolders FindNodeHolders(const fs::path& procRoot, std::span<const BoardNode> nodes, int selfPid)
{
    std::vector<int> pids;
    for (const std::string& name : DirectoryNames(procRoot))
        if (const auto pid = Pid(name); pid && *pid != selfPid)
            pids.push_back(*pid);
    std::sort(pids.begin(), pids.end());

    NodeHolders found;
    for (const int pid : pids) {
        const fs::path process = procRoot / std::to_string(pid);
        const fs::path fds = process / "fd";
        DIR* directory = ::opendir(fds.c_str());
        if (!directory) {
            // Gone meanwhile, or never had descriptors to show (a kernel thread's are
            // readable): only what could not be read is counted.
            if (errno != ENOENT && errno != ESRCH)
                ++found.Unchecked;
            continue;
        }
        std::vector<std::string> held;
        while (const dirent* entry = ::readdir(directory)) {
            const std::string_view fd = entry->d_name;
            if (fd == "." || fd == "..")
                continue;
            // stat follows the link to what the process has open, wherever it was
            // opened and whatever its path reads.
            struct stat target {};
            if (::stat((fds / std::string(fd)).c_str(), &target) != 0 || !S_ISCHR(target.st_mode))
                continue;
            for (const BoardNode& node : nodes)
                if (node.Device != 0 && node.Device == target.st_rdev)
                    held.push_back(node.Path);
        }
        ::closedir(directory);
        std::sort(held.begin(), held.end());
        held.erase(std::unique(held.begin(), held.end()), held.end());
        if (held.empty())
            continue;
        const std::string program = ReadFirstLine(process / "comm", 64).value_or("");
        for (std::string& node : held)
            found.Holders.push_back({pid, program, std::move(node)});
    }
    return found;
}

bool ProcHidesOtherUsers(const fs::path& mountinfo)
{
    constexpr std::size_t Limit = 1 << 20;
    const auto bytes = ReadBounded(mountinfo, Limit);
    if (!bytes || bytes->size() > Limit)
        return false;
    std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    while (!text.empty()) {
        const std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(text.size(), line.size() + 1));
        // "22 28 0:20 / /proc rw,nosuid - proc proc rw,hidepid=invisible": the mount
        // point is the fifth field; the file system, its source and its own options
        // follow the " - ".
        std::vector<std::string_view> fields;
        for (std::string_view rest = line; !rest.empty();) {
            const std::size_t space = rest.find(' ');
            fields.push_back(rest.substr(0, space));
            rest.remove_prefix(std::min(rest.size(), space == std::string_view::npos ? rest.size() : space + 1));
        }
        const auto dash = std::find(fields.begin(), fields.end(), "-");
        if (fields.size() < 5 || fields[4] != "/proc" || dash == fields.end() || fields.end() - dash < 4 ||
            dash[1] != "proc")
            continue;
        for (std::string_view options = dash[3]; !options.empty();) {
            const std::string_view option = options.substr(0, options.find(','));
            options.remove_prefix(std::min(options.size(), option.size() + 1));
            if (option == "hidepid=2" || option == "hidepid=invisible")
                return true;
        }
    }
    return false;
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
