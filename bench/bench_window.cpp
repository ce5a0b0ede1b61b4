// kx5170-bench-window: the configuration window on the hidapi backend, as
// kx5170-config runs it, timing what it shows against kx5170-bench-board.
//
//   kx5170-bench-window --shared FILE [--seconds N]
//   kx5170-bench-window --socket-board RATE [--seconds N]
//
// The first reads kx5170-bench-board's report times from FILE. The second, for a
// machine without /dev/uhid, runs the window on a board whose reports come through a
// socket from a child process at RATE a second (socket_board.h).
//
// After every tick of the window's Timer it reads the position shown, looks up when
// the board sent that report, and keeps the age. It prints, one a line:
//   start_to_filled_ms  from KX_BENCH_T0_NS (set by kx5170-bench-launch) to the
//                       twelve boxes holding the board's settings, when the board was
//                       there at the start
//   plug_to_loaded_ms   from the board being plugged in to the twelve boxes filled,
//   node_to_loaded_ms   and from its hidraw node appearing, when it came later;
//   node_to_tick_ms     of which: waiting for the tick that loaded it,
//   tick_load_ms        and that tick's own work
//   age_median_ms, age_p99_ms, ticks   the age of the position shown at each tick
//   cpu_pct             this process's CPU while the position streams
#include "clock.h"
#include "socket_board.h"

#include "frm_main.h"
#include "hidapi_backend.h"

#include "../app/application.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using kxbench::NowNs;

namespace {

double Ms(std::uint64_t ns)
{
    return static_cast<double>(ns) / 1e6;
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

bool BoxesFilled(frmMain& w)
{
    for (QLineEdit* box : {w.Slimit, w.Homing, w.Stiff, w.Damp, w.TDamp, w.DampingScale, w.OverallScale, w.TInertia,
                           w.TFriction, w.MotorFilter, w.InputFilter, w.Spring}) {
        bool number = false;
        box->text().toInt(&number);
        if (!number)
            return false;
    }
    return true;
}

class TickWatch : public QObject {
public:
    explicit TickWatch(std::function<void()> onTick) : OnTick(std::move(onTick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer)
            OnTick();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> OnTick;
};

}  // namespace

int main(int argc, char* argv[])
{
    const std::uint64_t launched = kxbench::LaunchNs();
    std::string sharedPath;
    int socketRate = 0;
    double seconds = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view a = argv[i];
        if (a == "--shared")
            sharedPath = argv[i + 1];
        else if (a == "--socket-board")
            socketRate = std::atoi(argv[i + 1]);
        else if (a == "--seconds")
            seconds = std::atof(argv[i + 1]);
    }

    // The socket board's sender is forked before Qt starts any thread.
    std::unique_ptr<kx::HidPlatform> platform;
    const kxbench::SharedTimes* times = nullptr;
    if (socketRate > 0 && socketRate <= 1000) {
        kxbench::SharedTimes* const shared = kxbench::AnonymousSharedTimes();
        times = shared;
        if (shared)
            platform = std::make_unique<kxbench::SocketBoardPlatform>(shared, socketRate);
    } else if (!sharedPath.empty()) {
        times = kxbench::MapSharedTimes(sharedPath, false);
        platform = kx::MakeHidapiPlatform();
    }
    if (!times || times->Magic.load() != kxbench::SharedTimes::Tag || seconds <= 0) {
        std::fprintf(stderr, "usage: kx5170-bench-window --shared FILE | --socket-board RATE [--seconds N]\n");
        return 2;
    }

    QApplication app(argc, argv);
    kx::SetApplicationMetadata();
    auto window = std::make_unique<frmMain>(*platform);
    frmMain& w = *window;

    std::vector<double> ages;
    std::uint64_t filledAt = 0;
    bool filledAtStart = false;
    std::uint64_t cpuFromNs = 0, cpuFrom = 0;
    const std::string self = std::to_string(QCoreApplication::applicationPid());

    // Sees each tick's timer event before the window's slot runs.
    std::uint64_t tickStart = 0, loadingTickStart = 0;
    TickWatch watch([&] { tickStart = NowNs(); });
    w.Timer->installEventFilter(&watch);

    // Connected after the window's own slot, so it runs just after each tick.
    QObject::connect(w.Timer, &QTimer::timeout, [&] {
        const std::uint64_t now = NowNs();
        if (!filledAt && BoxesFilled(w)) {
            filledAt = now;
            loadingTickStart = tickStart;
        }
        // The streaming is measured from a second after the load.
        if (filledAt && !cpuFromNs && now - filledAt > 1'000'000'000u) {
            cpuFromNs = now;
            cpuFrom = kxbench::ProcessCpuNs(self);
        }
        bool ok = false;
        const int shown = w.Position->text().trimmed().toInt(&ok);
        if (!ok)
            return;
        const std::uint64_t sent = times->SentNs[static_cast<std::uint16_t>(shown)].load();
        if (sent && sent <= now && now - sent < 60'000'000'000u)
            ages.push_back(Ms(now - sent));
    });

    w.Form_Load();
    if (BoxesFilled(w)) {
        filledAt = NowNs();
        filledAtStart = true;
    }

    QTimer::singleShot(static_cast<int>(seconds * 1000), [&] {
        const std::uint64_t now = NowNs();
        const std::uint64_t cpuTo = kxbench::ProcessCpuNs(self);
        if (filledAtStart && launched)
            std::printf("start_to_filled_ms=%.1f\n", Ms(filledAt - launched));
        const std::uint64_t plugged = times->PlugNs.load(), node = times->NodeNs.load();
        if (filledAt && !filledAtStart && plugged && node) {
            std::printf("plug_to_loaded_ms=%.1f\n", Ms(filledAt - plugged));
            std::printf("node_to_loaded_ms=%.1f\n", Ms(filledAt - node));
            // The board sees its node up to a millisecond late: the wait can come out
            // slightly negative.
            if (loadingTickStart) {
                std::printf("node_to_tick_ms=%.1f\n", (static_cast<double>(loadingTickStart) - static_cast<double>(node)) / 1e6);
                std::printf("tick_load_ms=%.1f\n", Ms(filledAt - loadingTickStart));
            }
        }
        if (!filledAt)
            std::printf("error=the board was never loaded\n");
        if (!ages.empty()) {
            std::printf("age_median_ms=%.2f\nage_p99_ms=%.2f\nticks=%zu\n", Percentile(ages, 50), Percentile(ages, 99),
                        ages.size());
        }
        if (cpuFromNs && now > cpuFromNs)
            std::printf("cpu_pct=%.3f\n", 100.0 * static_cast<double>(cpuTo - cpuFrom) / static_cast<double>(now - cpuFromNs));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    const int status = app.exec();
    window.reset();  // every handle closed before hidapi shuts down
    return status;
}
