// kx5170-virtual-board: a KX5170 board made through /dev/uhid, or as a USB device
// through a USB gadget (--usb), for trying the program and testing it on Linux without
// the hardware.
//
// The kernel gives the board a /dev/hidrawN node like any USB board. The board answers
// the settings and version requests, stores command-1 writes, resets on commands 2 and
// 3 (it goes away and comes back), sends wheel positions (and force-feedback state
// reports when asked), and logs every feature request it receives. It takes commands
// on standard input (and on --control FIFO):
//
//   unplug | plug | quit | hold | resume | rate N | position N | burst N | state N | status
//   | stall MS | serial TEXT
//
// and tells what happens on standard output, one line each: "ready /dev/hidrawN",
// "unplugged", "reset", "held N", "sent N", "ok", "error TEXT".

#include "board_identity.h"
#include "board_model.h"
#include "uhid_board.h"
#include "usb_gadget_board.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int MaxRate = 1000;
// A timer that fell behind (a busy machine) catches up with at most this many reports.
constexpr std::uint64_t MaxCatchUp = 50;

enum class Motion { Sweep, Still, Sequence };

struct Options {
    std::uint16_t VendorID = kx::BoardVendorID;
    std::uint16_t ProductID = 0x5E11;
    std::uint16_t VersionNumber = 0x0307;
    std::string Name = "KX5170 Wheel Controller";
    std::string Serial = "KX5170-000123";
    std::string Manufacturer = "KX Motion";
    bool Usb = false;
    std::string Udc;
    int Rate = 100;
    Motion Movement = Motion::Sweep;
    std::int16_t Position = 0;
    std::string LogPath;
    std::string ControlPath;
    std::chrono::milliseconds ResetAfter = 200ms;
    std::chrono::milliseconds ResetDelay = 1000ms;
    bool StartUnplugged = false;
    bool SecondCollection = false;
    bool Verbose = false;
    kx::BoardModel::FeatureLengths Lengths;
};

void Usage(std::FILE* to)
{
    std::fprintf(to,
        "Usage: kx5170-virtual-board [OPTION]...\n"
        "Makes a KX5170 board through /dev/uhid (needs root, or write access to /dev/uhid),\n"
        "or as a USB device (--usb; needs root, configfs, usb_f_fs and dummy_hcd).\n"
        "\n"
        "  --usb              a USB device on a USB gadget controller instead of uhid\n"
        "  --udc NAME         with --usb: the controller to plug into (default: the first\n"
        "                     free one); dummy_udc.N is the port of USB bus N+1\n"
        "  --manufacturer TEXT  with --usb: the manufacturer string (default \"KX Motion\")\n"
        "  --product ID       product ID: 0x5E11 (default), 0x5E12 or 0x5E13\n"
        "  --vendor ID        vendor ID (default 0x6C1B; another makes a device that is not a board)\n"
        "  --version BCD      device version (default 0x0307)\n"
        "  --name TEXT        product string (default \"KX5170 Wheel Controller\")\n"
        "  --serial TEXT      serial number (default \"KX5170-000123\")\n"
        "  --rate N           input reports per second, 0 to %d (default 100; 0: only on request)\n"
        "  --motion KIND      sweep (default): the wheel turns to and fro;\n"
        "                     still: it stays at --position;\n"
        "                     sequence: each report carries the one before plus 1\n"
        "  --position N       the still position, or where a sequence starts (default 0)\n"
        "  --log FILE         write every feature request received to FILE, one line each\n"
        "  --control FIFO     also take commands from FIFO (made if missing)\n"
        "  --reset-after MS   after a reset request, go away after MS (default 200)\n"
        "  --reset-delay MS   and come back MS later (default 1000)\n"
        "  --unplugged        start unplugged (send \"plug\" to plug in)\n"
        "  --second-collection  add a vendor-defined top-level collection to the report\n"
        "                     descriptor (hidapi then lists the board twice)\n"
        "  --report8-length N   length of feature report 8, the settings, with its ID byte:\n"
        "                     30 to 4096 (default 64), or 0 for none\n"
        "  --report32-length N  length of feature report 32 with its ID byte: 2 to 4096\n"
        "                     (default 64), or 0 for none. Both 0 make the board's\n"
        "                     joystick interface, which has only input reports\n"
        "  --verbose          trace the kernel's events on standard error\n"
        "\n"
        "Commands (standard input or the FIFO, one a line):\n"
        "  unplug, plug       the board goes away / comes back (under a new node)\n"
        "  hold, resume       stop / restart the input reports (hold answers \"held N\")\n"
        "  stall MS           answer feature requests MS late from now on (0: at once;\n"
        "                     5000 or more: never, so that the host's request times out)\n"
        "  serial TEXT        the serial number from the next plug on\n"
        "  rate N             input reports per second\n"
        "  position N         the wheel stands at N: one report is sent at once\n"
        "  burst N            send N reports at once, continuing the motion\n"
        "  state N            send N force-feedback state reports (report 2) at once\n"
        "  status             \"ready NODE\" or \"unplugged\"\n"
        "  quit               unplug and exit\n",
        MaxRate);
}

