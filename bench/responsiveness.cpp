// kx5170-bench-responsiveness: how long the window's event loop stands still while the
// board is loaded, on the simulated board with its pauses in real time.
//
//   kx5170-bench-responsiveness [--answer-late MS] [--on-window-thread]
//
// --answer-late MS: the board answers each feature request MS late, as a busy board
// does. --on-window-thread: the session runs on the window's own thread, as the program
// once did, for comparison. Prints, one a line:
//   longest_gap_ms  the longest time between two turns of the window's event loop,
//                   from the window shown to the twelve boxes filled
//   load_ms         from the window shown to the twelve boxes filled
#include "frm_main.h"
#include "session_worker.h"
#include "simulated_hid.h"

#include "../app/application.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <string_view>

int main(int argc, char* argv[])
{
    int answerLate = 0;
    bool onWindowThread = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--answer-late" && i + 1 < argc)
            answerLate = std::atoi(argv[++i]);
        else if (a == "--on-window-thread")
            onWindowThread = true;
    }
    QApplication app(argc, argv);
    kx::SimulatedHidPlatform platform;
    platform.RealPauses = true;
    kx::SimulatedDevice& board = platform.AddBoard();
    board.RequestDelay = std::chrono::milliseconds(answerLate);

    frmMain window(std::make_unique<kx::SessionWorker>(platform));
    if (!onWindowThread)
        window.RunSessionOnThread();
    const QLineEdit* spring = window.findChild<QLineEdit*>(QStringLiteral("Spring"));

    QElapsedTimer clock;
    qint64 last = 0, longest = 0, loaded = -1;
    // A timer of no interval fires at every turn of the event loop.
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (loaded < 0 && spring->isEnabled()) {
            loaded = now;
            QCoreApplication::quit();
        }
    });
    QTimer::singleShot(60000, [] { QCoreApplication::quit(); });
    clock.start();
    turn.start(0);
    window.Form_Load();
    app.exec();
    std::printf("longest_gap_ms=%lld\nload_ms=%lld\n", static_cast<long long>(longest), static_cast<long long>(loaded));
    std::fflush(stdout);
    if (!window.FinishSession(std::chrono::seconds(30)))
        std::_Exit(0);
    return loaded < 0 ? 1 : 0;
}
