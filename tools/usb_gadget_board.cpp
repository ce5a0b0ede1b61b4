#include "usb_gadget_board.h"

#include <linux/aio_abi.h>
#include <linux/usb/ch9.h>
#include <linux/usb/functionfs.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace kx {

namespace {

namespace fs = std::filesystem;

const fs::path GadgetRoot = "/sys/kernel/config/usb_gadget";
const fs::path UdcClass = "/sys/class/udc";

constexpr std::uint8_t HidDescriptorType = 0x21;
constexpr std::uint8_t ReportDescriptorType = 0x22;
constexpr std::uint8_t HidGetReport = 0x01, HidGetIdle = 0x02, HidGetProtocol = 0x03;
constexpr std::uint8_t HidSetReport = 0x09, HidSetIdle = 0x0A, HidSetProtocol = 0x0B;
constexpr std::uint8_t InputReportType = 1, OutputReportType = 2, FeatureReportType = 3;
// Reports waiting for the host to poll the endpoint: it polls only while the node is
// open, and a board keeps no more than its newest few.
constexpr std::size_t MaxPendingInput = 16;

std::string ErrnoText(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

std::string Hex4(std::uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}

// configfs takes one write per attribute.
std::optional<std::string> WriteAttribute(const fs::path& file, const std::string& text)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return ErrnoText(file.string());
    const ssize_t n = ::write(fd, text.data(), text.size());
    const int error = errno;
    ::close(fd);
    if (n != static_cast<ssize_t>(text.size())) {
        errno = n < 0 ? error : EIO;
        return ErrnoText(file.string());
    }
    return std::nullopt;
}

std::string ReadAttribute(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

void PutLe16(std::vector<std::uint8_t>& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutLe32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void SetLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> HidDescriptor(std::size_t reportDescriptorLength)
{
    std::vector<std::uint8_t> d{9, HidDescriptorType};
    PutLe16(d, 0x0111);  // HID 1.11
    d.push_back(0);      // no country
    d.push_back(1);      // one class descriptor follows: the report descriptor
    d.push_back(ReportDescriptorType);
    PutLe16(d, static_cast<std::uint16_t>(reportDescriptorLength));
    return d;
}

// The interface, its HID descriptor and the interrupt IN endpoint, once per speed.
// The endpoint's interval is 1 ms at both speeds (high speed counts 2^(n-1)
// microframes), so the board can send its 1000 reports a second.
std::vector<std::uint8_t> FunctionDescriptors(std::size_t reportDescriptorLength)
{
    std::vector<std::uint8_t> bytes;
    PutLe32(bytes, FUNCTIONFS_DESCRIPTORS_MAGIC_V2);
    PutLe32(bytes, 0);  // the length, set below
    PutLe32(bytes, FUNCTIONFS_HAS_FS_DESC | FUNCTIONFS_HAS_HS_DESC);
    PutLe32(bytes, 3);  // full-speed descriptors
    PutLe32(bytes, 3);  // high-speed descriptors
    for (const std::uint8_t interval : {1, 4}) {
        const std::uint8_t interface[] = {9, USB_DT_INTERFACE, 0, 0, 1, USB_CLASS_HID, 0, 0, 0};
        bytes.insert(bytes.end(), std::begin(interface), std::end(interface));
        const auto hid = HidDescriptor(reportDescriptorLength);
        bytes.insert(bytes.end(), hid.begin(), hid.end());
        const std::uint8_t endpoint[] = {7, USB_DT_ENDPOINT, 0x81, USB_ENDPOINT_XFER_INT, 64, 0, interval};
        bytes.insert(bytes.end(), std::begin(endpoint), std::end(endpoint));
    }
    SetLe32(bytes, 4, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

std::vector<std::uint8_t> NoStrings()
{
    std::vector<std::uint8_t> bytes;
    PutLe32(bytes, FUNCTIONFS_STRINGS_MAGIC);
    PutLe32(bytes, 16);
    PutLe32(bytes, 0);  // strings per language
    PutLe32(bytes, 0);  // languages
    return bytes;
}

std::optional<std::string> WriteAll(int fd, const std::vector<std::uint8_t>& bytes, const char* what)
{
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        return ErrnoText(what);
    return std::nullopt;
}

// The UDCs some gadget is bound to.
std::vector<std::string> UdcsInUse()
{
    std::vector<std::string> used;
    std::error_code ec;
    for (const auto& gadget : fs::directory_iterator(GadgetRoot, ec))
        if (const std::string udc = ReadAttribute(gadget.path() / "UDC"); !udc.empty())
            used.push_back(udc);
    return used;
}

constexpr std::string_view NamePrefix = "kx5170vb";

std::string MountDirOf(const std::string& name)
{
    return "/run/kx5170-virtual-board-" + name;
}

// A board that was killed leaves its gadget bound, with no program behind its function:
// the host keeps a device that refuses every request, and the controller stays taken.
// Such gadgets, named after a process that is gone, are taken down.
void RemoveDeadBoards()
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(GadgetRoot, ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(NamePrefix))
            continue;
        const std::string pid = name.substr(NamePrefix.size());
        if (pid.empty() || fs::exists("/proc/" + pid, ec))
            continue;
        const fs::path gadget = entry.path();
        WriteAttribute(gadget / "UDC", "\n");
        ::umount2(MountDirOf(name).c_str(), MNT_DETACH);
        ::rmdir(MountDirOf(name).c_str());
        ::unlink((gadget / "configs" / "c.1" / ("ffs." + name)).c_str());
        for (const fs::path& dir : {gadget / "configs" / "c.1", gadget / "functions" / ("ffs." + name),
                                   gadget / "strings" / "0x409", gadget})
            ::rmdir(dir.c_str());
    }
}

}  // namespace

UsbGadgetBoard::UsbGadgetBoard(BoardModel& model, VirtualBoardIdentity identity, std::string udc)
    : BoardTransport(model, std::move(identity)), UdcName(std::move(udc)), Name(std::string(NamePrefix) + std::to_string(::getpid()))
{
}

UsbGadgetBoard::~UsbGadgetBoard()
{
    Destroy();
    for (auto step = Undo.rbegin(); step != Undo.rend(); ++step)
        (*step)();
}

std::optional<std::string> UsbGadgetBoard::Open()
{
    std::error_code ec;
    if (!fs::is_directory(GadgetRoot, ec))
        return GadgetRoot.string() + " is missing (mount configfs there and load libcomposite and usb_f_fs)";
    RemoveDeadBoards();
    if (UdcName.empty()) {
        const std::vector<std::string> used = UdcsInUse();
        std::vector<std::string> free;
        for (const auto& udc : fs::directory_iterator(UdcClass, ec))
            if (std::find(used.begin(), used.end(), udc.path().filename().string()) == used.end())
                free.push_back(udc.path().filename().string());
        std::sort(free.begin(), free.end());
        if (free.empty())
            return "no free USB device controller in " + UdcClass.string() + " (load dummy_hcd)";
        UdcName = free.front();
    } else if (!fs::exists(UdcClass / UdcName, ec)) {
        return "no USB device controller " + UdcName + " in " + UdcClass.string();
    }

    const auto makeDir = [this](const fs::path& dir) -> std::optional<std::string> {
        if (::mkdir(dir.c_str(), 0755) != 0)
            return ErrnoText(dir.string());
        Undo.push_back([dir] { ::rmdir(dir.c_str()); });
        return std::nullopt;
    };
    GadgetDir = GadgetRoot / Name;
    const fs::path strings = GadgetDir / "strings" / "0x409";
    const fs::path config = GadgetDir / "configs" / "c.1";
    const fs::path function = GadgetDir / "functions" / ("ffs." + Name);
    const std::vector<uint8_t> descriptor = Identity.ReportDescriptor.empty()
                                                ? BoardModel::ReportDescriptor(Model.Lengths)
                                                : Identity.ReportDescriptor;
    for (const auto& step : std::initializer_list<std::function<std::optional<std::string>()>>{
             [&] { return makeDir(GadgetDir); },
             [&] { return WriteAttribute(GadgetDir / "idVendor", Hex4(Identity.VendorID)); },
             [&] { return WriteAttribute(GadgetDir / "idProduct", Hex4(Identity.ProductID)); },
             [&] { return WriteAttribute(GadgetDir / "bcdDevice", Hex4(Identity.VersionNumber)); },
             [&] { return WriteAttribute(GadgetDir / "bcdUSB", "0x0200"); },
             [&] { return makeDir(strings); },
             [&] { return WriteAttribute(strings / "manufacturer", Identity.Manufacturer); },
             [&] { return WriteAttribute(strings / "product", Identity.Name); },
             [&] { return WriteAttribute(strings / "serialnumber", Identity.Serial); },
             [&] { return makeDir(config); },
             [&] { return WriteAttribute(config / "MaxPower", "100"); },
             [&] { return makeDir(function); },
             [&]() -> std::optional<std::string> {
                 const fs::path link = config / ("ffs." + Name);
                 if (::symlink(function.c_str(), link.c_str()) != 0)
                     return ErrnoText(link.string());
                 Undo.push_back([link] { ::unlink(link.c_str()); });
                 return std::nullopt;
             },
             [&] { MountDir = MountDirOf(Name); return makeDir(MountDir); },
             [&]() -> std::optional<std::string> {
                 if (::mount(Name.c_str(), MountDir.c_str(), "functionfs", 0, nullptr) != 0)
                     return ErrnoText("mount -t functionfs " + Name);
                 Undo.push_back([dir = MountDir] { ::umount2(dir.c_str(), MNT_DETACH); });
                 return std::nullopt;
             },
             [&]() -> std::optional<std::string> {
                 Ep0 = ::open((MountDir / "ep0").c_str(), O_RDWR | O_CLOEXEC);
                 if (Ep0 < 0)
                     return ErrnoText("ep0");
                 Undo.push_back([this] { ::close(Ep0); Ep0 = -1; });
                 if (auto error = WriteAll(Ep0, FunctionDescriptors(descriptor.size()), "the descriptors"))
                     return error;
                 return WriteAll(Ep0, NoStrings(), "the strings");
             },
             [&]() -> std::optional<std::string> {
                 // Input reports go out asynchronously: the host polls the endpoint only
                 // while someone has the node open, and the board must not wait for it.
                 Ep1 = ::open((MountDir / "ep1").c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
                 if (Ep1 < 0)
                     return ErrnoText("ep1");
                 Undo.push_back([this] { ::close(Ep1); Ep1 = -1; });
                 if (::syscall(__NR_io_setup, 4, &AioContext) != 0)
                     return ErrnoText("io_setup");
                 Undo.push_back([this] { ::syscall(__NR_io_destroy, AioContext); });
                 InputDone = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
                 GiveUpTimer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
                 PollFd = ::epoll_create1(EPOLL_CLOEXEC);
                 if (InputDone < 0 || GiveUpTimer < 0 || PollFd < 0)
                     return ErrnoText("eventfd");
                 Undo.push_back([this] { ::close(InputDone); ::close(GiveUpTimer); ::close(PollFd); });
                 for (const int fd : {Ep0, InputDone, GiveUpTimer}) {
                     epoll_event e{EPOLLIN, {.fd = fd}};
                     if (::epoll_ctl(PollFd, EPOLL_CTL_ADD, fd, &e) != 0)
                         return ErrnoText("epoll_ctl");
                 }
                 return std::nullopt;
             },
         }) {
        if (auto error = step())
            return error;
    }
    return std::nullopt;
}

std::optional<std::string> UsbGadgetBoard::Create()
{
    if (IsBound)
        return std::nullopt;
    if (auto error = WriteAttribute(GadgetDir / "UDC", UdcName))
        return error;
    IsBound = true;
    return std::nullopt;
}

std::optional<std::string> UsbGadgetBoard::Destroy()
{
    if (!IsBound)
        return std::nullopt;
    IsBound = false;
    IsEnabled = false;
    PendingInput.clear();
    // The unbind disables the endpoint, which ends a transfer in flight with an error.
    return WriteAttribute(GadgetDir / "UDC", "\n");
}

std::optional<std::string> UsbGadgetBoard::SetSerial(const std::string& serial)
{
    BoardTransport::SetSerial(serial);
    return WriteAttribute(GadgetDir / "strings" / "0x409" / "serialnumber", serial);
}

void UsbGadgetBoard::LeaveUnanswered(bool in)
{
    Trace("left unanswered");
    UnansweredIn = in;
    ::epoll_ctl(PollFd, EPOLL_CTL_DEL, Ep0, nullptr);
    // Well after the host's time-out, which a busy machine (an emulated one above all)
    // can fire late: ended any sooner, the request would be stalled under the host's
    // eyes, a refusal instead of a time-out. A request the host sends meanwhile waits
    // for that long, well within its own 5 s.
    constexpr auto giveUp = HostRequestTimeout + std::chrono::milliseconds(2000);
    itimerspec when{};
    when.it_value.tv_sec = giveUp.count() / 1000;
    when.it_value.tv_nsec = giveUp.count() % 1000 * 1'000'000;
    ::timerfd_settime(GiveUpTimer, 0, &when, nullptr);
}

// The host has given up on the request: I/O in the wrong direction ends it on this
// side too (or fails with EIDRM when the host's next request has replaced it).
void UsbGadgetBoard::DropUnanswered()
{
    std::uint64_t expirations = 0;
    (void)!::read(GiveUpTimer, &expirations, sizeof expirations);
    if (!UnansweredIn)
        return;
    Trace("given up");
    std::uint8_t none = 0;
    if (*UnansweredIn)
        (void)!::read(Ep0, &none, 0);
    else
        (void)!::write(Ep0, &none, 0);
    UnansweredIn.reset();
    epoll_event e{EPOLLIN, {.fd = Ep0}};
    ::epoll_ctl(PollFd, EPOLL_CTL_ADD, Ep0, &e);
}

bool UsbGadgetBoard::HandleEvent()
{
    pollfd fds[3] = {{Ep0, POLLIN, 0}, {InputDone, POLLIN, 0}, {GiveUpTimer, POLLIN, 0}};
    if (::poll(fds, 3, 0) <= 0)
        return true;
    if (fds[1].revents & POLLIN)
        ReapInput();
    if (fds[2].revents & POLLIN) {
        // ep0 read as readable because the request was pending: now that it is not,
        // a read would wait for an event.
        DropUnanswered();
        return true;
    }
    if (UnansweredIn || !(fds[0].revents & POLLIN))
        return true;

    usb_functionfs_event event{};
    const ssize_t n = ::read(Ep0, &event, sizeof event);
    if (n < 0)
        // EIDRM: the host sent another request before this side answered the last.
        // EL2HLT: a request was stalled. Neither ends the board.
        return errno == EAGAIN || errno == EINTR || errno == EIDRM || errno == EL2HLT || errno == ESHUTDOWN;
    if (n != sizeof event)
        return true;
    switch (event.type) {
    case FUNCTIONFS_BIND:
        Trace("bind");
        break;
    case FUNCTIONFS_UNBIND:
        Trace("unbind");
        IsEnabled = false;
        break;
    case FUNCTIONFS_ENABLE:
        Trace("enable");
        IsEnabled = true;
        break;
    case FUNCTIONFS_DISABLE:
        Trace("disable");
        IsEnabled = false;
        break;
    case FUNCTIONFS_SUSPEND:
        Trace("suspend");
        break;
    case FUNCTIONFS_RESUME:
        Trace("resume");
        break;
    case FUNCTIONFS_SETUP:
        return HandleSetup(reinterpret_cast<const std::uint8_t*>(&event.u.setup));
    default:
        break;
    }
    return true;
}

// An IN answer is a write to ep0 and OUT data a read; I/O in the other direction
// stalls the request. Each blocks until the host has taken its part, which it is
// waiting to do.
bool UsbGadgetBoard::HandleSetup(const std::uint8_t* setup)
{
    const std::uint8_t requestType = setup[0];
    const std::uint8_t request = setup[1];
    const std::uint16_t value = static_cast<std::uint16_t>(setup[2] | setup[3] << 8);
    const std::uint16_t length = static_cast<std::uint16_t>(setup[6] | setup[7] << 8);
    const bool in = requestType & USB_DIR_IN;
    std::vector<std::uint8_t> buffer(length);
    if (OnTrace) {
        char text[64];
        std::snprintf(text, sizeof text, "setup %02x %02x %04x length %u", requestType, request, value, length);
        Trace(text);
    }
    const auto answer = [&](int size) {
        if (size < 0) {
            Trace("stall");
            // The wrong direction: the kernel stalls the request.
            std::uint8_t none = 0;
            if (in)
                (void)!::read(Ep0, &none, 0);
            else
                (void)!::write(Ep0, &none, 0);
            return;
        }
        if (in)
            (void)!::write(Ep0, buffer.data(), std::min<std::size_t>(std::size_t(size), length));
        else
            (void)!::read(Ep0, buffer.data(), 0);
    };
    const std::uint8_t reportType = value >> 8, reportId = value & 0xFF;

    if (requestType == (USB_DIR_IN | USB_TYPE_STANDARD | USB_RECIP_INTERFACE) && request == USB_REQ_GET_DESCRIPTOR) {
        std::vector<std::uint8_t> descriptor;
        if (reportType == ReportDescriptorType)
            descriptor = Identity.ReportDescriptor.empty() ? BoardModel::ReportDescriptor(Model.Lengths)
                                                           : Identity.ReportDescriptor;
        else if (reportType == HidDescriptorType)
            descriptor = HidDescriptor(Identity.ReportDescriptor.empty()
                                           ? BoardModel::ReportDescriptor(Model.Lengths).size()
                                           : Identity.ReportDescriptor.size());
        if (descriptor.empty()) {
            answer(-1);
            return true;
        }
        const std::size_t n = std::min(descriptor.size(), buffer.size());
        std::copy_n(descriptor.begin(), n, buffer.begin());
        answer(static_cast<int>(n));
        return true;
    }
    if (requestType == (USB_DIR_IN | USB_TYPE_CLASS | USB_RECIP_INTERFACE)) {
        switch (request) {
        case HidGetReport: {
            if (buffer.empty()) {
                answer(-1);
                return true;
            }
            buffer[0] = reportId;
            if (reportType == FeatureReportType) {
                const int size = AnswerGetFeature(buffer);
                if (WaitToAnswer())
                    answer(size);
                else
                    LeaveUnanswered(true);
            } else if (reportType == InputReportType) {
                answer(AnswerGetInput(reportId, buffer));
            } else {
                answer(-1);
            }
            return true;
        }
        case HidGetIdle:
        case HidGetProtocol:
            if (!buffer.empty())
                buffer[0] = request == HidGetProtocol ? 1 : 0;  // report protocol; no idle rate
            answer(buffer.empty() ? -1 : 1);
            return true;
        default:
            answer(-1);
            return true;
        }
    }
    if (requestType == (USB_DIR_OUT | USB_TYPE_CLASS | USB_RECIP_INTERFACE)) {
        switch (request) {
        case HidSetReport: {
            // The data stage is the answer: once it is read the host has its
            // acknowledgement, so a late board waits before it reads. For the same
            // reason a report the board refuses is acknowledged all the same; uhid can
            // refuse it.
            if (!WaitToAnswer()) {
                LeaveUnanswered(false);
                return true;
            }
            const ssize_t n = ::read(Ep0, buffer.data(), buffer.size());
            if (n < 0)
                return errno == EIDRM || errno == EINTR || errno == ESHUTDOWN || errno == EL2HLT;
            const std::span<const std::uint8_t> data(buffer.data(), static_cast<std::size_t>(n));
            if (reportType == FeatureReportType) {
                TakeSetFeature(data);
                FinishSetFeature();
            } else {
                LogOther(reportType == OutputReportType ? "set-output" : "set-input", data);
            }
            return true;
        }
        case HidSetIdle:
        case HidSetProtocol:
            answer(0);
            return true;
        default:
            answer(-1);
            return true;
        }
    }
    answer(-1);
    return true;
}

bool UsbGadgetBoard::SendInput(std::span<const std::uint8_t> report)
{
    if (!IsEnabled)
        return false;
    PendingInput.emplace_back(report.begin(), report.end());
    while (PendingInput.size() > MaxPendingInput)
        PendingInput.pop_front();
    if (!InputInFlight)
        SubmitNextInput();
    return true;
}

void UsbGadgetBoard::SubmitNextInput()
{
    while (!InputInFlight && IsEnabled && !PendingInput.empty()) {
        InFlight = std::move(PendingInput.front());
        PendingInput.pop_front();
        iocb request{};
        request.aio_fildes = static_cast<std::uint32_t>(Ep1);
        request.aio_lio_opcode = IOCB_CMD_PWRITE;
        request.aio_buf = reinterpret_cast<std::uint64_t>(InFlight.data());
        request.aio_nbytes = InFlight.size();
        request.aio_flags = IOCB_FLAG_RESFD;
        request.aio_resfd = static_cast<std::uint32_t>(InputDone);
        iocb* requests[1] = {&request};
        // Refused while the endpoint is not enabled (EAGAIN): the report is dropped.
        InputInFlight = ::syscall(__NR_io_submit, AioContext, 1, requests) == 1;
    }
}

void UsbGadgetBoard::ReapInput()
{
    std::uint64_t count = 0;
    (void)!::read(InputDone, &count, sizeof count);
    io_event events[4];
    timespec now{};
    const long n = ::syscall(__NR_io_getevents, AioContext, 0, 4, events, &now);
    if (n > 0)
        InputInFlight = false;
    SubmitNextInput();
}

std::optional<std::string> UsbGadgetBoard::FindHidrawNode() const
{
    // dummy_udc.N is looped back to dummy_hcd.N: the board is the device behind its root hub.
    const std::string prefix = "dummy_udc.";
    if (!IsBound || !UdcName.starts_with(prefix))
        return std::nullopt;
    const fs::path host = "/sys/devices/platform/dummy_hcd." + UdcName.substr(prefix.size());
    std::error_code ec;
    for (fs::recursive_directory_iterator it(host, ec), end; !ec && it != end; it.increment(ec)) {
        if (it.depth() > 5) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->path().filename() != "hidraw" || !it->is_directory())
            continue;
        std::error_code ec2;
        for (const auto& node : fs::directory_iterator(it->path(), ec2)) {
            const std::string dev = "/dev/" + node.path().filename().string();
            if (::access(dev.c_str(), F_OK) == 0)
                return dev;
        }
        it.disable_recursion_pending();
    }
    return std::nullopt;
}

}  // namespace kx
