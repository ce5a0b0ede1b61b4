#include "hidapi_backend.h"

#include "report_descriptor.h"
#include "wide_text.h"

#if defined(__linux__)
#include "board_holders.h"
#include "hidraw_sysfs.h"
#include "hidraw_watcher.h"
#endif

#include <hidapi/hidapi.h>

#if defined(__linux__)
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <mutex>
#include <string_view>
#include <thread>
#include <unordered_set>

namespace kx {

namespace {

#if defined(__linux__)
const std::filesystem::path SysfsRoot = "/sys";
#endif

// Keeps every length handed to hidapi, and every length returned, inside an int.
constexpr std::size_t MaxTransfer = INT_MAX - 1;

// What errno says of a request that failed, as the kernel's hidraw driver sets it.
HidFailure FailureFromErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return HidFailure::AccessDenied;
    case ENODEV:
    case ENOENT:
    case ENXIO:
    case ESHUTDOWN:
        return HidFailure::Gone;
    case ETIMEDOUT:
        return HidFailure::TimedOut;
    case EPIPE:
    case EINVAL:
    case EPROTO:
    case EIO:
        return HidFailure::Refused;
    default:
        return HidFailure::Other;
    }
}

int Clamp(int result, std::size_t limit)
{
    if (result < 0)
        return -1;
    return static_cast<int>(std::min(static_cast<std::size_t>(result), limit));
}

class HidapiHandle final : public HidHandle {
public:
    HidapiHandle(hid_device* device, std::string path) : Device(device), Path(std::move(path))
    {
        // Without a descriptor there is no telling; delivering the bytes as the kernel
        // gives them at least never invents a report-ID byte.
        if (const auto descriptor = ReportDescriptor())
            if (const auto lengths = ParseReportDescriptor(*descriptor))
                Numbered = lengths->NumberedReports;
    }

    ~HidapiHandle() override { hid_close(Device); }

    std::optional<std::vector<std::uint8_t>> ReportDescriptor() override
    {
#if HID_API_VERSION >= HID_API_MAKE_VERSION(0, 14, 0)
        std::vector<std::uint8_t> bytes(MaxReportDescriptorSize);
        const int n = hid_get_report_descriptor(Device, bytes.data(), bytes.size());
        if (n < 0)
            return std::nullopt;
        bytes.resize(std::min(static_cast<std::size_t>(n), bytes.size()));
        return bytes;
#elif defined(__linux__)
        const auto node = HidrawNodeName(Path);
        if (!node)
            return std::nullopt;
        return ReadHidrawReportDescriptor(SysfsRoot, *node);
#else
        return std::nullopt;
#endif
    }

    int GetFeatureReport(std::span<std::uint8_t> buffer) override
    {
        if (buffer.empty())
            return Fail(HidFailure::Other);
        const std::size_t length = std::min(buffer.size(), MaxTransfer);
        errno = 0;
        return Noted(Clamp(hid_get_feature_report(Device, buffer.data(), length), length));
    }

    int SetFeatureReport(std::span<const std::uint8_t> report) override
    {
        if (report.empty() || report.size() > MaxTransfer)
            return Fail(HidFailure::Other);
        errno = 0;
        return Noted(Clamp(hid_send_feature_report(Device, report.data(), report.size()), report.size()));
    }

    HidFailure LastFailure() const override { return Failure; }

    std::optional<std::u16string> GetString(DeviceString which) override
    {
        std::array<wchar_t, MaxDeviceStringLength + 1> text{};
        int result = -1;
        errno = 0;
        switch (which) {
        case DeviceString::Manufacturer:
            result = hid_get_manufacturer_string(Device, text.data(), text.size());
            break;
        case DeviceString::Product:
            result = hid_get_product_string(Device, text.data(), text.size());
            break;
        case DeviceString::SerialNumber:
            result = hid_get_serial_number_string(Device, text.data(), text.size());
            break;
        }
        if (result < 0) {
            Failure = FailureFromErrno(errno);
            return std::nullopt;
        }
        // hidapi does not promise a terminator when the string fills the buffer.
        text.back() = 0;
        return WideToUtf16(std::wstring_view(text.data()), MaxDeviceStringLength);
    }

    int ReadInputReport(std::span<std::uint8_t> buffer) override
    {
        if (buffer.empty())
            return -1;
        const std::size_t length = std::min(buffer.size(), MaxTransfer);
        // A timeout of 0 never waits, whichever mode the handle was opened in.
        if (Numbered)
            return Clamp(hid_read_timeout(Device, buffer.data(), length, 0), length);

        // hidraw gives an unnumbered report without an ID byte; the ID slot is filled
        // with 0 here. A one-byte buffer still takes the report off the queue (the
        // kernel drops whatever does not fit), so one report is consumed per call.
        std::uint8_t scratch = 0;
        std::uint8_t* data = length >= 2 ? buffer.data() + 1 : &scratch;
        const std::size_t room = length >= 2 ? length - 1 : 1;
        const int n = hid_read_timeout(Device, data, room, 0);
        if (n <= 0)
            return n < 0 ? -1 : 0;
        buffer[0] = 0;
        return Clamp(n + 1, length);
    }

private:
    // hidapi keeps no reason of its own that outlives the call; errno, read at once, does.
    int Noted(int result)
    {
        if (result < 0)
            Failure = FailureFromErrno(errno);
        return result;
    }
    int Fail(HidFailure failure)
    {
        Failure = failure;
        return -1;
    }

