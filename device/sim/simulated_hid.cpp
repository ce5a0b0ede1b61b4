#include "simulated_hid.h"

#include "board_identity.h"
#include "wide_text.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace kx {

class SimulatedHandle final : public HidHandle {
public:
    SimulatedHandle(std::shared_ptr<SimulatedDevice> device) : Device(std::move(device)), Generation(Device->Generation)
    {
        // Made under the platform's lock, in Open.
        Device->Handles.push_back(this);
        ++Device->OpensTotal;
    }

    ~SimulatedHandle() override
    {
        const std::lock_guard lock(Device->Platform->Lock());
        std::erase(Device->Handles, this);
        ++Device->ClosesTotal;
    }

    std::optional<std::vector<std::uint8_t>> ReportDescriptor() override
    {
        const std::lock_guard lock(Device->Platform->Lock());
        if (!Begin(SimulatedOperation::ReportDescriptor) || Device->DescriptorUnavailable)
            return std::nullopt;
        return Device->Descriptor;
    }

    int GetFeatureReport(std::span<std::uint8_t> buffer) override
    {
        if (!Wait())
            return -1;
        const std::lock_guard lock(Device->Platform->Lock());
        if (!Begin(SimulatedOperation::GetFeature) || buffer.empty() || ConsumeFeatureFault())
            return -1;
        if (Device->FeatureAnswer)
            return std::min(Device->FeatureAnswer(buffer), static_cast<int>(buffer.size()));
        if (!Device->Board)
            return Fail(HidFailure::Refused);
        const bool resetRequest = buffer[0] == ResetReportID;
        const int n = Device->Board->AnswerGetFeature(buffer);
        if (n >= 0 && resetRequest && Device->ResetRequestEndsInError)
            return Fail(HidFailure::Other);
        return n < 0 ? Fail(HidFailure::Refused) : n;
    }

    int SetFeatureReport(std::span<const std::uint8_t> report) override
    {
        if (!Wait())
            return -1;
        const std::lock_guard lock(Device->Platform->Lock());
        if (!Begin(SimulatedOperation::SetFeature) || report.empty() || ConsumeFeatureFault() || !Device->Board)
            return Failure == HidFailure::None ? Fail(HidFailure::Refused) : -1;
        // The transport sent only part of it: the board sees a report of the wrong length.
        if (Device->SetFeatureSendsOnly && *Device->SetFeatureSendsOnly < static_cast<int>(report.size())) {
            const auto cut = report.first(static_cast<std::size_t>(std::max(*Device->SetFeatureSendsOnly, 0)));
            if (!cut.empty())
                Device->Board->TakeSetFeature(cut);
            return static_cast<int>(cut.size());
        }
        if (Device->Board->TakeSetFeature(report) == BoardModel::Outcome::Rejected)
            return Fail(HidFailure::Refused);
        return static_cast<int>(report.size());
    }

    std::optional<std::u16string> GetString(DeviceString which) override
    {
        if (!Wait())
            return std::nullopt;
        const std::lock_guard lock(Device->Platform->Lock());
        if (!Begin(SimulatedOperation::GetString))
            return std::nullopt;
        if (Device->FailStringRequests > 0) {
            --Device->FailStringRequests;
            Failure = HidFailure::Refused;
            return std::nullopt;
        }
        const std::optional<std::u16string>& held = which == DeviceString::Manufacturer ? Device->Manufacturer
                                                    : which == DeviceString::Product    ? Device->Product
                                                                                       : Device->SerialNumber;
        if (!held)
            return std::nullopt;
        // As a USB string descriptor: up to the first NUL, at most 126 code units.
        std::u16string text = held->substr(0, held->find(u'\0'));
        if (text.size() > MaxDeviceStringLength)
            text.resize(MaxDeviceStringLength);
        return text;
    }

    int ReadInputReport(std::span<std::uint8_t> buffer) override
    {
        const std::lock_guard lock(Device->Platform->Lock());
        if (!Begin(SimulatedOperation::ReadInput))
            return -1;
        if (Queue.empty())
            return 0;
        const std::vector<std::uint8_t> report = std::move(Queue.front());
        Queue.pop_front();
        const std::size_t n = std::min(report.size(), buffer.size());
        std::copy_n(report.begin(), n, buffer.begin());
        return static_cast<int>(n);
    }

    void Enqueue(std::span<const std::uint8_t> report)
    {
        // hidraw throws the newest report away when a reader falls behind.
        if (Queue.size() < SimulatedDevice::InputQueueLimit)
            Queue.emplace_back(report.begin(), report.end());
    }

    HidFailure LastFailure() const override { return Failure; }

private:
    bool Begin(SimulatedOperation operation)
    {
        Failure = HidFailure::None;
        if (Device->BeforeOperation)
            Device->BeforeOperation(operation);
        Device->Platform->AdvanceResets();
        if (Device->IsPlugged && Device->Generation == Generation)
            return true;
        Failure = HidFailure::Gone;
        return false;
    }

