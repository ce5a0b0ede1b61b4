#include "uhid_board.h"


#include <linux/uhid.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace kx {

namespace {

// The size of an event of the given type: the kernel zero-fills a short write, and a
// short write of an input report keeps the 1000-per-second wheel cheap.
constexpr std::size_t EventHeader = offsetof(uhid_event, u);

std::string ErrnoText(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

void CopyString(std::uint8_t* to, std::size_t capacity, const std::string& from)
{
    const std::size_t n = std::min(from.size(), capacity - 1);
    std::memcpy(to, from.data(), n);
    to[n] = 0;
}

}  // namespace

UhidBoard::~UhidBoard()
{
    if (UhidFd >= 0) {
        if (IsCreated)
            Destroy();
        ::close(UhidFd);
    }
}

std::optional<std::string> UhidBoard::Open(const std::string& uhidPath)
{
    UhidFd = ::open(uhidPath.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (UhidFd < 0) {
        std::string error = ErrnoText(uhidPath.c_str());
        if (errno == ENOENT)
            error += " (this kernel has no uhid: try modprobe uhid)";
        else if (errno == EACCES || errno == EPERM)
            error += " (creating HID devices needs root, or write access to " + uhidPath + ")";
        return error;
    }
    return std::nullopt;
}

bool UhidBoard::Write(const void* event, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::write(UhidFd, event, size);
        if (n == static_cast<ssize_t>(size))
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        return false;
    }
}

std::optional<std::string> UhidBoard::Create()
{
    if (IsCreated)
        return std::nullopt;
    const std::vector<std::uint8_t> descriptor = Identity.ReportDescriptor.empty()
                                                     ? BoardModel::ReportDescriptor(Model.Lengths)
                                                     : Identity.ReportDescriptor;
    if (descriptor.size() > HID_MAX_DESCRIPTOR_SIZE)
        return std::string("the report descriptor is too long");
    uhid_event event{};
    event.type = UHID_CREATE2;
    auto& create = event.u.create2;
    CopyString(create.name, sizeof create.name, Identity.Name);
    CopyString(create.phys, sizeof create.phys, Identity.Phys);
    CopyString(create.uniq, sizeof create.uniq, Identity.Serial);
    create.rd_size = static_cast<std::uint16_t>(descriptor.size());
    create.bus = 0x03;  // BUS_USB
    create.vendor = Identity.VendorID;
    create.product = Identity.ProductID;
    create.version = Identity.VersionNumber;
    create.country = 0;
    std::copy(descriptor.begin(), descriptor.end(), create.rd_data);
    if (!Write(&event, sizeof event))
        return ErrnoText("UHID_CREATE2");
    IsCreated = true;
    IsRunning = false;
    return std::nullopt;
}

std::optional<std::string> UhidBoard::Destroy()
{
    if (!IsCreated)
        return std::nullopt;
    uhid_event event{};
    event.type = UHID_DESTROY;
    IsCreated = false;
    IsRunning = false;
    if (!Write(&event, EventHeader))
        return ErrnoText("UHID_DESTROY");
    return std::nullopt;
}

bool UhidBoard::SendInput(std::span<const std::uint8_t> report)
{
    if (!IsRunning)
        return false;
    uhid_event event;
    event.type = UHID_INPUT2;
    event.u.input2.size = static_cast<std::uint16_t>(report.size());
    std::copy(report.begin(), report.end(), event.u.input2.data);
    return Write(&event, EventHeader + sizeof event.u.input2.size + report.size());
}

bool UhidBoard::HandleEvent()
{
    uhid_event event{};
    const ssize_t n = ::read(UhidFd, &event, sizeof event);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR;
    if (static_cast<std::size_t>(n) < EventHeader)
        return true;
    // A short event from an older kernel is zero-filled, as the protocol asks.

    switch (event.type) {
    case UHID_START:
        IsRunning = true;
        Trace("start");
        break;
    case UHID_STOP:
        IsRunning = false;
        Trace("stop");
        break;
    case UHID_OPEN:
        Trace("open");
        break;
    case UHID_CLOSE:
        Trace("close");
        break;
    case UHID_OUTPUT: {
        // The board has no output reports, but a write to the node still arrives here;
        // log it so that a stray write shows.
        const std::size_t size = std::min<std::size_t>(event.u.output.size, UHID_DATA_MAX);
        LogOther("output", {event.u.output.data, size});
        break;
    }
    case UHID_GET_REPORT: {
        const std::uint32_t id = event.u.get_report.id;
        const std::uint8_t rnum = event.u.get_report.rnum;
        const std::uint8_t rtype = event.u.get_report.rtype;
        uhid_event reply{};
        reply.type = UHID_GET_REPORT_REPLY;
        reply.u.get_report_reply.id = id;
        int length = -1;
        std::uint8_t* data = reply.u.get_report_reply.data;
        if (rtype == UHID_FEATURE_REPORT) {
            // uhid does not pass on the length the host asked for: the board answers
            // with its whole report, and the kernel cuts it to the host's buffer.
            data[0] = rnum;
            length = AnswerGetFeature({data, UHID_DATA_MAX});
            if (!WaitToAnswer())
                break;
        } else if (rtype == UHID_INPUT_REPORT) {
            length = AnswerGetInput(rnum, {data, UHID_DATA_MAX});
        }
        if (length < 0) {
            reply.u.get_report_reply.err = EIO;
            reply.u.get_report_reply.size = 0;
        } else {
            reply.u.get_report_reply.size = static_cast<std::uint16_t>(length);
        }
        const std::size_t replySize = offsetof(uhid_event, u.get_report_reply.data) + std::max(length, 0);
        if (!Write(&reply, replySize))
            return false;
        break;
    }
    case UHID_SET_REPORT: {
        const std::uint32_t id = event.u.set_report.id;
        const std::size_t size = std::min<std::size_t>(event.u.set_report.size, UHID_DATA_MAX);
        bool ok = false;
        if (event.u.set_report.rtype == UHID_FEATURE_REPORT)
            ok = TakeSetFeature({event.u.set_report.data, size});
        else
            LogOther("set-output", {event.u.set_report.data, size});
        if (!WaitToAnswer())
            break;
        uhid_event reply{};
        reply.type = UHID_SET_REPORT_REPLY;
        reply.u.set_report_reply.id = id;
        reply.u.set_report_reply.err = ok ? 0 : EIO;
        if (!Write(&reply, offsetof(uhid_event, u.set_report_reply) + sizeof reply.u.set_report_reply))
            return false;
        FinishSetFeature();
        break;
    }
    default:
        break;
    }
    return true;
}

std::optional<std::string> UhidBoard::FindHidrawNode() const
{
    namespace fs = std::filesystem;
    if (!IsCreated)
        return std::nullopt;
    std::error_code ec;
    for (const auto& device : fs::directory_iterator("/sys/bus/hid/devices", ec)) {
        std::ifstream uevent(device.path() / "uevent");
        std::string line;
        bool ours = false;
        while (std::getline(uevent, line))
            if (line == "HID_PHYS=" + Identity.Phys)
                ours = true;
        if (!ours)
            continue;
        std::error_code ec2;
        for (const auto& node : fs::directory_iterator(device.path() / "hidraw", ec2)) {
            const std::string dev = "/dev/" + node.path().filename().string();
            if (::access(dev.c_str(), F_OK) == 0)
                return dev;
        }
    }
    return std::nullopt;
}

}  // namespace kx
