// What stands between this user and the board, looked at one piece at a time: whether
// the board is on the USB bus at all, what the kernel made of its HID interfaces, this
// user's access to a node, and whether this login is one the access rules reach.
// Plain reads of sysfs, /run and the file system; the roots are parameters so that tests
// can build fake trees ("/sys" and "/run" outside tests).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// One HID interface (interface class 3) of a board's USB device.
struct UsbHidInterface {
    std::string Name;                      // "1-1.2:1.0"
    std::string Driver;                    // the driver bound to it ("usbhid"); "" for none
    std::vector<std::string> HidrawNodes;  // "/dev/hidraw3", sorted
    std::vector<std::string> InputNodes;   // "/dev/input/event5", "/dev/input/js0", sorted
};

// A board as the USB bus lists it, whether or not the kernel made any node for it.
struct UsbBoard {
    std::string Port;  // the USB device's sysfs name: "1-1.2"
    std::uint16_t ProductID = 0;
    std::optional<std::uint16_t> Version;  // bcdDevice; nullopt when unreadable
    std::string SerialNumber;              // "" when the board gives none
    std::vector<UsbHidInterface> Interfaces;
};

// Every USB device under <sysfsRoot>/bus/usb/devices whose idVendor and idProduct (hex)
// are the board's (IsBoardIdentity), sorted by port, with each of its HID interfaces in
// name order and the nodes of the HID devices on them. A board with no HID interface, or
// one whose interface no driver took, is listed all the same: that is what the user needs
// to hear about.
std::vector<UsbBoard> FindUsbBoards(const std::filesystem::path& sysfsRoot);

// A board's hidraw node as the kernel lists it under <sysfsRoot>/class/hidraw: what the
// program opens, whether or not a USB device stands above it.
struct HidrawBoard {
    std::string Node;       // "/dev/hidraw3"
    std::uint16_t ProductID = 0;
    std::string UsbPort;    // the USB device's sysfs name ("1-1.2"); "" for a board with no
                            // USB parent (one made through uhid)
};

// Every hidraw node whose HID device carries the board's vendor and product (its name,
// "0003:6C1B:5E11.0005"), sorted by node.
std::vector<HidrawBoard> FindHidrawBoards(const std::filesystem::path& sysfsRoot);

enum class NodeAccess {
    ReadWrite,  // this user may open it for reading and writing
    Denied,     // it is there, but not for this user (or not for writing)
    Missing,    // no such node
};

// access(2) with read and write, which answers for the real user and group IDs:
// those of the person running the program. An ACL that udev granted counts.
NodeAccess CheckNodeAccess(const std::filesystem::path& node);

enum class SessionKind {
    LocalActive,    // at a seat, in front: the access rules give this session the board
    LocalInactive,  // at a seat, but switched away from: access goes to the session in front
    Remote,         // a remote login: the access rules never reach it
    NoSeat,         // not at a seat (a service, a container's shell): the rules do not reach it
    Unknown,        // no session ID, or the session's record could not be read
};

struct LoginSession {
    SessionKind Kind = SessionKind::Unknown;
    std::string Seat;  // "seat0", or ""
};

// The login session `sessionId` (the value of XDG_SESSION_ID; "" when unset) as systemd
// records it in <runRoot>/systemd/sessions/<sessionId>: REMOTE=1 is Remote; otherwise no
// SEAT= (or an empty one) is NoSeat; otherwise ACTIVE=1 is LocalActive, ACTIVE=0
// LocalInactive. Unknown when the ID is empty or holds anything but letters and digits,
// or the record cannot be read or says nothing of ACTIVE.
LoginSession ReadLoginSession(const std::filesystem::path& runRoot, std::string_view sessionId);

}  // namespace kx
