// kx5170ctl on the real board, through hidapi, or on a simulated one with --demo.
#include "ctl.h"
#include "hidapi_backend.h"
#include "simulated_hid.h"
#include "user_language.h"

#include <QCoreApplication>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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
volatile pid_t Child = 0;

void OnStopSignal(int signal)
{
    StopSignal = signal;
}

// While run's command runs. Ctrl+C at the terminal reaches the command by itself (it
// is in the terminal's foreground group too), and a second copy would tell many a
// game to quit at once; a signal sent to this program alone is passed on.
void ForwardSignal(int signal, siginfo_t* info, void*)
{
    if (Child > 0 && info && info->si_code != SI_KERNEL)
        kill(Child, signal);
}

int RunChild(const QStringList& command)
{
    std::vector<std::string> words;
    for (const QString& word : command)
        words.push_back(word.toLocal8Bit().toStdString());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    constexpr int Forwarded[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction previous[3];
    for (int i = 0; i < 3; ++i) {
        sigaction(Forwarded[i], nullptr, &previous[i]);
        // A signal this program was started to ignore (nohup) stays ignored, for the
        // command as well.
        if (previous[i].sa_handler == SIG_IGN)
            continue;
        struct sigaction forward {};
        forward.sa_sigaction = ForwardSignal;
        forward.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&forward.sa_mask);
        sigaction(Forwarded[i], &forward, nullptr);
    }

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);

    int status = 127;
    if (error != 0) {
        std::cerr << "kx5170ctl: cannot run " << words[0] << ": " << std::strerror(error) << '\n' << std::flush;
        status = error == ENOENT ? 127 : 126;
    } else {
        Child = pid;
        int raw = 0;
        while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
        }
        Child = 0;
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : 127;
    }
    for (int i = 0; i < 3; ++i)
        sigaction(Forwarded[i], &previous[i], nullptr);
    return status;
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

    kx::CtlEnvironment environment{std::cout, std::cerr, std::cin};
    std::unique_ptr<kx::HidPlatform> platform;
    if (DemoAsked(argc, argv)) {
        // The board the window's demo shows, which resets and comes back as a real one.
        auto simulated = std::make_unique<kx::SimulatedHidPlatform>();
        simulated->RealPauses = true;
        simulated->AddOtherInterface(0x046D, 0xC31C);
        kx::SimulatedDevice& board = simulated->AddBoard(0x5E11, 0x0107);
        board.Resets = kx::SimulatedDevice::ResetTiming{};
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
    environment.HoldSignals = [](bool hold) {
        sigset_t stops;
        sigemptyset(&stops);
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&stops, signal);
        sigprocmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &stops, nullptr);
    };
    environment.RunChild = RunChild;
    return kx::RunCtl(QCoreApplication::arguments(), *platform, environment);
}