    // A busy board answers late; the platform's lock is not held meanwhile, so that the
    // board can go on sending reports from another thread.
    bool Wait()
    {
        std::chrono::milliseconds delay;
        bool timesOut;
        {
            const std::lock_guard lock(Device->Platform->Lock());
            delay = Device->RequestDelay;
            timesOut = Device->DelayedRequestsTimeOut;
        }
        if (delay.count() <= 0)
            return true;
        Device->Platform->Elapse(delay);
        if (!timesOut)
            return true;
        Failure = HidFailure::TimedOut;
        return false;
    }

    bool ConsumeFeatureFault()
    {
        if (Device->FailFeatureRequests <= 0)
            return false;
        --Device->FailFeatureRequests;
        Failure = HidFailure::Refused;
        return true;
    }

    int Fail(HidFailure failure)
    {
        Failure = failure;
        return -1;
    }

    std::shared_ptr<SimulatedDevice> Device;
    int Generation;
    std::deque<std::vector<std::uint8_t>> Queue;
    HidFailure Failure = HidFailure::None;
};

void SimulatedDevice::SendInputReport(std::span<const std::uint8_t> report)
{
    const std::lock_guard lock(Platform->Lock());
    if (!IsPlugged)
        return;
    for (SimulatedHandle* handle : Handles)
        handle->Enqueue(report);
}

void SimulatedDevice::SendPosition(std::int16_t position)
{
    if (Board)
        SendInputReport(Board->MakeInputReport(position));
}

SimulatedHidPlatform::SimulatedHidPlatform() = default;

SimulatedHidPlatform::~SimulatedHidPlatform()
{
    if (NotifyFd >= 0)
        ::close(NotifyFd);
}

std::string SimulatedHidPlatform::NextPath()
{
    return "/dev/hidraw" + std::to_string(NextNode++);
}

SimulatedDevice& SimulatedHidPlatform::AddBoard(std::uint16_t productId, std::uint16_t versionNumber,
                                                BoardModel::FeatureLengths lengths)
{
    const std::lock_guard lock(Mutex);
    auto device = std::make_shared<SimulatedDevice>();
    device->Platform = this;
    device->PhysicalPort = "usb-sim-" + std::to_string(NextPort++);
    device->Info = {NextPath(), BoardVendorID, productId, versionNumber, "KX5170-000123", device->PhysicalPort};
    device->Descriptor = BoardModel::ReportDescriptor(lengths);
    device->Manufacturer = u"KX Motion";
    device->Product = u"KX5170 Wheel Controller";
    device->SerialNumber = u"KX5170-000123";
    device->Board = std::make_unique<BoardModel>(lengths);
    Devices.push_back(device);
    MarkChanged();
    return *device;
}

SimulatedDevice& SimulatedHidPlatform::AddOtherInterface(std::uint16_t vendorId, std::uint16_t productId)
{
    const std::lock_guard lock(Mutex);
    auto device = std::make_shared<SimulatedDevice>();
    device->Platform = this;
    device->PhysicalPort = "usb-sim-" + std::to_string(NextPort++);
    device->Info = {NextPath(), vendorId, productId, 0x0100, "", device->PhysicalPort};
    // A boot keyboard's descriptor: 8-byte input report, 1-byte LED output, no IDs.
    device->Descriptor = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15,
                          0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08,
                          0x81, 0x01, 0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91,
                          0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06, 0x75, 0x08, 0x15, 0x00,
                          0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};
    device->Manufacturer = u"Other vendor";
    device->Product = u"USB keyboard";
    device->SerialNumber = u"";
    Devices.push_back(device);
    MarkChanged();
    return *device;
}

void SimulatedHidPlatform::Unplug(SimulatedDevice& device)
{
    const std::lock_guard lock(Mutex);
    if (!device.IsPlugged)
        return;
    device.IsPlugged = false;
    ++device.Generation;
    MarkChanged();
}

void SimulatedHidPlatform::PlugIn(SimulatedDevice& device)
{
    const std::lock_guard lock(Mutex);
    if (device.IsPlugged)
        return;
    device.IsPlugged = true;
    device.Info.Path = NextPath();
    MarkChanged();
}

void SimulatedHidPlatform::SetAccess(SimulatedDevice& device, HidFailure refuse)
{
    const std::lock_guard lock(Mutex);
    device.RefuseOpen = refuse;
    MarkChanged();
}

std::vector<HidInterfaceInfo> SimulatedHidPlatform::EnumerateInterfaces()
{
    const std::lock_guard lock(Mutex);
    AdvanceResets();
    ++Enumerations;
    std::vector<HidInterfaceInfo> present;
    for (const auto& device : Devices) {
        if (!device->IsPlugged)
            continue;
        // The enumeration carries the serial number the board was given.
        device->Info.SerialNumber = device->SerialNumber ? Utf16ToUtf8(*device->SerialNumber) : std::string();
        device->Info.PhysicalPort = device->PhysicalPort;
        present.push_back(device->Info);
        if (ListEveryInterfaceTwice)
            present.push_back(device->Info);
    }
    return present;
}

