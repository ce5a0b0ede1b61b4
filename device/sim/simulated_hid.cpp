#include "simulated_hid.h"

#include "board_identity.h"

#include <algorithm>
#include <thread>

namespace kx {

class SimulatedHandle final : public HidHandle {
public:
    SimulatedHandle(std::shared_ptr<SimulatedDevice> device) : Device(std::move(device)), Generation(Device->Generation)
    {
        Device->Handles.push_back(this);
        ++Device->OpensTotal;
    }

    ~SimulatedHandle() override
    {
        std::erase(Device->Handles, this);
        ++Device->ClosesTotal;
    }

    std::optional<std::vector<std::uint8_t>> ReportDescriptor() override
    {
        if (!Begin(SimulatedOperation::ReportDescriptor) || Device->DescriptorUnavailable)
            return std::nullopt;
        return Device->Descriptor;
    }

    int GetFeatureReport(std::span<std::uint8_t> buffer) override
    {
        if (!Begin(SimulatedOperation::GetFeature) || buffer.empty() || ConsumeFeatureFault())
            return -1;
        if (Device->FeatureAnswer)
            return std::min(Device->FeatureAnswer(buffer), static_cast<int>(buffer.size()));
        if (!Device->Board)
            return -1;
        return Device->Board->AnswerGetFeature(buffer);
    }

    int SetFeatureReport(std::span<const std::uint8_t> report) override
    {
        if (!Begin(SimulatedOperation::SetFeature) || report.empty() || ConsumeFeatureFault() || !Device->Board)
            return -1;
        if (Device->Board->TakeSetFeature(report) == BoardModel::Outcome::Rejected)
            return -1;
        return static_cast<int>(report.size());
    }

    std::optional<std::u16string> GetString(DeviceString which) override
    {
        if (!Begin(SimulatedOperation::GetString))
            return std::nullopt;
        if (Device->FailStringRequests > 0) {
            --Device->FailStringRequests;
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

private:
    bool Begin(SimulatedOperation operation)
    {
        if (Device->BeforeOperation)
            Device->BeforeOperation(operation);
        return Device->IsPlugged && Device->Generation == Generation;
    }

    bool ConsumeFeatureFault()
    {
        if (Device->FailFeatureRequests <= 0)
            return false;
        --Device->FailFeatureRequests;
        return true;
    }

    std::shared_ptr<SimulatedDevice> Device;
    int Generation;
    std::deque<std::vector<std::uint8_t>> Queue;
};

void SimulatedDevice::SendInputReport(std::span<const std::uint8_t> report)
{
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
SimulatedHidPlatform::~SimulatedHidPlatform() = default;

std::string SimulatedHidPlatform::NextPath()
{
    return "/dev/hidraw" + std::to_string(NextNode++);
}

SimulatedDevice& SimulatedHidPlatform::AddBoard(std::uint16_t productId, std::uint16_t versionNumber,
                                                BoardModel::FeatureLengths lengths)
{
    auto device = std::make_shared<SimulatedDevice>();
    device->Info = {NextPath(), BoardVendorID, productId, versionNumber};
    device->Descriptor = BoardModel::ReportDescriptor(lengths);
    device->Manufacturer = u"KX Motion";
    device->Product = u"KX5170 Wheel Controller";
    device->SerialNumber = u"KX5170-000123";
    device->Board = std::make_unique<BoardModel>(lengths);
    Devices.push_back(device);
    Changed = true;
    return *device;
}

SimulatedDevice& SimulatedHidPlatform::AddOtherInterface(std::uint16_t vendorId, std::uint16_t productId)
{
    auto device = std::make_shared<SimulatedDevice>();
    device->Info = {NextPath(), vendorId, productId, 0x0100};
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
    Changed = true;
    return *device;
}

void SimulatedHidPlatform::Unplug(SimulatedDevice& device)
{
    if (!device.IsPlugged)
        return;
    device.IsPlugged = false;
    ++device.Generation;
    Changed = true;
}

void SimulatedHidPlatform::PlugIn(SimulatedDevice& device)
{
    if (device.IsPlugged)
        return;
    device.IsPlugged = true;
    device.Info.Path = NextPath();
    Changed = true;
}

void SimulatedHidPlatform::SetAccess(SimulatedDevice& device, HidFailure refuse)
{
    device.RefuseOpen = refuse;
    Changed = true;
}

std::vector<HidInterfaceInfo> SimulatedHidPlatform::EnumerateInterfaces()
{
    ++Enumerations;
    std::vector<HidInterfaceInfo> present;
    for (const auto& device : Devices) {
        if (!device->IsPlugged)
            continue;
        present.push_back(device->Info);
        if (ListEveryInterfaceTwice)
            present.push_back(device->Info);
    }
    return present;
}

OpenResult SimulatedHidPlatform::Open(const std::string& path, OpenMode)
{
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
    auto found = std::find_if(Devices.begin(), Devices.end(),
                              [&](const auto& d) { return d->IsPlugged && d->Info.Path == path; });
    if (found == Devices.end() || (*found)->DescriptorUnavailable)
        return std::nullopt;
    return (*found)->Descriptor;
}

void SimulatedHidPlatform::Pause(std::chrono::milliseconds duration)
{
    Paused += duration;
    if (OnPause)
        OnPause(duration);
    if (RealPauses)
        std::this_thread::sleep_for(duration);
}

bool SimulatedHidPlatform::InterfacesMayHaveChanged()
{
    const bool changed = Changed && !ChangeEventsLost;
    Changed = false;
    return changed;
}

int SimulatedHidPlatform::OpenHandles() const
{
    int n = 0;
    for (const auto& device : Devices)
        n += device->OpenHandles();
    return n;
}

}  // namespace kx
