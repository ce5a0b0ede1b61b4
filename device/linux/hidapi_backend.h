// The real HID platform, on hidapi's hidraw backend (hidapi 0.13 or later, Linux).
//
// What each call of the platform does here:
//
// EnumerateInterfaces
//     Every hidraw interface present, in hidapi's order, each path once (hidapi lists
//     a device once for every top-level collection, all with the same path). When
//     hidapi gives version 0, which it does for a device with no USB parent, the
//     version the kernel holds for the node is used instead, if it has one. The paths
//     returned are remembered until the next enumeration.
//
// Open(path, mode)
//     Opens only a path that the most recent enumeration returned; any other path
//     fails with HidFailure::Other without reaching hidapi. On failure, AccessDenied
//     when the user may not open the node, Gone when the node no longer exists, Other
//     otherwise. The report descriptor is read once here to learn whether the device
//     numbers its reports; when it cannot be read or parsed, the reports are taken to
//     be numbered and input reports are delivered as the kernel gives them.
//
// ReportDescriptor(path)
//     For a path that the most recent enumeration returned, the descriptor the kernel
//     holds for the node in sysfs (at most 4096 bytes), which any user may read; the
//     node itself is not opened. nullopt for any other path, when the node has gone,
//     or off Linux.
//
// Pause(duration)
//     Sleeps the calling thread.
//
// InterfacesMayHaveChanged
//     Asks the hidraw watcher on /dev (hidraw_watcher.h), never waiting: false when no
//     hidraw node has been created, deleted, renamed or had its attributes changed
//     since the previous call; true when one has, on the first call, and on every
//     call once the watch could not be set up or has been lost. Off Linux, always
//     true.
//
// ChangeNotificationFd
//     The watcher's inotify descriptor, readable when a change waits to be taken; -1
//     when the watch could not be set up, and from the call of InterfacesMayHaveChanged
//     that finds it lost. The descriptor stays open until the platform is destroyed,
//     even after the watch is lost, so its number is not reused under a caller still
//     watching it. Off Linux, -1.
//
// A handle:
//
// ReportDescriptor()
//     The descriptor the kernel holds for the node (at most 4096 bytes), or nullopt.
//
// GetFeatureReport(buffer) / SetFeatureReport(report)
//     Bytes transferred, report-ID byte included and never more than the buffer's
//     size, or -1 on failure. An empty buffer or report fails.
//
// GetString(which)
//     The string as UTF-16, at most MaxDeviceStringLength code units, or nullopt
//     when hidapi fails. Code points that UTF-16 cannot carry are dropped.
//
// ReadInputReport(buffer)
//     Never waits, in either open mode. Length delivered (ID byte included, a 0 put in
//     front for a device that numbers no reports), 0 when nothing is queued, -1 when
//     the handle is broken, the device is gone, or the buffer is empty.
#pragma once

#include "hid_platform.h"

#include <memory>

namespace kx {

// Initialises hidapi; the platform shuts it down again when destroyed. Make one at a
// time: hidapi's state is process-wide, and every handle must be destroyed before the
// platform is.
std::unique_ptr<HidPlatform> MakeHidapiPlatform();

}  // namespace kx
