// What the program needs of the operating system's HID access, in its own terms.
//
// Two implementations exist: the hidapi backend used by the real program, and the
// simulated board used by the demo and the tests. Nothing above this seam knows which
// one it runs on.
#pragma once

#include "device_holder.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kx {

// Why an operation failed, kept up to the message the user reads.
enum class HidFailure {
    None,
    AccessDenied,  // the interface is there, but this user may not open it
    Gone,          // the interface has disappeared (unplugged, reset)
    Refused,       // the device answered, but refused the request (a stalled control transfer)
    TimedOut,      // the device did not answer in the time the operating system gives it
    Other,
};

// One HID interface as the platform's enumeration lists it. On Linux the enumeration
// carries the identity without opening anything, so a search never has to open an
// interface that is not the board.
struct HidInterfaceInfo {
    std::string Path;
    std::uint16_t VendorID = 0;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
    // What stays the same when the device resets and comes back under a new path: its
    // serial number as the enumeration gives it (UTF-8, empty when it has none), and
    // the port it is plugged into (empty when the platform cannot tell).
    std::string SerialNumber;
    std::string PhysicalPort;
};

enum class DeviceString { Manufacturer, Product, SerialNumber };

// A USB string descriptor holds at most 126 UTF-16 code units; longer answers are cut.
inline constexpr std::size_t MaxDeviceStringLength = 126;

// An open HID interface. The object owns the operating system's handle: destroying it
// closes the handle, exactly once. All calls are made from one thread.
class HidHandle {
public:
    virtual ~HidHandle() = default;
    HidHandle() = default;
    HidHandle(const HidHandle&) = delete;
    HidHandle& operator=(const HidHandle&) = delete;

    // The interface's report descriptor as the device sent it, or nullopt when the
    // platform cannot give it. The bytes are untrusted.
    virtual std::optional<std::vector<std::uint8_t>> ReportDescriptor() = 0;

    // Get a feature report. On entry buffer[0] holds the report ID; on return the
    // report fills the buffer from byte 0, report-ID byte first. Blocks until the
    // device answers. Returns the number of bytes received, report-ID byte included:
    // the report's own length, which is less than buffer.size() when the report is
    // shorter (nothing pads it) and never more, or -1 on failure. An empty buffer fails.
    virtual int GetFeatureReport(std::span<std::uint8_t> buffer) = 0;

    // Send a feature report; report[0] is the report ID. The device gets exactly
    // report.size() bytes, and may refuse a length that is not the report's own.
    // Blocks until sent. Returns the number of bytes sent, report-ID byte included,
    // or -1 on failure.
    virtual int SetFeatureReport(std::span<const std::uint8_t> report) = 0;

    // One of the interface's strings, as UTF-16 without terminator, at most
    // MaxDeviceStringLength code units. nullopt on failure; an empty string is a
    // successful answer.
    virtual std::optional<std::u16string> GetString(DeviceString which) = 0;

    // Take the oldest queued input report, never waiting. The report is delivered
    // report-ID byte first; for a device that numbers no reports a 0 is put in front.
    // Returns its length with the ID byte (a report longer than the buffer is cut to
    // buffer.size()), 0 when nothing is queued, or -1 when the handle is broken or the
    // device is gone.
    virtual int ReadInputReport(std::span<std::uint8_t> buffer) = 0;

    // Why the most recent call on this handle that failed did so: AccessDenied, Gone,
    // Refused, TimedOut or Other. Other where the platform cannot tell, and None
    // before any call has failed. A successful call does not change it.
    virtual HidFailure LastFailure() const { return HidFailure::Other; }
};

enum class OpenMode {
    Blocking,     // feature reports, strings
    NonBlocking,  // input reports: reads return at once
};

struct OpenResult {
    std::unique_ptr<HidHandle> Handle;  // null on failure
    HidFailure Failure = HidFailure::None;
};


class HidPlatform {
public:
    virtual ~HidPlatform() = default;

    // The HID interfaces present now, in the platform's order, each path once.
    virtual std::vector<HidInterfaceInfo> EnumerateInterfaces() = 0;

    // Open a path that EnumerateInterfaces returned, shared with other programs.
    virtual OpenResult Open(const std::string& path, OpenMode mode) = 0;

    // The report descriptor of a path that the most recent EnumerateInterfaces
    // returned, as the device sent it, read without opening the interface: it needs no
    // access to the interface and sends nothing to the device. nullopt when the
    // platform cannot give it that way, for any other path, or when the interface has
    // gone. The bytes are untrusted. A platform that cannot read descriptors without
    // opening always answers nullopt; the search then takes the first matching
    // interface.
    virtual std::optional<std::vector<std::uint8_t>> ReportDescriptor(const std::string& path)
    {
        (void)path;
        return std::nullopt;
    }

    // Pause the calling thread.
    virtual void Pause(std::chrono::milliseconds duration) = 0;

    // The other processes that hold open one of the nodes of the physical device that
    // `path` (from the most recent enumeration) belongs to: each of its HID interfaces'
    // nodes and every input node the system made for it, as far as this user may see.
    // This process is never among them. Empty when there are none, and when the
    // platform cannot tell.
    virtual std::vector<DeviceHolder> OtherHolders(const std::string& path)
    {
        (void)path;
        return {};
    }

    // OtherHolders, with the number of processes that could not be looked at (another
    // user's, a set-uid program's), or -1 when the system hides other users' processes
    // altogether and their number is unknown: any of them may hold the board, so an
    // empty list means "none" only when Unchecked is 0. A platform that cannot tell
    // answers OtherHolders and 0.
    struct HolderSearch {
        std::vector<DeviceHolder> Holders;
        int Unchecked = 0;
    };
    virtual HolderSearch CheckHolders(const std::string& path) { return {OtherHolders(path), 0}; }

    // The clock every wait of the program is measured on: it advances with Pause and
    // with the time a blocking request takes. The steady clock, unless a platform
    // keeps time of its own (the simulated board's pauses are instant).
    virtual std::chrono::steady_clock::time_point Now() const { return std::chrono::steady_clock::now(); }

    // False only when the platform knows for certain that no HID interface has
    // appeared, disappeared or changed its permissions since the last call. A
    // platform that cannot watch for changes always answers true. Lets a search that
    // runs every tick skip the enumeration while nothing happens.
    virtual bool InterfacesMayHaveChanged() { return true; }

    // A descriptor that becomes readable when InterfacesMayHaveChanged would answer
    // true, for a caller that would rather be woken than ask; -1 when the platform has
    // none. The platform owns it and keeps it open until the platform is destroyed,
    // so its number is never reused meanwhile. The answer can change only during a
    // call to InterfacesMayHaveChanged (when the platform stops watching it answers -1
    // from then on): a caller that watches the descriptor asks again after each such
    // call and stops watching a descriptor it no longer gets.
    virtual int ChangeNotificationFd() const { return -1; }
};

}  // namespace kx
