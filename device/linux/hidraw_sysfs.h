// What the hidapi backend reads for itself on Linux, kept apart from hidapi so that it
// can be tested against a fake sysfs tree.
//
// hidapi 0.13 leaves two gaps: it cannot give a report descriptor, and for a device
// with no USB parent (a virtual device made through uhid) it reports version 0. The
// kernel knows both, under /sys/class/hidraw/<node>/device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// The kernel will not take a longer descriptor (HID_MAX_DESCRIPTOR_SIZE).
inline constexpr std::size_t MaxReportDescriptorSize = 4096;

// The node name of a hidraw device path: "/dev/hidraw3" gives "hidraw3". nullopt for
// any other path, so that no path an attacker controls is spliced into a sysfs path.
std::optional<std::string> HidrawNodeName(std::string_view devicePath);

// The device version the kernel holds for a hidraw node, read from
// <sysfsRoot>/class/hidraw/<node>/device/input/input*/id/version (hex text). nullopt
// when the node has no input device (nothing bound it as one) or the file is not a
// 16-bit hex number. sysfsRoot is "/sys" outside tests.
std::optional<std::uint16_t> ReadHidrawVersion(const std::filesystem::path& sysfsRoot,
                                               std::string_view node);

// The report descriptor of a hidraw node, read from
// <sysfsRoot>/class/hidraw/<node>/device/report_descriptor. nullopt when the file
// cannot be read or holds more than MaxReportDescriptorSize bytes.
std::optional<std::vector<std::uint8_t>> ReadHidrawReportDescriptor(
    const std::filesystem::path& sysfsRoot, std::string_view node);

// Where a hidraw node's device is plugged in, as HidInterfaceInfo::PhysicalPort gives
// it: for a device on USB, "usb:" and the sysfs name of the USB device above the node
// ("usb:1-1", or "usb:1-2.3" for port 3 of a hub on port 2 of bus 1), which stays the
// same when the board resets and comes back under another node; for a device with no
// USB parent (made through uhid), the HID_PHYS its creator gave. nullopt when the
// node's uevent cannot be read.
std::optional<std::string> ReadHidrawPort(const std::filesystem::path& sysfsRoot, std::string_view node);

}  // namespace kx