template <typename T>
std::optional<T> ParseNumber(std::string_view text)
{
    int base = 10;
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    if (negative)
        value = -value;
    if (value < static_cast<long long>(std::numeric_limits<T>::min()) ||
        value > static_cast<long long>(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(value);
}

std::optional<Options> ParseOptions(int argc, char** argv)
{
    Options o;
    auto fail = [](const std::string& message) -> std::optional<Options> {
        std::fprintf(stderr, "kx5170-virtual-board: %s\n", message.c_str());
        std::fprintf(stderr, "Try kx5170-virtual-board --help\n");
        return std::nullopt;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            Usage(stdout);
            std::exit(0);
        }
        if (arg == "--unplugged") {
            o.StartUnplugged = true;
            continue;
        }
        if (arg == "--second-collection") {
            o.SecondCollection = true;
            continue;
        }
        if (arg == "--verbose") {
            o.Verbose = true;
            continue;
        }
        if (arg == "--usb") {
            o.Usb = true;
            continue;
        }
        if (i + 1 >= argc)
            return fail("unknown option or missing value: " + std::string(arg));
        const std::string_view value = argv[++i];
        const auto bad = [&] { return fail("bad value for " + std::string(arg) + ": " + std::string(value)); };
        if (arg == "--product") {
            const auto id = ParseNumber<std::uint16_t>(value);
            if (!id || !kx::IsBoardIdentity(kx::BoardVendorID, *id))
                return fail("the product ID must be 0x5E11, 0x5E12 or 0x5E13");
            o.ProductID = *id;
        } else if (arg == "--vendor") {
            const auto id = ParseNumber<std::uint16_t>(value);
            if (!id)
                return bad();
            o.VendorID = *id;
        } else if (arg == "--version") {
            const auto v = ParseNumber<std::uint16_t>(value);
            if (!v)
                return bad();
            o.VersionNumber = *v;
        } else if (arg == "--name") {
            if (value.size() > 127)
                return fail("the name is longer than 127 bytes");
            o.Name = value;
        } else if (arg == "--serial") {
            if (value.size() > 63)
                return fail("the serial number is longer than 63 bytes");
            o.Serial = value;
        } else if (arg == "--rate") {
            const auto r = ParseNumber<int>(value);
            if (!r || *r < 0 || *r > MaxRate)
                return fail("the rate must be 0 to " + std::to_string(MaxRate));
            o.Rate = *r;
        } else if (arg == "--motion") {
            if (value == "sweep")
                o.Movement = Motion::Sweep;
            else if (value == "still")
                o.Movement = Motion::Still;
            else if (value == "sequence")
                o.Movement = Motion::Sequence;
            else
                return bad();
        } else if (arg == "--position") {
            const auto p = ParseNumber<std::int16_t>(value);
            if (!p)
                return bad();
            o.Position = *p;
        } else if (arg == "--report8-length" || arg == "--report32-length") {
            const bool settings = arg == "--report8-length";
            const auto n = ParseNumber<int>(value);
            const int shortest = settings ? 30 : 2;
            if (!n || (*n != 0 && (*n < shortest || *n > 4096)))
                return fail(std::string(arg) + " must be 0, or " + std::to_string(shortest) + " to 4096");
            (settings ? o.Lengths.Settings : o.Lengths.Reset) = static_cast<std::size_t>(*n);
        } else if (arg == "--udc") {
            o.Udc = value;
        } else if (arg == "--manufacturer") {
            if (value.size() > 126)
                return fail("the manufacturer is longer than 126 bytes");
            o.Manufacturer = value;
        } else if (arg == "--log") {
            o.LogPath = value;
        } else if (arg == "--control") {
            o.ControlPath = value;
        } else if (arg == "--reset-after" || arg == "--reset-delay") {
            const auto ms = ParseNumber<int>(value);
            if (!ms || *ms < 0 || *ms > 600000)
                return bad();
            (arg == "--reset-after" ? o.ResetAfter : o.ResetDelay) = std::chrono::milliseconds(*ms);
        } else {
            return fail("unknown option: " + std::string(arg));
        }
    }
    return o;
}

volatile std::sig_atomic_t StopSignal = 0;

void OnStopSignal(int signal)
{
    StopSignal = signal;
}

// Standard output is how a test follows the board: every line is flushed at once.
void Say(const std::string& line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class VirtualBoard {
public:
    explicit VirtualBoard(Options options)
        : Opts(std::move(options)),
          Model(Opts.Lengths),
          Transport(MakeTransport(Opts, Model)),
          Board(*Transport),
          Rate(Opts.Rate),
          Position(Opts.Position)
    {
    }

    int Run();

private:
    static std::unique_ptr<kx::BoardTransport> MakeTransport(const Options& o, kx::BoardModel& model)
    {
        kx::VirtualBoardIdentity identity{
            o.VendorID, o.ProductID, o.VersionNumber, o.Name, o.Serial, o.Manufacturer,
            "kx5170-virtual-board-" + std::to_string(::getpid()) + "/input0",
            o.SecondCollection ? kx::WithSecondCollection(kx::BoardModel::ReportDescriptor(o.Lengths))
                               : std::vector<std::uint8_t>{}};
        if (o.Usb)
            return std::make_unique<kx::UsbGadgetBoard>(model, std::move(identity), o.Udc);
        return std::make_unique<kx::UhidBoard>(model, std::move(identity));
    }

    bool Setup();
    void Plug();
    void Unplug();
    void SetRate(int rate);
    void SendNext();
    std::int16_t NextPosition();
    void Command(const std::string& line);
    bool ReadCommands(int fd, std::string& pending);
    void WriteLog(const std::string& line);

    Options Opts;
    kx::BoardModel Model;
    std::unique_ptr<kx::BoardTransport> Transport;
    kx::BoardTransport& Board;
    std::FILE* LogFile = nullptr;
    int TimerFd = -1;
    int ControlFd = -1;
    bool StdinOpen = true;
    std::string StdinPending, ControlPending;

    int Rate;
    bool Held = false;
    std::int16_t Position;
    Clock::time_point Started = Clock::now();
    bool Quit = false;

    bool WaitingForNode = false;
    Clock::time_point PlugInTime;
    std::optional<Clock::time_point> UnplugAt, PlugAt;  // a reset in progress
};

bool VirtualBoard::Setup()
{
    if (!Opts.LogPath.empty()) {
        LogFile = std::fopen(Opts.LogPath.c_str(), "we");
        if (!LogFile) {
            std::fprintf(stderr, "kx5170-virtual-board: %s: %s\n", Opts.LogPath.c_str(), std::strerror(errno));
            return false;
        }
    }
    if (!Opts.ControlPath.empty()) {
        struct stat st {};
        if (::stat(Opts.ControlPath.c_str(), &st) != 0 && ::mkfifo(Opts.ControlPath.c_str(), 0600) != 0) {
            std::fprintf(stderr, "kx5170-virtual-board: %s: %s\n", Opts.ControlPath.c_str(), std::strerror(errno));
            return false;
        }
        // Open for writing too, so that the FIFO never reads as closed between writers.
        ControlFd = ::open(Opts.ControlPath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (ControlFd < 0) {
            std::fprintf(stderr, "kx5170-virtual-board: %s: %s\n", Opts.ControlPath.c_str(), std::strerror(errno));
            return false;
        }
    }
    if (const auto error = Board.Open()) {
        std::fprintf(stderr, "kx5170-virtual-board: %s\n", error->c_str());
        return false;
    }
    TimerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (TimerFd < 0) {
        std::fprintf(stderr, "kx5170-virtual-board: timerfd: %s\n", std::strerror(errno));
        return false;
    }
    Board.OnRequest = [this](const std::string& line) { WriteLog(line); };
    Board.OnResetRequest = [this] {
        if (UnplugAt || PlugAt)
            return;  // already resetting
        Say("reset");
        UnplugAt = Clock::now() + Opts.ResetAfter;
    };
    if (Opts.Verbose)
        Board.OnTrace = [usb = Opts.Usb](const std::string& what) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                Clock::now().time_since_epoch()).count() % 100000;
            std::fprintf(stderr, "%05lld %s: %s\n", static_cast<long long>(ms), usb ? "usb" : "uhid", what.c_str());
        };
    SetRate(Rate);
    return true;
}

void VirtualBoard::WriteLog(const std::string& line)
{
    if (Opts.Verbose)
        std::fprintf(stderr, "request: %s\n", line.c_str());
    if (LogFile) {
        std::fprintf(LogFile, "%s\n", line.c_str());
        std::fflush(LogFile);
    }
}

void VirtualBoard::Plug()
{
    if (Board.Created())
        return;
    if (const auto error = Board.Create()) {
        Say("error " + *error);
        return;
    }
    WaitingForNode = true;
    PlugInTime = Clock::now();
}

void VirtualBoard::Unplug()
{
    WaitingForNode = false;
    if (!Board.Created())
        return;
    if (const auto error = Board.Destroy())
        Say("error " + *error);
    Say("unplugged");
}

void VirtualBoard::SetRate(int rate)
{
    Rate = rate;
    itimerspec period{};
    if (rate > 0) {
        const long interval = 1'000'000'000L / rate;
        period.it_interval.tv_sec = interval / 1'000'000'000L;
        period.it_interval.tv_nsec = interval % 1'000'000'000L;
        period.it_value = period.it_interval;
    }
    ::timerfd_settime(TimerFd, 0, &period, nullptr);
}

std::int16_t VirtualBoard::NextPosition()
{
    switch (Opts.Movement) {
    case Motion::Still:
        return Position;
    case Motion::Sequence:
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(Position) + 1u);
    case Motion::Sweep: {
        // A triangle over the whole range, 4 s each way.
        const double t = std::chrono::duration<double>(Clock::now() - Started).count();
        const double phase = std::fmod(t / 8.0, 1.0);
        const double x = phase < 0.5 ? phase * 4.0 - 1.0 : 3.0 - phase * 4.0;
        return static_cast<std::int16_t>(std::lround(x * 32767.0));
    }
    }
    return Position;
}

