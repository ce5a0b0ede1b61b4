// A thousand unplug and plug-in cycles with the window live: every cycle finds the
// board again, holds its two handles while it is there and none while it is gone, and
// leaves the heap no larger than it found it.
#include "window_fixture.h"

#include <QCoreApplication>

#include <malloc.h>

using namespace kx;

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

constexpr int Cycles = 1000, WarmUpCycles = 100;
// Far below one lost label text or handle per cycle over 900 cycles, above Qt's caches.
constexpr long long HeapGrowthAllowed = 24 * 1024;

static long long HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
#endif
}

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void unplugAndPlugIn()
    {
        WindowOnBoard f(0x0107);
        SimulatedDevice& board = *f.Board;
        frmMain& w = f.Load();
        long long heapAfterWarmUp = 0;
        for (int cycle = 0; cycle < Cycles; ++cycle) {
            f.Unplug();
            for (int tick = 0; tick <= cycle % 3; ++tick) {  // one to three ticks with nothing there
                f.Tick();
                QCOMPARE(board.OpenHandles(), 0);
            }

            f.PlugIn();
            f.Tick();
            QCOMPARE(board.OpenHandles(), 2);
            const auto position = static_cast<std::int16_t>(cycle * 37 % 8192 - 4096);
            f.Tick(position);
            QCOMPARE(f.V().Position->text(), QLatin1Char(' ') + QString::number(position));
            QCoreApplication::processEvents();

            // The test's own records would grow without end.
            board.Board->Log.clear();
            f.Platform.OpenedPaths.clear();
            if (cycle + 1 == WarmUpCycles)
                heapAfterWarmUp = HeapInUse();
        }

        const long long growth = HeapInUse() - heapAfterWarmUp;
        QVERIFY2(growth < HeapGrowthAllowed, qPrintable(QStringLiteral("the heap grew by %1 bytes").arg(growth)));
        // Closed twice, each handle is closed once.
        w.close();
        w.close();
        QCOMPARE(board.ClosesTotal, board.OpensTotal);
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
