// Which device nodes belong to one board, and which other programs hold one open.
//
// A write resets the board. A game or driver that has any of the board's nodes open
// (its hidraw nodes, the event and joystick nodes the kernel made for its wheel, its
// hiddev node, or its USB device through usbfs) would lose the wheel under it, so a
// write first asks who holds them. A process's descriptor is matched by the device
// number of what it has open, never by the text of its link: a node made elsewhere (a
// container or sandbox with a /dev of its own) has another name but the same number.
// Everything is read from sysfs and /proc, whose roots are parameters so that tests can
// build fake trees; outside tests they are "/sys" and "/proc".
//
// The sysfs layout relied on, for a board on USB:
//   <sysfs>/class/hidraw/hidrawN/device    -> the HID device ("0003:6C1B:5E11.0005")
//   its parent                             the USB interface ("1-1.2:1.0"; has bInterfaceNumber)
//   that one's parent                      the USB device ("1-1.2"; has idVendor)
//   <HID device>/hidraw/hidrawN            its hidraw node
//   <HID device>/input/inputM/eventK, jsK  its input nodes
//   <USB interface>/usbmisc/hiddevN        its hiddev node (/dev/usb/hiddevN)
//   <USB device>/busnum, devnum            its usbfs node (/dev/bus/usb/BBB/DDD)
//   each node's directory holds "dev"      its device number, "major:minor"
// A HID device without a USB interface above it (one made through uhid) is a board of
// its own: its siblings are other devices.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// The device nodes the kernel made for one HID device directory (a resolved path under
// <sysfs>/devices): "/dev/hidrawN" for each hidraw/hidrawN, "/dev/input/eventK" and
// "/dev/input/jsK" for each input/inputM/eventK and jsK. Sorted; none when the
// directory cannot be read.
std::vector<std::string> HidDeviceNodes(const std::filesystem::path& hidDevice);

// One of a board's device nodes: its name under /dev and its device number, by which a
// process's descriptor is recognised.
struct BoardNode {
    std::string Path;  // "/dev/hidraw3"
    dev_t Device = 0;  // from sysfs, else from the node itself; 0 when neither tells it

    friend bool operator==(const BoardNode&, const BoardNode&) = default;
};

// Every device node of the physical board that hidraw node `node` ("hidraw3") belongs
// to, with its device number: HidDeviceNodes of each HID device on each interface of its
// USB device, with each interface's hiddev node and the USB device's usbfs node; or
// HidDeviceNodes of its own HID device when it has no USB device. Sorted by path, each
// once. Always holds "/dev/<node>" itself, even when sysfs knows nothing of it, so that
// a check of the result never checks less than the node to be written. Empty only when
// `node` is not a hidraw node name ("hidraw" and up to nine digits): nothing else is
// spliced into a path.
std::vector<BoardNode> BoardNodes(const std::filesystem::path& sysfsRoot, std::string_view node);

// A process that has one of the nodes open.
struct NodeHolder {
    int Pid = 0;
    std::string Program;  // /proc/PID/comm: at most 15 bytes, as the kernel keeps it; "" if unreadable
    std::string Node;     // which of the nodes asked about, as given

    friend bool operator==(const NodeHolder&, const NodeHolder&) = default;
};

// What a look through /proc found.
struct NodeHolders {
    std::vector<NodeHolder> Holders;
    // Processes whose descriptors could not be looked at: another user's (unless the
    // caller is root), a set-uid or non-dumpable program's, everyone's under hidepid=1.
    // Any of them may hold the board, so none is the answer only when this is 0.
    int Unchecked = 0;
};

// The processes under `procRoot` with a descriptor (/proc/PID/fd/N) open on a character
// device whose number is one of `nodes`' (a node whose number is 0 is matched by none),
// ordered by process ID and then node, one entry for each process and node however many
// descriptors it holds, naming the node as `nodes` does. Passed over: process `selfPid`
// (the caller's own handles are not in the way), and one that ended while it was read;
// counted in Unchecked: one whose descriptors could not be read.
NodeHolders FindNodeHolders(const std::filesystem::path& procRoot, std::span<const BoardNode> nodes, int selfPid);

// Whether the proc file system mounted at /proc hides other users' processes from
// this one altogether (hidepid=2, or "invisible"), as <mountinfo> (/proc/self/mountinfo)
// says: FindNodeHolders then cannot even count what it could not check.
bool ProcHidesOtherUsers(const std::filesystem::path& mountinfo);

// What tells one physical board from another across its reset, when its node name may
// change: from <sysfs>/class/hidraw/<node>/device/uevent, HID_UNIQ (the serial number
// the board reports, often empty) and HID_PHYS ("usb-0000:00:14.0-1.2/input0": the port
// and interface), and the sysfs name of its USB device ("1-1.2": the port path), empty
// when it has no USB device.
struct HidrawIdentity {
    std::string Uniq;
    std::string Phys;
    std::string UsbPort;

    friend bool operator==(const HidrawIdentity&, const HidrawIdentity&) = default;
};

// nullopt when `node` is not a hidraw node name or its uevent file cannot be read.
std::optional<HidrawIdentity> ReadHidrawIdentity(const std::filesystem::path& sysfsRoot, std::string_view node);

// Whether a directory name is a HID device's: "0003:6C1B:5E11.0005" (bus, vendor,
// product, the kernel's own count, four hex digits each).
bool IsHidDeviceName(std::string_view name);

// The USB device directory above a HID device directory, when there is one: the HID
// device's parent must have bInterfaceNumber and that one's parent idVendor.
std::optional<std::filesystem::path> UsbDeviceOf(const std::filesystem::path& hidDevice);

}  // namespace kx