void VirtualBoard::SendNext()
{
    Position = NextPosition();
    Board.SendPosition(Position);
}

void VirtualBoard::Command(const std::string& line)
{
    std::istringstream in(line);
    std::string word, argument, extra;
    in >> word >> argument >> extra;
    if (word.empty())
        return;
    if (word == "serial") {
        // The rest of the line, blanks and all.
        const std::size_t at = line.find("serial") + 6;
        const std::string serial = at < line.size() ? line.substr(at + 1) : std::string();
        if (serial.size() > 63) {
            Say("error the serial number is longer than 63 bytes");
            return;
        }
        if (const auto error = Board.SetSerial(serial)) {
            Say("error " + *error);
            return;
        }
        Say("ok");
        return;
    }
    if (!extra.empty()) {
        Say("error too many words: " + line);
        return;
    }
    const auto number = ParseNumber<int>(argument);
    if (word == "unplug") {
        UnplugAt.reset();
        PlugAt.reset();
        Unplug();
    } else if (word == "plug") {
        UnplugAt.reset();
        PlugAt.reset();
        Plug();
        if (!WaitingForNode)
            Say("ready " + Board.FindHidrawNode().value_or("?"));
    } else if (word == "quit") {
        Quit = true;
    } else if (word == "hold") {
        Held = true;
        Say("held " + std::to_string(Position));
    } else if (word == "resume") {
        Held = false;
        Say("ok");
    } else if (word == "rate") {
        if (!number || *number < 0 || *number > MaxRate) {
            Say("error the rate must be 0 to " + std::to_string(MaxRate));
            return;
        }
        SetRate(*number);
        Say("ok");
    } else if (word == "position") {
        if (!number || *number < -32768 || *number > 32767) {
            Say("error bad position: " + argument);
            return;
        }
        Position = static_cast<std::int16_t>(*number);
        if (!Board.SendPosition(Position)) {
            Say("error the board is not running");
            return;
        }
        Say("sent " + std::to_string(Position));
    } else if (word == "burst") {
        if (!number || *number < 1 || *number > 10000) {
            Say("error bad count: " + argument);
            return;
        }
        for (int i = 0; i < *number; ++i)
            SendNext();
        if (!Board.Running()) {
            Say("error the board is not running");
            return;
        }
        Say("sent " + std::to_string(Position));
    } else if (word == "state") {
        if (!number || *number < 1 || *number > 10000) {
            Say("error bad count: " + argument);
            return;
        }
        // Effect 1 playing with the actuators on: were it read as a position, 769.
        for (int i = 0; i < *number; ++i) {
            if (!Board.SendState(0x01, 0x03)) {
                Say("error the board is not running");
                return;
            }
        }
        Say("ok");
    } else if (word == "stall") {
        // Feature requests answered this late from now on (0: at once).
        if (!number || *number < 0 || *number > 10000) {
            Say("error bad delay: " + argument);
            return;
        }
        Board.AnswerDelay = std::chrono::milliseconds(*number);
        Say("ok");
    } else if (word == "status") {
        if (Board.Created() && !WaitingForNode)
            Say("ready " + Board.FindHidrawNode().value_or("?"));
        else
            Say("unplugged");
    } else {
        Say("error unknown command: " + word);
    }
}

