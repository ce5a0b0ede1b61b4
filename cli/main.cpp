// kx5170ctl on the real board, through hidapi.
#include "ctl.h"
#include "hidapi_backend.h"

#include <QCoreApplication>

#include <csignal>
#include <iostream>

namespace {

volatile std::sig_atomic_t StopSignal = 0;

void OnStopSignal(int signal)
{
    StopSignal = signal;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kx5170ctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KX_VERSION));

    const std::unique_ptr<kx::HidPlatform> platform = kx::MakeHidapiPlatform();
    kx::CtlEnvironment environment{std::cout, std::cerr, std::cin};
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
    return kx::RunCtl(QCoreApplication::arguments(), *platform, environment);
}
