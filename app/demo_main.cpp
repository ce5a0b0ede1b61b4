// kx5170-config-demo: the same window on a simulated board, for trying the program
// without hardware. The simulated wheel sweeps slowly from side to side.
#include "application.h"
#include "frm_main.h"
#include "session_worker.h"
#include "simulated_hid.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cmath>
#include <numbers>

int main(int argc, char* argv[])
{
    const char* const description = kx::DemoDescription;
    kx::AnswerOnTerminal(argc, argv, description);
    QApplication app(argc, argv);
    kx::SetApplicationMetadata();
    const QString file = kx::ReadCommandLine(app, description);

    kx::SimulatedHidPlatform platform;
    platform.RealPauses = true;
    platform.AddOtherInterface(0x046D, 0xC31C);
    kx::SimulatedDevice& board = platform.AddBoard(0x5E11, 0x0107);
    // A write resets it as a real board resets: away, and back a second later.
    board.Resets = kx::SimulatedDevice::ResetTiming{};

    // Half a turn either way, once every eight seconds, 100 reports a second.
    QElapsedTimer clock;
    clock.start();
    QTimer wheel;
    QObject::connect(&wheel, &QTimer::timeout, [&] {
        const double phase = 2.0 * std::numbers::pi * static_cast<double>(clock.elapsed()) / 8000.0;
        board.SendPosition(static_cast<std::int16_t>(std::lround(4096.0 * std::sin(phase))));
    });
    wheel.start(10);

    frmMain window(std::make_unique<kx::SessionWorker>(platform));
    window.SetIdleStatus(QCoreApplication::translate("Application", "Simulated board: nothing is written to a real board"));
    window.SetAboutPlatform(QCoreApplication::translate("Application", "a simulated board"));
    if (!file.isEmpty())
        window.OpenWhenLoaded(file);
    return kx::RunWindow(app, window);
}
