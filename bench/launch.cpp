// kx5170-bench-launch: starts a program and measures it from the outside.
//
//   kx5170-bench-launch [--map] [--rss-after MS] [--cpu-after MS --cpu-for MS]
//                       [--timeout MS] -- PROGRAM [ARGS...]
//   kx5170-bench-launch --exec -- PROGRAM [ARGS...]
//
// The start time is taken just before exec and handed to the program as
// KX_BENCH_T0_NS (CLOCK_MONOTONIC). With --map, the time until the program's first
// top-level window is mapped is caught from the X server's MapNotify on the root
// window, subscribed to before the program starts: no polling. Resident memory is
// read MS after the mapping (or the start); CPU is the scheduler's count over
// --cpu-for MS, starting --cpu-after MS after the mapping (or the start). The program
// is then ended. Results are printed one a line: map_ms=, rss_kib=, cpu_pct=.
// --exec only sets the start time and becomes the program.

#include "clock.h"

#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

using kxbench::NowNs;

namespace {

struct Options {
    bool Exec = false;
    bool Map = false;
    long RssAfterMs = -1;
    long CpuAfterMs = -1;
    long CpuForMs = -1;
    long TimeoutMs = 30000;
    char** Command = nullptr;
};

[[noreturn]] void Usage()
{
    std::fprintf(stderr,
                 "usage: kx5170-bench-launch [--map] [--rss-after MS] [--cpu-after MS --cpu-for MS] [--timeout MS] "
                 "-- PROGRAM [ARGS...]\n"
                 "       kx5170-bench-launch --exec -- PROGRAM [ARGS...]\n");
    std::exit(2);
}

Options Parse(int argc, char** argv)
{
    Options o;
    int i = 1;
    auto number = [&](const char* what) {
        if (i + 1 >= argc)
            Usage();
        char* end = nullptr;
        const long v = std::strtol(argv[++i], &end, 10);
        if (*end || v < 0) {
            std::fprintf(stderr, "kx5170-bench-launch: bad %s\n", what);
            Usage();
        }
        return v;
    };
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a == "--exec")
            o.Exec = true;
        else if (a == "--map")
            o.Map = true;
        else if (a == "--rss-after")
            o.RssAfterMs = number("--rss-after");
        else if (a == "--cpu-after")
            o.CpuAfterMs = number("--cpu-after");
        else if (a == "--cpu-for")
            o.CpuForMs = number("--cpu-for");
        else if (a == "--timeout")
            o.TimeoutMs = number("--timeout");
        else
            Usage();
    }
    if (i >= argc || (o.CpuAfterMs < 0) != (o.CpuForMs < 0))
        Usage();
    o.Command = argv + i;
    return o;
}

void SetStart(std::uint64_t t0)
{
    ::setenv("KX_BENCH_T0_NS", std::to_string(t0).c_str(), 1);
}

// Waits for the first MapNotify of a window that is not override-redirect (menus and
// tooltips are). Returns its time, or nullopt on timeout or a dead connection.
std::optional<std::uint64_t> WaitForMap(xcb_connection_t* x, std::uint64_t deadline)
{
    const int fd = xcb_get_file_descriptor(x);
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const std::uint64_t now = NowNs();
            const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY &&
                                !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
            std::free(event);
            if (mapped)
                return now;
        }
        if (xcb_connection_has_error(x))
            return std::nullopt;
        const std::uint64_t now = NowNs();
        if (now >= deadline)
            return std::nullopt;
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>((deadline - now) / 1'000'000 + 1));
    }
}

void SleepUntil(std::uint64_t t)
{
    const std::uint64_t now = NowNs();
    if (t > now)
        std::this_thread::sleep_for(std::chrono::nanoseconds(t - now));
}

bool Alive(pid_t pid)
{
    return ::waitpid(pid, nullptr, WNOHANG) == 0;
}

void End(pid_t pid)
{
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) != 0)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    const Options o = Parse(argc, argv);
    if (o.Exec) {
        SetStart(NowNs());
        ::execvp(o.Command[0], o.Command);
        std::perror(o.Command[0]);
        return 127;
    }

    xcb_connection_t* x = nullptr;
    if (o.Map) {
        x = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(x)) {
            std::fprintf(stderr, "kx5170-bench-launch: cannot open the display\n");
            return 1;
        }
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
        // A round trip: the subscription is in force before the program starts.
        std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
    }

    const std::uint64_t t0 = NowNs();
    SetStart(t0);
    const pid_t pid = ::fork();
    if (pid < 0) {
        std::perror("fork");
        return 1;
    }
    if (pid == 0) {
        ::execvp(o.Command[0], o.Command);
        std::perror(o.Command[0]);
        ::_exit(127);
    }
    const std::string pidText = std::to_string(pid);

    std::uint64_t base = t0;
    if (o.Map) {
        const auto mapped = WaitForMap(x, t0 + static_cast<std::uint64_t>(o.TimeoutMs) * 1'000'000);
        xcb_disconnect(x);
        if (!mapped) {
            std::fprintf(stderr, "kx5170-bench-launch: no window was mapped within %ld ms\n", o.TimeoutMs);
            End(pid);
            return 1;
        }
        base = *mapped;
        std::printf("map_ms=%.1f\n", static_cast<double>(*mapped - t0) / 1e6);
        std::fflush(stdout);
    }
    if (o.RssAfterMs >= 0) {
        SleepUntil(base + static_cast<std::uint64_t>(o.RssAfterMs) * 1'000'000);
        if (!Alive(pid)) {
            std::fprintf(stderr, "kx5170-bench-launch: the program ended early\n");
            return 1;
        }
        std::printf("rss_kib=%ld\n", kxbench::ResidentKiB(pidText));
        std::fflush(stdout);
    }
    if (o.CpuAfterMs >= 0) {
        SleepUntil(base + static_cast<std::uint64_t>(o.CpuAfterMs) * 1'000'000);
        const std::uint64_t from = NowNs();
        const std::uint64_t cpuFrom = kxbench::ProcessCpuNs(pidText);
        SleepUntil(from + static_cast<std::uint64_t>(o.CpuForMs) * 1'000'000);
        const std::uint64_t cpuTo = kxbench::ProcessCpuNs(pidText);
        const std::uint64_t to = NowNs();
        if (!Alive(pid)) {
            std::fprintf(stderr, "kx5170-bench-launch: the program ended early\n");
            return 1;
        }
        const double used = cpuTo > cpuFrom ? static_cast<double>(cpuTo - cpuFrom) : 0.0;
        std::printf("cpu_pct=%.4f\n", 100.0 * used / static_cast<double>(to - from));
        std::fflush(stdout);
    }
    End(pid);
    return 0;
}