// Reads what is there; false at end of file.
bool VirtualBoard::ReadCommands(int fd, std::string& pending)
{
    char buffer[512];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0)
        return false;
    if (n < 0)
        return errno == EAGAIN || errno == EINTR;
    pending.append(buffer, static_cast<std::size_t>(n));
    std::size_t newline;
    while ((newline = pending.find('\n')) != std::string::npos) {
        const std::string line = pending.substr(0, newline);
        pending.erase(0, newline + 1);
        Command(line);
    }
    if (pending.size() > 4096)
        pending.clear();  // not a command
    return true;
}

int VirtualBoard::Run()
{
    if (!Setup())
        return 1;
    if (!Opts.StartUnplugged)
        Plug();
    else
        Say("unplugged");

    while (!Quit && !StopSignal) {
        const auto now = Clock::now();
        if (UnplugAt && now >= *UnplugAt) {
            UnplugAt.reset();
            Unplug();
            PlugAt = now + Opts.ResetDelay;
        }
        if (PlugAt && now >= *PlugAt) {
            PlugAt.reset();
            Plug();
        }
        if (WaitingForNode) {
            if (auto node = Board.FindHidrawNode(); node && Board.Running()) {
                WaitingForNode = false;
                Say("ready " + *node);
            } else if (now - PlugInTime > 10s) {
                WaitingForNode = false;
                Say("error no hidraw node appeared (is hid_generic loaded?)");
            }
        }

        int timeout = -1;
        auto until = [&](Clock::time_point when) {
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
            const int t = static_cast<int>(std::clamp<long long>(ms, 0, 60000));
            timeout = timeout < 0 ? t : std::min(timeout, t);
        };
        if (UnplugAt)
            until(*UnplugAt);
        if (PlugAt)
            until(*PlugAt);
        if (WaitingForNode)
            until(now + 5ms);  // device nodes appear asynchronously: look again soon

        pollfd fds[4];
        int count = 0;
        fds[count++] = {Board.Fd(), POLLIN, 0};
        fds[count++] = {TimerFd, POLLIN, 0};
        const int stdinIndex = StdinOpen ? count : -1;
        if (StdinOpen)
            fds[count++] = {STDIN_FILENO, POLLIN, 0};
        const int controlIndex = ControlFd >= 0 ? count : -1;
        if (ControlFd >= 0)
            fds[count++] = {ControlFd, POLLIN, 0};

        const int ready = ::poll(fds, static_cast<nfds_t>(count), timeout);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            std::perror("kx5170-virtual-board: poll");
            return 1;
        }
        // The kernel's requests first: a feature request waits for the answer.
        if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
            for (int i = 0; i < 64 && (fds[0].revents & POLLIN); ++i) {
                if (!Board.HandleEvent()) {
                    std::perror("kx5170-virtual-board: /dev/uhid");
                    return 1;
                }
                pollfd again{Board.Fd(), POLLIN, 0};
                if (::poll(&again, 1, 0) <= 0)
                    break;
            }
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t expirations = 0;
            if (::read(TimerFd, &expirations, sizeof expirations) == sizeof expirations && !Held &&
                Board.Running() && !WaitingForNode) {
                for (std::uint64_t i = 0; i < std::min(expirations, MaxCatchUp); ++i)
                    SendNext();
            }
        }
        if (stdinIndex >= 0 && (fds[stdinIndex].revents & (POLLIN | POLLHUP | POLLERR))) {
            // At the end of standard input the board carries on (it may have been
            // started in the background); a signal or "quit" ends it.
            if (!ReadCommands(STDIN_FILENO, StdinPending))
                StdinOpen = false;
        }
        if (controlIndex >= 0 && (fds[controlIndex].revents & POLLIN))
            ReadCommands(ControlFd, ControlPending);
    }

    Unplug();
    if (LogFile)
        std::fclose(LogFile);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const auto options = ParseOptions(argc, argv);
    if (!options)
        return 2;

    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    VirtualBoard board(*options);
    return board.Run();
}
