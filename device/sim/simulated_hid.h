// A simulated HID platform with KX5170 boards and other interfaces in it.
//
// Not a mock of calls: each device holds bytes and behaves as the firmware and the
// Linux kernel do. Reports need their right IDs and lengths, input reports queue per
// open handle as hidraw queues them (63 at most, the newest dropped when full), old
// handles fail after an unplug, and faults are injected one operation at a time.
// Every test builds its own platform; nothing is global.
#pragma once

#include "board_model.h"
#include "hid_platform.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kx {

class SimulatedHandle;
class SimulatedHidPlatform;

enum class SimulatedOperation { Open, ReportDescriptor, GetFeature, SetFeature, GetString, ReadInput };

class SimulatedDevice {
public:
    static constexpr std::size_t InputQueueLimit = 63;

    HidInterfaceInfo Info;                         // Path is given by the platform
    std::vector<std::uint8_t> Descriptor;          // handed over as the report descriptor
    std::optional<std::u16string> Manufacturer;    // nullopt: the request fails
    std::optional<std::u16string> Product;
    std::optional<std::u16string> SerialNumber;
    std::unique_ptr<BoardModel> Board;             // null for an interface that is not a board

    // Faults.
    HidFailure RefuseOpen = HidFailure::None;  // every open fails this way
    int RefuseOpensAfter = -1;                 // opens that succeed before RefuseOpen applies
    int FailStringRequests = 0;                // the next n string requests fail
    int FailFeatureRequests = 0;               // the next n feature requests (get or set) fail (refused)
    // Every feature and string request takes this long to answer, as a board that is
    // busy does (the pause is the platform's: instant in tests unless RealPauses); when
    // DelayedRequestsTimeOut, it then fails as the kernel gives up on it.
    std::chrono::milliseconds RequestDelay{0};
    bool DelayedRequestsTimeOut = false;
    // As a real board: goes away GoneAfter after its reset request (report 32) and
    // comes back Away later under a new node, its settings kept. Off: it stays.
    struct ResetTiming {
        std::chrono::milliseconds GoneAfter{200};
        std::chrono::milliseconds Away{1000};
    };
    std::optional<ResetTiming> Resets;
    // Other programs that hold the device's nodes open.
    std::vector<DeviceHolder> Holders;
    // The board takes its reset request, then the request ends in an error, as when
    // the board resets before the transfer has finished.
    bool ResetRequestEndsInError = false;
    // Cut to this many bytes: a set request that the transport cuts short.
    std::optional<int> SetFeatureSendsOnly;
    bool DescriptorUnavailable = false;
    // Replaces the board's answer to get requests: gets the buffer (ID first), returns
    // the count to report.
    std::function<int(std::span<std::uint8_t>)> FeatureAnswer;
    // Called before every operation on this device; a test can unplug it from here.
    std::function<void(SimulatedOperation)> BeforeOperation;

    // Queues an input report, report-ID byte first, on every open handle.
    void SendInputReport(std::span<const std::uint8_t> report);
    void SendPosition(std::int16_t position);

    bool Plugged() const { return IsPlugged; }
    // The port it is plugged into: kept across unplug and plug.
    std::string PhysicalPort;
    int OpenHandles() const { return static_cast<int>(Handles.size()); }
    int OpensTotal = 0;
    int ClosesTotal = 0;

private:
    friend class SimulatedHidPlatform;
    friend class SimulatedHandle;
    bool IsPlugged = true;
    int Generation = 0;  // bumped on unplug: handles from before fail
    std::vector<SimulatedHandle*> Handles;
    SimulatedHidPlatform* Platform = nullptr;
    int ResetsSeen = 0;  // reset requests already acted on
    std::optional<std::chrono::milliseconds> ResetAt;  // on the platform's clock
};

class SimulatedHidPlatform : public HidPlatform {
public:
    SimulatedHidPlatform();
    ~SimulatedHidPlatform() override;

    // A KX5170 board with factory settings and strings, and a descriptor that declares
    // its feature reports at the lengths it has (64 bytes each unless given).
    SimulatedDevice& AddBoard(std::uint16_t productId = 0x5E11, std::uint16_t versionNumber = 0x0307,
                              BoardModel::FeatureLengths lengths = {});
    // Some other HID interface: a keyboard, a mouse, another vendor's wheel.
    SimulatedDevice& AddOtherInterface(std::uint16_t vendorId, std::uint16_t productId);

    // Unplug: the interface disappears from the enumeration and its handles fail.
    // Plug in: it comes back under a new path, as hidraw gives a new node.
    void Unplug(SimulatedDevice& device);
    void PlugIn(SimulatedDevice& device);
    // The node's permissions change, as when udev grants or takes access: opens fail
    // as `refuse` says from now on, and the change is announced like a plug.
    void SetAccess(SimulatedDevice& device, HidFailure refuse);

    std::vector<HidInterfaceInfo> EnumerateInterfaces() override;
    OpenResult Open(const std::string& path, OpenMode mode) override;
    // The device's Descriptor, unless DescriptorUnavailable; for any path present.
    std::optional<std::vector<std::uint8_t>> ReportDescriptor(const std::string& path) override;
    void Pause(std::chrono::milliseconds duration) override;
    // The device's Holders, for a path present.
    std::vector<DeviceHolder> OtherHolders(const std::string& path) override;
    // OtherHolders, and UncheckedProcesses.
    HolderSearch CheckHolders(const std::string& path) override;
    // Time passes only through pauses (and delayed requests), unless RealPauses.
    std::chrono::steady_clock::time_point Now() const override;
    bool InterfacesMayHaveChanged() override;
    // From now on, an eventfd readable while a change waits to be taken, as the hidapi
    // backend's inotify descriptor is.
    void NotifyThroughDescriptor();
    int ChangeNotificationFd() const override;

    // Every call on the platform, its devices and its handles takes this lock, so that
    // a board sending reports from one thread can be read from another (the demo).
    std::recursive_mutex& Lock() const { return Mutex; }

    int OpenHandles() const;  // over every device

    int Enumerations = 0;
    std::vector<std::string> OpenedPaths;            // every open asked for, in order
    std::chrono::milliseconds Paused{0};             // sum of every pause
    std::chrono::milliseconds Elapsed{0};            // the clock: pauses and delayed requests
    bool RealPauses = false;                         // the demo waits for real
    std::function<void(std::chrono::milliseconds)> OnPause;
    bool ListEveryInterfaceTwice = false;            // a broken enumeration
    bool ChangeEventsLost = false;                   // plug and unplug are not announced
    int UncheckedProcesses = 0;                      // processes a look for holders cannot read

private:
    friend class SimulatedHandle;
    friend class SimulatedDevice;
    std::string NextPath();
    void AdvanceResets();  // boards whose reset time has come go away or come back
    void MarkChanged();
    int NotifyFd = -1;
    void Elapse(std::chrono::milliseconds duration);
    mutable std::recursive_mutex Mutex;
    std::chrono::steady_clock::time_point Started = std::chrono::steady_clock::now();
    int NextPort = 1;
    std::vector<std::shared_ptr<SimulatedDevice>> Devices;  // in enumeration order
    int NextNode = 0;
    bool Changed = true;
};

}  // namespace kx
