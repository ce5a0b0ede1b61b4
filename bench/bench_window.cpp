// kx5170-bench-window: the configuration window on the hidapi backend, as
// kx5170-config runs it, timing what it shows against kx5170-bench-board.
//
//   kx5170-bench-window --shared FILE [--seconds N]
//   kx5170-bench-window --socket-board RATE [--plug-after MS] [--seconds N]
//
// The first reads kx5170-bench-board's report times from FILE. The second, for a
// machine without /dev/uhid, runs the window on a board whose reports come through a
// socket from a child process at RATE a second (socket_board.h), plugged in MS after
// the start when asked.
//
// After every tick of the window's Timer it reads the position shown, looks up when
// the board sent that report, and keeps the age. It prints, one a line:
//   start_to_filled_ms  from KX_BENCH_T0_NS (set by kx5170-bench-launch) to the
//                       twelve boxes holding the board's settings, when the board was
//                       there at the start
//   plug_to_loaded_ms   from the board being plugged in to the twelve boxes filled,
//   node_to_loaded_ms   and from its hidraw node appearing, when it came later;
//   plug_to_node_ms     the kernel's part: from plugged in to the node appearing;
//   node_to_search_ms   of which: until the search that found it began,
//   search_to_loaded_ms and that search and the load
//   age_median_ms, age_p99_ms, ticks   the age of the position shown at each tick
//   cpu_pct             this process's CPU while the position streams
// "Filled" is taken when the window's thread is next about to wait, whatever woke it
// (a tick, or the watcher's news), so the load is timed to its end, not to a tick.
#include "clock.h"
#include "socket_board.h"

#include "frm_main.h"
#include "hidapi_backend.h"
#include "session_worker.h"

#include "../app/application.h"

#include <QAbstractEventDispatcher>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
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

// Passes everything through, noting when each listing of the interfaces began.
class SearchClock final : public kx::HidPlatform {
public:
    explicit SearchClock(std::unique_ptr<kx::HidPlatform> inner) : Inner(std::move(inner)) {}
    std::vector<kx::HidInterfaceInfo> EnumerateInterfaces() override
    {
        LastSearchNs = NowNs();
        return Inner->EnumerateInterfaces();
    }
    kx::OpenResult Open(const std::string& path, kx::OpenMode mode) override { return Inner->Open(path, mode); }
    std::optional<std::vector<std::uint8_t>> ReportDescriptor(const std::string& path) override
    {
        return Inner->ReportDescriptor(path);
    }
    void Pause(std::chrono::milliseconds duration) override { Inner->Pause(duration); }
    std::chrono::steady_clock::time_point Now() const override { return Inner->Now(); }
    bool InterfacesMayHaveChanged() override { return Inner->InterfacesMayHaveChanged(); }
    int ChangeNotificationFd() const override { return Inner->ChangeNotificationFd(); }

    std::uint64_t LastSearchNs = 0;

private:
    std::unique_ptr<kx::HidPlatform> Inner;
};

bool BoxesFilled(frmMain& w)
{
    for (const char* name : {"Slimit", "Homing", "Stiff", "Damp", "TDamp", "DampingScale", "OverallScale", "TInertia",
                             "TFriction", "MotorFilter", "InputFilter", "Spring"}) {
        const QLineEdit* box = w.findChild<QLineEdit*>(QLatin1String(name));
        bool number = false;
        box->text().toInt(&number);
        if (!number)
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    const std::uint64_t launched = kxbench::LaunchNs();
    std::string sharedPath;
    int socketRate = 0;
    long plugAfterMs = -1;
    double seconds = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view a = argv[i];
        if (a == "--shared")
            sharedPath = argv[i + 1];
        else if (a == "--socket-board")
            socketRate = std::atoi(argv[i + 1]);
        else if (a == "--plug-after")
            plugAfterMs = std::atol(argv[i + 1]);
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
            platform = std::make_unique<kxbench::SocketBoardPlatform>(shared, socketRate, plugAfterMs);
    } else if (!sharedPath.empty()) {
        times = kxbench::MapSharedTimes(sharedPath, false);
        platform = kx::MakeHidapiPlatform();
    }
    if (!times || times->Magic.load() != kxbench::SharedTimes::Tag || seconds <= 0) {
        std::fprintf(stderr, "usage: kx5170-bench-window --shared FILE | --socket-board RATE [--plug-after MS] [--seconds N]\n");
        return 2;
    }
    SearchClock searches(std::move(platform));

    QApplication app(argc, argv);
    kx::SetApplicationMetadata();
    auto window = std::make_unique<frmMain>(std::make_unique<kx::SessionWorker>(searches));
    frmMain& w = *window;

    std::vector<double> ages;
    std::uint64_t filledAt = 0;
    bool filledAtStart = false;
    std::uint64_t cpuFromNs = 0, cpuFrom = 0;
    const std::string self = std::to_string(QCoreApplication::applicationPid());

    // The thread handles what woke it and is about to wait again: a load ends there,
    // whichever handler ran it.
    std::uint64_t loadSearchNs = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, [&] {
        if (!filledAt && BoxesFilled(w)) {
            filledAt = NowNs();
            loadSearchNs = searches.LastSearchNs;
        }
    });

    // Connected after the window's own slot, so it runs just after each position shown.
    const QLabel* position = w.findChild<QLabel*>(QStringLiteral("Position"));
    QObject::connect(&w.Session(), &kx::SessionWorker::PositionRead, &w, [&] {
        const std::uint64_t now = NowNs();
        // The streaming is measured from a second after the load.
        if (filledAt && !cpuFromNs && now - filledAt > 1'000'000'000u) {
            cpuFromNs = now;
            cpuFrom = kxbench::ProcessCpuNs(self);
        }
        bool ok = false;
        const int shown = position->text().trimmed().toInt(&ok);
        if (!ok)
            return;
        const std::uint64_t sent = times->SentNs[static_cast<std::uint16_t>(shown)].load();
        if (sent && sent <= now && now - sent < 60'000'000'000u)
            ages.push_back(Ms(now - sent));
    });

    w.RunSessionOnThread();
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
            std::printf("plug_to_node_ms=%.1f\n", (static_cast<double>(node) - static_cast<double>(plugged)) / 1e6);
            // The board sees its node up to a millisecond late: the wait can come out
            // slightly negative.
            if (loadSearchNs) {
                std::printf("node_to_search_ms=%.1f\n", (static_cast<double>(loadSearchNs) - static_cast<double>(node)) / 1e6);
                std::printf("search_to_loaded_ms=%.1f\n", Ms(filledAt - loadSearchNs));
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
    w.FinishSession(std::chrono::seconds(10));
    window.reset();  // every handle closed before hidapi shuts down
    return status;
}
