// kx5170ctl on the real board, through hidapi, or on a simulated one with --demo.
#include "ctl.h"
#include "hidapi_backend.h"
#include "simulated_hid.h"
#include "user_language.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <termios.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <chrono>
#include <cmath>
#include <numbers>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

extern char** environ;

namespace {

volatile std::sig_atomic_t StopSignal = 0;

void OnStopSignal(int signal)
{
    StopSignal = signal;
}

constexpr int StopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The stop signals this program may hold and take: those it was not started to ignore
// (nohup), which stay ignored, for the command as well.
sigset_t HeldSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : StopSignals) {
        struct sigaction current {};
        sigaction(signal, nullptr, &current);
        if (current.sa_handler != SIG_IGN)
            sigaddset(&set, signal);
    }
    return set;
}

sigset_t StartMask;  // as this program was started; the command starts with it

void HoldSignals(bool hold)
{
    const sigset_t held = HeldSignals();
    if (hold) {
        sigprocmask(SIG_BLOCK, &held, nullptr);
        return;
    }
    // A signal that was blocked when the program started stays blocked.
    sigset_t release;
    sigemptyset(&release);
    for (int signal : StopSignals)
        if (sigismember(&held, signal) && !sigismember(&StartMask, signal))
            sigaddset(&release, signal);
    sigprocmask(SIG_UNBLOCK, &release, nullptr);
}

// Every stop signal waiting while held, taken; the first of them.
int TakeStopSignal()
{
    const sigset_t held = HeldSignals();
    int first = 0;
    timespec now{0, 0};
    siginfo_t info{};
    for (int signal; (signal = sigtimedwait(&held, &info, &now)) > 0;)
        first = first ? first : signal;
    return first;
}

// Whether this program runs in the foreground of a terminal: the terminal's own
// signals (Ctrl+C, a hang-up) then reach the whole group, the command included.
bool InTerminalForeground()
{
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        const pid_t group = tcgetpgrp(fd);
        if (group >= 0)
            return group == getpgrp();
    }
    return false;
}

// Called with the stop signals held: nothing that arrives from the spawn on can be
// lost, and each is taken here, synchronously, with no handler to race the spawn.
//
// In the foreground of a terminal the command stays in this program's process group,
// so that it has the terminal: a signal the terminal sent (Ctrl+C) has reached it
// already and is not sent again, and one sent to this program by another is passed
// on. Anywhere else (a game launcher, a background job) the command gets a process
// group of its own, so that a signal sent to this program's group reaches it only
// through this program, once, and is passed on to the command's whole group as the
// terminal would. A signal that its sender gives to every process on its own (systemd
// ending a session) reaches the command both ways.
int RunChild(const QStringList& command)
{
    std::vector<std::string> words;
    for (const QString& word : command)
        words.push_back(word.toLocal8Bit().toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    // The command's end is taken as a signal too; a parent that ignores SIGCHLD would
    // have the system reap the command before its status could be read.
    struct sigaction childAction {}, previousChild {};
    childAction.sa_handler = SIG_DFL;
    sigemptyset(&childAction.sa_mask);
    sigaction(SIGCHLD, &childAction, &previousChild);
    sigset_t waited = HeldSignals(), previousMask;
    sigaddset(&waited, SIGCHLD);
    sigprocmask(SIG_BLOCK, &waited, &previousMask);

    const bool sameGroup = InTerminalForeground();
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigmask(&attributes, &StartMask);
    short flags = POSIX_SPAWN_SETSIGMASK;
    if (!sameGroup) {
        posix_spawnattr_setpgroup(&attributes, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    posix_spawnattr_setflags(&attributes, flags);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);

    int status = 127;
    if (error != 0) {
        std::cerr << "kx5170ctl: "
                  << QCoreApplication::translate("kx5170ctl", "cannot run %1: %2")
                         .arg(QString::fromLocal8Bit(words[0]), QString::fromLocal8Bit(std::strerror(error)))
                         .toStdString()
                  << '\n'
                  << std::flush;
        status = error == ENOENT ? 127 : 126;
    } else {
        int raw = 0;
        for (;;) {
            const pid_t ended = waitpid(pid, &raw, WNOHANG);
            if (ended == pid || (ended < 0 && errno != EINTR))
                break;
            // The wait is bounded so that a SIGCHLD merged with an earlier one cannot
            // leave it waiting.
            timespec bound{0, 200'000'000};
            siginfo_t info{};
            const int signal = sigtimedwait(&waited, &info, &bound);
            if (signal <= 0 || signal == SIGCHLD)
                continue;
            if (sameGroup && info.si_code == SI_KERNEL)
                continue;
            kill(sameGroup ? pid : -pid, signal);
        }
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : 127;
    }
    sigprocmask(SIG_SETMASK, &previousMask, nullptr);
    sigaction(SIGCHLD, &previousChild, nullptr);
    return status;
}

// The demo board's settings, kept between commands in the login's runtime folder so
// that a run's command sees what run put on the board, and the next command what it
// left. Nothing is kept where there is no such folder.
std::filesystem::path DemoFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime == '/' ? std::filesystem::path(runtime) / "kx5170-demo" : std::filesystem::path();
}

std::vector<std::uint8_t> LoadDemoSettings(const std::filesystem::path& folder, std::vector<std::uint8_t> current)
{
    if (folder.empty())
        return current;
    QFile file(QString::fromStdString((folder / "board-settings").string()));
    if (!file.open(QIODevice::ReadOnly))
        return current;
    const QByteArray bytes = QByteArray::fromHex(file.read(4 * 4096));
    if (static_cast<std::size_t>(bytes.size()) != current.size())
        return current;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void SaveDemoSettings(const std::filesystem::path& folder, const std::vector<std::uint8_t>& settings)
{
    if (folder.empty())
        return;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    QSaveFile file(QString::fromStdString((folder / "board-settings").string()));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QByteArray(reinterpret_cast<const char*>(settings.data()), static_cast<qsizetype>(settings.size())).toHex());
        file.commit();
    }
}

