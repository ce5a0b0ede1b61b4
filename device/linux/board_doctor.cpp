#include "board_doctor.h"

#include "board_holders.h"
#include "board_identity.h"
#include "sysfs_text.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <system_error>

namespace kx {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view HidInterfaceClass = "03";

std::optional<std::uint16_t> ReadHex16(const fs::path& file)
{
    const auto line = ReadFirstLine(file, 16);
    return line ? ParseHex16(std::string_view(*line)) : std::nullopt;
}

UsbHidInterface ReadHidInterface(const fs::path& interface)
{
    UsbHidInterface found;
    found.Name = interface.filename().string();
    std::error_code ec;
    const fs::path driver = fs::read_symlink(interface / "driver", ec);
    if (!ec)
        found.Driver = driver.filename().string();
    for (const std::string& name : DirectoryNames(interface)) {
        if (!IsHidDeviceName(name))
            continue;
        for (std::string& node : HidDeviceNodes(interface / name))
            (node.starts_with("/dev/hidraw") ? found.HidrawNodes : found.InputNodes).push_back(std::move(node));
    }
    std::sort(found.HidrawNodes.begin(), found.HidrawNodes.end());
    std::sort(found.InputNodes.begin(), found.InputNodes.end());
    return found;
}

bool IsSessionId(std::string_view id)
{
    return !id.empty() && id.size() <= 64 && std::all_of(id.begin(), id.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

}  // namespace

std::vector<HidrawBoard> FindHidrawBoards(const fs::path& sysfsRoot)
{
    std::vector<HidrawBoard> boards;
    for (const std::string& name : DirectoryNames(sysfsRoot / "class" / "hidraw")) {
        if (!IsNumberedName(name, "hidraw"))
            continue;
        std::error_code ec;
        const fs::path device = fs::canonical(sysfsRoot / "class" / "hidraw" / name / "device", ec);
        const std::string hid = device.filename().string();
        if (ec || !IsHidDeviceName(hid))
            continue;
        const auto vendor = ParseHex16(std::string_view(hid).substr(5, 4));
        const auto product = ParseHex16(std::string_view(hid).substr(10, 4));
        if (!vendor || !product || !IsBoardIdentity(*vendor, *product))
            continue;
        const auto usb = UsbDeviceOf(device);
        boards.push_back({"/dev/" + name, *product, usb ? usb->filename().string() : std::string()});
    }
    std::sort(boards.begin(), boards.end(), [](const HidrawBoard& a, const HidrawBoard& b) { return a.Node < b.Node; });
    return boards;
}

std::vector<UsbBoard> FindUsbBoards(const fs::path& sysfsRoot)
{
    std::vector<UsbBoard> boards;
    const fs::path devices = sysfsRoot / "bus" / "usb" / "devices";
    for (const std::string& name : DirectoryNames(devices)) {
        const auto vendor = ReadHex16(devices / name / "idVendor");
        const auto product = ReadHex16(devices / name / "idProduct");
        if (!vendor || !product || !IsBoardIdentity(*vendor, *product))
            continue;
        UsbBoard board;
        board.Port = name;
        board.ProductID = *product;
        board.Version = ReadHex16(devices / name / "bcdDevice");
        board.SerialNumber = ReadFirstLine(devices / name / "serial", 1024).value_or("");
        for (const std::string& interface : DirectoryNames(devices / name))
            if (interface.starts_with(name + ':') &&
                ReadFirstLine(devices / name / interface / "bInterfaceClass", 16) == HidInterfaceClass)
                board.Interfaces.push_back(ReadHidInterface(devices / name / interface));
        boards.push_back(std::move(board));
    }
    return boards;
}

NodeAccess CheckNodeAccess(const fs::path& node)
{
    if (::access(node.c_str(), R_OK | W_OK) == 0)
        return NodeAccess::ReadWrite;
    return errno == ENOENT || errno == ENOTDIR ? NodeAccess::Missing : NodeAccess::Denied;
}

LoginSession ReadLoginSession(const fs::path& runRoot, std::string_view sessionId)
{
    if (!IsSessionId(sessionId))
        return {};
    constexpr std::size_t Limit = 16 * 1024;
    const auto bytes = ReadBounded(runRoot / "systemd" / "sessions" / std::string(sessionId), Limit);
    if (!bytes || bytes->size() > Limit)
        return {};

    std::map<std::string, std::string, std::less<>> keys;
    std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    while (!text.empty()) {
        const std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(text.size(), line.size() + 1));
        if (const std::size_t equals = line.find('='); equals != std::string_view::npos && !line.starts_with('#'))
            keys.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
    auto value = [&](std::string_view key) -> std::optional<std::string> {
        const auto it = keys.find(key);
        return it == keys.end() ? std::nullopt : std::optional(it->second);
    };

    LoginSession session;
    session.Seat = value("SEAT").value_or("");
    if (value("REMOTE") == "1")
        session.Kind = SessionKind::Remote;
    else if (session.Seat.empty())
        session.Kind = SessionKind::NoSeat;
    else if (value("ACTIVE") == "1")
        session.Kind = SessionKind::LocalActive;
    else if (value("ACTIVE") == "0")
        session.Kind = SessionKind::LocalInactive;
    return session;
}

}  // namespace kx
