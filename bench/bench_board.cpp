// kx5170-bench-board: a KX5170 board through /dev/uhid for the benchmarks. Each input
// report carries a sequence number where the wheel position goes (one more each
// report, wrapping at 16 bits), and the moment each report is handed to the kernel
// is written to a shared file, so the bench window can tell how old a shown
// position is.
//
//   kx5170-bench-board --shared FILE [--rate N] [--plug-after MS]
//
// Prints "ready /dev/hidrawN" once the node exists. Runs until SIGTERM or SIGINT.
#include "clock.h"
#include "uhid_board.h"

#include <poll.h>
#include <signal.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using kxbench::NowNs;

namespace {

volatile sig_atomic_t Stop = 0;
void OnSignal(int)
{
    Stop = 1;
}

// A timer that fell behind (a busy machine) catches up with at most this many reports.
constexpr std::uint64_t MaxCatchUp = 50;

}  // namespace

int main(int argc, char** argv)
{
    std::string sharedPath;
    long rate = 1000;
    long plugAfterMs = -1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--shared")
            sharedPath = argv[i + 1];
        else if (a == "--rate")
            rate = std::strtol(argv[i + 1], nullptr, 10);
        else if (a == "--plug-after")
            plugAfterMs = std::strtol(argv[i + 1], nullptr, 10);
    }
    if (sharedPath.empty() || rate < 1 || rate > 1000 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: kx5170-bench-board --shared FILE [--rate 1..1000] [--plug-after MS]\n");
        return 2;
    }
    kxbench::SharedTimes* const times = kxbench::MapSharedTimes(sharedPath, true);
    if (!times) {
        std::perror(sharedPath.c_str());
        return 1;
    }

    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);

    kx::BoardModel model;
    kx::UhidIdentity identity;
    identity.VendorID = 0x6C1B;
    identity.ProductID = 0x5E13;
    identity.VersionNumber = 0x0307;
    identity.Name = "KX5170 Wheel Controller";
    identity.Serial = "BENCH-0001";
    identity.Phys = "kx5170-bench-board-" + std::to_string(::getpid()) + "/input0";
    kx::UhidBoard board(model, identity);
    if (const auto error = board.Open()) {
        std::fprintf(stderr, "kx5170-bench-board: %s\n", error->c_str());
        return 1;
    }
    const std::uint64_t started = NowNs();
    auto plug = [&] {
        times->PlugNs.store(NowNs());
        if (const auto error = board.Create()) {
            std::fprintf(stderr, "kx5170-bench-board: %s\n", error->c_str());
            std::exit(1);
        }
    };
    if (plugAfterMs < 0)
        plug();

    const int timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    itimerspec period{};
    period.it_interval.tv_nsec = 1'000'000'000L / rate;
    period.it_value = period.it_interval;
    ::timerfd_settime(timer, 0, &period, nullptr);

    std::uint16_t sequence = 0;
    bool nodeSeen = false;
    while (!Stop) {
        pollfd fds[2] = {{board.Fd(), POLLIN, 0}, {timer, POLLIN, 0}};
        // While the node is awaited, look for it every millisecond.
        const int n = ::poll(fds, 2, board.Created() && !nodeSeen ? 1 : 100);
        if (n < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN)
            if (!board.HandleEvent())
                break;
        if (!board.Created() && plugAfterMs >= 0 &&
            NowNs() - started >= static_cast<std::uint64_t>(plugAfterMs) * 1'000'000)
            plug();
        if (board.Created() && !nodeSeen)
            if (const auto node = board.FindHidrawNode()) {
                times->NodeNs.store(NowNs());
                nodeSeen = true;
                std::printf("ready %s\n", node->c_str());
                std::fflush(stdout);
            }
        if (fds[1].revents & POLLIN) {
            std::uint64_t expirations = 0;
            if (::read(timer, &expirations, sizeof expirations) != sizeof expirations)
                continue;
            for (std::uint64_t i = 0; i < std::min(expirations, MaxCatchUp) && board.Running(); ++i) {
                ++sequence;
                times->SentNs[sequence].store(NowNs());
                board.SendPosition(static_cast<std::int16_t>(sequence));
            }
        }
    }
    board.Destroy();
    return 0;
}