bool DemoAsked(int argc, char** argv)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (std::strcmp(argv[i], "--demo") == 0)
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kx5170ctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KX_VERSION));
    kx::InstallUserLanguage();

    sigprocmask(SIG_SETMASK, nullptr, &StartMask);
    kx::CtlEnvironment environment{std::cout, std::cerr, std::cin};
    std::unique_ptr<kx::HidPlatform> platform;
    kx::SimulatedDevice* demoBoard = nullptr;
    const std::filesystem::path demoFolder = DemoFolder();
    std::vector<std::uint8_t> demoSaved;
    std::unique_ptr<QTemporaryDir> demoScratch;
    if (DemoAsked(argc, argv)) {
        // The board the window's demo shows, which resets and comes back as a real one.
        auto simulated = std::make_unique<kx::SimulatedHidPlatform>();
        simulated->RealPauses = true;
        simulated->AddOtherInterface(0x046D, 0xC31C);
        kx::SimulatedDevice& board = simulated->AddBoard(0x5E11, 0x0107);
        board.Resets = kx::SimulatedDevice::ResetTiming{};
        board.Board->Settings = demoSaved = LoadDemoSettings(demoFolder, board.Board->Settings);
        demoBoard = &board;
        // A run on the demo board is kept apart from the real boards' (which may have the
        // demo's serial number). Without a runtime folder the board lives as long as this
        // process, and so does what run saves of it.
        if (demoFolder.empty())
            demoScratch = std::make_unique<QTemporaryDir>();
        environment.JournalFolder =
            demoScratch ? std::filesystem::path(demoScratch->path().toStdString()) : demoFolder / "journal";
        // As in the window's demo: half a turn either way once every eight seconds, so
        // that watch has a wheel to follow.
        simulated->OnPause = [&board, start = std::chrono::steady_clock::now()](std::chrono::milliseconds) {
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            board.SendPosition(static_cast<std::int16_t>(std::lround(4096.0 * std::sin(2.0 * std::numbers::pi * seconds / 8.0))));
        };
        platform = std::move(simulated);
        environment.Doctor.Probe = false;
    } else {
        platform = kx::MakeHidapiPlatform();
    }
    // Interrupting a watch ends it between two ticks, with the board's handles closed
    // and status 0: that is how a watch is meant to end.
    environment.WatchStarting = [] {
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    };
    environment.StopRequested = [] { return StopSignal != 0; };
    // Held, not ignored: a signal that arrives during the write is delivered once the
    // board has its settings and has reset, and ends the program as it would have.
    environment.HoldSignals = HoldSignals;
    environment.TakeStopSignal = TakeStopSignal;
    environment.RunChild = [&](const QStringList& command) {
        if (!demoBoard)
            return RunChild(command);
        // The command may be another demo command: it sees the board as it is now, and
        // what it changes is taken back.
        SaveDemoSettings(demoFolder, demoBoard->Board->Settings);
        const int status = RunChild(command);
        demoBoard->Board->Settings = demoSaved = LoadDemoSettings(demoFolder, demoBoard->Board->Settings);
        return status;
    };
    const int status = kx::RunCtl(QCoreApplication::arguments(), *platform, environment);
    if (demoBoard && demoBoard->Board->Settings != demoSaved)
        SaveDemoSettings(demoFolder, demoBoard->Board->Settings);
    return status;
}
