// A board for machines without /dev/uhid: input reports travel through a socket pair
// from a child process, and are read as hidapi reads hidraw on Linux (a poll, then a
// read, each report its own message), so the window does the same work per report as
// it does on the real backend. Feature requests are answered in-process by the same
// board model the virtual board uses.
//
// The board can also be plugged in later: until then no interface is listed, and at
// that moment the platform's change descriptor (a timerfd) becomes readable, as the
// hidraw watcher's does when a node appears, so the window takes the same path.
#pragma once

#include "clock.h"

#include "board_identity.h"
#include "board_model.h"
#include "hid_platform.h"

#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

namespace kxbench {

class SocketBoardPlatform final : public kx::HidPlatform {
public:
    // Starts the sending process at `rate` reports a second, each carrying a sequence
    // number as its position and stamped in `times` (mapped shared before the fork).
    // With `plugAfterMs` >= 0 the board is plugged in that long after this call, and
    // sends from then on. Call before any thread is started.
    SocketBoardPlatform(SharedTimes* times, int rate, long plugAfterMs = -1)
    {
        PlugNs = NowNs() + static_cast<std::uint64_t>(std::max(plugAfterMs, 0L)) * 1'000'000u;
        if (plugAfterMs >= 0) {
            Change = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
            itimerspec at{};
            at.it_value = Timespec(PlugNs);
            ::timerfd_settime(Change, TFD_TIMER_ABSTIME, &at, nullptr);
            // No kernel in between: the interface appears as the board is plugged in.
            times->PlugNs.store(PlugNs);
            times->NodeNs.store(PlugNs);
        }
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0)
            return;
        // Room for far more than hidraw's 63 reports: the window must keep up by itself.
        const int room = 1 << 20;
        ::setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
        Sender = ::fork();
        if (Sender == 0) {
            ::close(fds[0]);
            Send(fds[1], times, rate, PlugNs);
            ::_exit(0);
        }
        ::close(fds[1]);
        Fd = fds[0];
    }

    ~SocketBoardPlatform() override
    {
        if (Sender > 0) {
            ::kill(Sender, SIGTERM);
            ::waitpid(Sender, nullptr, 0);
        }
        if (Fd >= 0)
            ::close(Fd);
        if (Change >= 0)
            ::close(Change);
    }

    std::vector<kx::HidInterfaceInfo> EnumerateInterfaces() override
    {
        if (!Plugged())
            return {};
        return {{"socket-board", kx::BoardVendorID, 0x5E13, 0x0307}};
    }

    kx::OpenResult Open(const std::string& path, kx::OpenMode mode) override
    {
        if (path != "socket-board" || Fd < 0 || !Plugged())
            return {nullptr, kx::HidFailure::Gone};
        return {std::make_unique<Handle>(Model, mode == kx::OpenMode::NonBlocking ? Fd : -1), kx::HidFailure::None};
    }

    void Pause(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }

    // The plug-in is the only change there ever is; taking the news clears it.
    bool InterfacesMayHaveChanged() override
    {
        std::uint64_t expirations = 0;
        return Change >= 0 && ::read(Change, &expirations, sizeof expirations) == sizeof expirations;
    }
    int ChangeNotificationFd() const override { return Change; }

private:
    bool Plugged() const { return NowNs() >= PlugNs; }

    static timespec Timespec(std::uint64_t ns)
    {
        return {static_cast<time_t>(ns / 1'000'000'000u), static_cast<long>(ns % 1'000'000'000u)};
    }

    class Handle final : public kx::HidHandle {
    public:
        Handle(kx::BoardModel& model, int fd) : Model(model), Fd(fd) {}
        std::optional<std::vector<std::uint8_t>> ReportDescriptor() override
        {
            const auto d = kx::BoardModel::StandardReportDescriptor();
            return std::vector<std::uint8_t>(d.begin(), d.end());
        }
        int GetFeatureReport(std::span<std::uint8_t> buffer) override { return Model.AnswerGetFeature(buffer); }
        int SetFeatureReport(std::span<const std::uint8_t> report) override
        {
            return Model.TakeSetFeature(report) == kx::BoardModel::Outcome::Rejected ? -1
                                                                                    : static_cast<int>(report.size());
        }
        std::optional<std::u16string> GetString(kx::DeviceString which) override
        {
            switch (which) {
            case kx::DeviceString::Manufacturer:
                return u"KX Motion";
            case kx::DeviceString::Product:
                return u"KX5170 Wheel Controller";
            case kx::DeviceString::SerialNumber:
                return u"BENCH-0001";
            }
            return std::nullopt;
        }
        int ReadInputReport(std::span<std::uint8_t> buffer) override
        {
            if (Fd < 0 || buffer.empty())
                return -1;
            pollfd p{Fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, 0);
            if (ready < 0)
                return -1;
            if (ready == 0)
                return 0;
            const ssize_t n = ::recv(Fd, buffer.data(), buffer.size(), 0);
            return n <= 0 ? -1 : static_cast<int>(n);
        }

    private:
        kx::BoardModel& Model;
        const int Fd;
    };

    static void Send(int fd, SharedTimes* times, int rate, std::uint64_t fromNs)
    {
        kx::BoardModel model;
        const int timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
        itimerspec period{};
        period.it_interval.tv_nsec = 1'000'000'000L / rate;
        period.it_value = Timespec(fromNs + static_cast<std::uint64_t>(period.it_interval.tv_nsec));
        ::timerfd_settime(timer, TFD_TIMER_ABSTIME, &period, nullptr);
        std::uint16_t sequence = 0;
        for (;;) {
            std::uint64_t expirations = 0;
            if (::read(timer, &expirations, sizeof expirations) != sizeof expirations)
                return;
            for (std::uint64_t i = 0; i < std::min<std::uint64_t>(expirations, 50); ++i) {
                ++sequence;
                times->SentNs[sequence].store(NowNs());
                const auto report = model.MakeInputReport(static_cast<std::int16_t>(sequence));
                // A reader that fell behind loses reports, as hidraw's full queue does.
                if (::send(fd, report.data(), report.size(), MSG_DONTWAIT | MSG_NOSIGNAL) < 0 && errno == EPIPE)
                    return;
            }
        }
    }

    kx::BoardModel Model;
    std::uint64_t PlugNs = 0;
    pid_t Sender = -1;
    int Fd = -1;
    int Change = -1;  // readable once the board is plugged in; -1 when it always was
};

// Shared memory for the report times, inherited across the fork.
inline SharedTimes* AnonymousSharedTimes()
{
    void* p = ::mmap(nullptr, sizeof(SharedTimes), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    auto* times = static_cast<SharedTimes*>(p);
    times->Magic.store(SharedTimes::Tag);
    return times;
}

}  // namespace kxbench