OpenResult SimulatedHidPlatform::Open(const std::string& path, OpenMode)
{
    const std::lock_guard lock(Mutex);
    AdvanceResets();
    OpenedPaths.push_back(path);
    auto found = std::find_if(Devices.begin(), Devices.end(),
                              [&](const auto& d) { return d->IsPlugged && d->Info.Path == path; });
    if (found == Devices.end())
        return {nullptr, HidFailure::Gone};
    std::shared_ptr<SimulatedDevice> device = *found;
    if (device->BeforeOperation)
        device->BeforeOperation(SimulatedOperation::Open);
    if (!device->IsPlugged)
        return {nullptr, HidFailure::Gone};
    if (device->RefuseOpen != HidFailure::None) {
        if (device->RefuseOpensAfter <= 0)
            return {nullptr, device->RefuseOpen};
        --device->RefuseOpensAfter;
    }
    return {std::make_unique<SimulatedHandle>(device), HidFailure::None};
}

std::optional<std::vector<std::uint8_t>> SimulatedHidPlatform::ReportDescriptor(const std::string& path)
{
    const std::lock_guard lock(Mutex);
    auto found = std::find_if(Devices.begin(), Devices.end(),
                              [&](const auto& d) { return d->IsPlugged && d->Info.Path == path; });
    if (found == Devices.end() || (*found)->DescriptorUnavailable)
        return std::nullopt;
    return (*found)->Descriptor;
}

std::vector<DeviceHolder> SimulatedHidPlatform::OtherHolders(const std::string& path)
{
    const std::lock_guard lock(Mutex);
    for (const auto& device : Devices)
        if (device->IsPlugged && device->Info.Path == path)
            return device->Holders;
    return {};
}

HidPlatform::HolderSearch SimulatedHidPlatform::CheckHolders(const std::string& path)
{
    return {OtherHolders(path), UncheckedProcesses};
}

void SimulatedHidPlatform::Pause(std::chrono::milliseconds duration)
{
    {
        const std::lock_guard lock(Mutex);
        Paused += duration;
        if (OnPause)
            OnPause(duration);
    }
    Elapse(duration);
}

void SimulatedHidPlatform::Elapse(std::chrono::milliseconds duration)
{
    if (RealPauses) {
        std::this_thread::sleep_for(duration);
    } else {
        const std::lock_guard lock(Mutex);
        Elapsed += duration;
    }
    const std::lock_guard lock(Mutex);
    AdvanceResets();
}

std::chrono::steady_clock::time_point SimulatedHidPlatform::Now() const
{
    const std::lock_guard lock(Mutex);
    return RealPauses ? std::chrono::steady_clock::now() : Started + Elapsed;
}

void SimulatedHidPlatform::AdvanceResets()
{
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(Now() - Started);
    for (const auto& device : Devices) {
        if (!device->Resets || !device->Board)
            continue;
        if (!device->ResetAt && device->Board->ResetRequests > device->ResetsSeen) {
            device->ResetsSeen = device->Board->ResetRequests;
            device->ResetAt = now;
        }
        if (!device->ResetAt)
            continue;
        const auto since = now - *device->ResetAt;
        if (device->IsPlugged && since >= device->Resets->GoneAfter &&
            since < device->Resets->GoneAfter + device->Resets->Away) {
            Unplug(*device);
        } else if (since >= device->Resets->GoneAfter + device->Resets->Away) {
            PlugIn(*device);
            device->ResetAt.reset();
            device->ResetsSeen = device->Board->ResetRequests;
        }
    }
}

void SimulatedHidPlatform::MarkChanged()
{
    Changed = true;
    if (NotifyFd >= 0 && !ChangeEventsLost) {
        const std::uint64_t one = 1;
        (void)!::write(NotifyFd, &one, sizeof one);
    }
}

void SimulatedHidPlatform::NotifyThroughDescriptor()
{
    const std::lock_guard lock(Mutex);
    if (NotifyFd < 0)
        NotifyFd = ::eventfd(Changed ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
}

int SimulatedHidPlatform::ChangeNotificationFd() const
{
    const std::lock_guard lock(Mutex);
    return NotifyFd;
}

bool SimulatedHidPlatform::InterfacesMayHaveChanged()
{
    const std::lock_guard lock(Mutex);
    AdvanceResets();
    if (NotifyFd >= 0) {
        std::uint64_t count = 0;
        (void)!::read(NotifyFd, &count, sizeof count);
    }
    const bool changed = Changed && !ChangeEventsLost;
    Changed = false;
    return changed;
}

int SimulatedHidPlatform::OpenHandles() const
{
    const std::lock_guard lock(Mutex);
    int n = 0;
    for (const auto& device : Devices)
        n += device->OpenHandles();
    return n;
}

}  // namespace kx