    hid_device* const Device;
    const std::string Path;
    bool Numbered = true;
    HidFailure Failure = HidFailure::None;
};

// Learns why hid_open_path failed: hidapi does not say, but the node itself does.
HidFailure ClassifyOpenFailure([[maybe_unused]] const std::string& path)
{
#if !defined(__linux__)
    return HidFailure::Other;
#else
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return HidFailure::Other;
    }
    switch (errno) {
    case EACCES:
    case EPERM:
        return HidFailure::AccessDenied;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return HidFailure::Gone;
    default:
        return HidFailure::Other;
    }
#endif
}

class HidapiPlatform final : public HidPlatform {
public:
    // hid_init fails only when the process cannot set a locale; hidapi retries it on
    // every enumeration, so a failure here is not final.
    HidapiPlatform() { hid_init(); }
    ~HidapiPlatform() override { hid_exit(); }

    std::vector<HidInterfaceInfo> EnumerateInterfaces() override
    {
        std::vector<HidInterfaceInfo> interfaces;
        std::unordered_set<std::string> seen;
        hid_device_info* const list = hid_enumerate(0, 0);
        for (const hid_device_info* entry = list; entry; entry = entry->next) {
            if (!entry->path || !seen.insert(entry->path).second)
                continue;
            HidInterfaceInfo info;
            info.Path = entry->path;
            info.VendorID = entry->vendor_id;
            info.ProductID = entry->product_id;
            info.VersionNumber = entry->release_number;
            if (entry->serial_number)
                info.SerialNumber = Utf16ToUtf8(WideToUtf16(std::wstring_view(entry->serial_number), MaxDeviceStringLength));
#if defined(__linux__)
            if (const auto node = HidrawNodeName(info.Path)) {
                if (info.VersionNumber == 0)
                    info.VersionNumber = ReadHidrawVersion(SysfsRoot, *node).value_or(0);
                info.PhysicalPort = ReadHidrawPort(SysfsRoot, *node).value_or("");
            }
#endif
            interfaces.push_back(std::move(info));
        }
        hid_free_enumeration(list);

        const std::lock_guard lock(KnownPathsMutex);
        KnownPaths = std::move(seen);
        return interfaces;
    }

    OpenResult Open(const std::string& path, OpenMode mode) override
    {
        {
            // hidapi 0.13 mishandles a path that is not a hidraw node, so only paths it
            // listed itself are passed on.
            const std::lock_guard lock(KnownPathsMutex);
            if (!KnownPaths.contains(path))
                return {nullptr, HidFailure::Other};
        }
        hid_device* const device = hid_open_path(path.c_str());
        if (!device)
            return {nullptr, ClassifyOpenFailure(path)};
        if (mode == OpenMode::NonBlocking && hid_set_nonblocking(device, 1) != 0) {
            hid_close(device);
            return {nullptr, HidFailure::Other};
        }
        return {std::make_unique<HidapiHandle>(device, path), HidFailure::None};
    }

    std::optional<std::vector<std::uint8_t>> ReportDescriptor(const std::string& path) override
    {
        {
            const std::lock_guard lock(KnownPathsMutex);
            if (!KnownPaths.contains(path))
                return std::nullopt;
        }
#if defined(__linux__)
        // sysfs lets every user read it, also before udev has granted access to the node.
        if (const auto node = HidrawNodeName(path))
            return ReadHidrawReportDescriptor(SysfsRoot, *node);
#endif
        return std::nullopt;
    }

    void Pause(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }

#if defined(__linux__)
    std::vector<DeviceHolder> OtherHolders(const std::string& path) override { return CheckHolders(path).Holders; }

    HolderSearch CheckHolders(const std::string& path) override
    {
        const auto node = HidrawNodeName(path);
        if (!node)
            return {};
        const std::vector<BoardNode> nodes = BoardNodes(SysfsRoot, *node);
        const NodeHolders found = FindNodeHolders("/proc", nodes, static_cast<int>(::getpid()));
        HolderSearch search{{}, found.Unchecked};
        if (search.Unchecked == 0 && ::geteuid() != 0 && ProcHidesOtherUsers("/proc/self/mountinfo"))
            search.Unchecked = -1;
        for (const NodeHolder& holder : found.Holders)
            search.Holders.push_back({holder.Pid, holder.Program, holder.Node});
        return search;
    }
#endif

    // hidapi lists what sysfs holds; the nodes in /dev change with it, and also when
    // udev grants the user access, which is when a search can open what it finds.
#if defined(__linux__)
    bool InterfacesMayHaveChanged() override { return Watcher.ChangedSinceLastCall(); }
    int ChangeNotificationFd() const override { return Watcher.Descriptor(); }
#endif

private:
#if defined(__linux__)
    HidrawWatcher Watcher;
#endif
    std::mutex KnownPathsMutex;
    std::unordered_set<std::string> KnownPaths;
};

}  // namespace

std::unique_ptr<HidPlatform> MakeHidapiPlatform()
{
    return std::make_unique<HidapiPlatform>();
}

const char* HidapiVersionText()
{
    return hid_version_str();
}

}  // namespace kx
