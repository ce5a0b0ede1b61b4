// A thousand unplug and plug-in cycles with the window live: every cycle must find the
// board again, hold exactly its two handles while it is there and none while it is
// gone, and leave the heap no larger than it found it.
#include "window_fixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <malloc.h>

#include <cstdio>

using namespace kx;

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

constexpr int Cycles = 1000;
constexpr int WarmUpCycles = 100;
// Far below what a single lost label text or handle per cycle would add up to over
// the 900 measured cycles, and above the noise of Qt's own caches.
constexpr long long HeapGrowthAllowed = 24 * 1024;

// Bytes handed out by the allocator and not yet freed.
long long HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
#endif
}

long long ResidentKiB()
{
    long pages = 0, resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * 4;
}

}  // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void unplugAndPlugIn();
};

void TestSoak::unplugAndPlugIn()
{
    WindowOnBoard f(0x0107);
    frmMain& w = f.W();
    SimulatedDevice& board = *f.Board;
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);

    long long heapAfterWarmUp = 0, residentAfterWarmUp = 0;
    int cycle = 0;
    for (; cycle < Cycles; ++cycle) {
        f.Platform.Unplug(board);
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
        QCOMPARE(f.Platform.OpenHandles(), 0);
        QVERIFY(!w.Go->isEnabled());
        QVERIFY(w.lblManuf->text().isEmpty());
        QVERIFY(w.Position->text().isEmpty());
        // A tick or two with nothing there.
        for (int idle = 0; idle < cycle % 3; ++idle)
            w.Timer_Timer();

        f.Platform.PlugIn(board);
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QCOMPARE(f.Platform.OpenHandles(), 2);
        QCOMPARE(board.OpensTotal - board.ClosesTotal, 2);
        QVERIFY(w.Go->isEnabled());
        QCOMPARE(w.Slimit->text(), QStringLiteral("5000"));
        QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" KX5170-000123"));

        // Live: the wheel turns and the window follows it.
        const auto position = static_cast<std::int16_t>(cycle * 37 % 8192 - 4096);
        board.SendPosition(position);
        w.DrainInput();
        w.Timer_Timer();
        QCOMPARE(w.Position->text(), QLatin1Char(' ') + QString::number(position));
        QVERIFY(!w.Degrees->text().isEmpty());
        QCoreApplication::processEvents();

        // The test's own records of what the board saw would grow without end.
        board.Board->Log.clear();
        f.Platform.OpenedPaths.clear();

        if (cycle + 1 == WarmUpCycles) {
            heapAfterWarmUp = HeapInUse();
            residentAfterWarmUp = ResidentKiB();
        }
    }
    QCOMPARE(cycle, Cycles);
    QCOMPARE(board.OpensTotal, 2 * (Cycles + 1));

    const long long growth = HeapInUse() - heapAfterWarmUp;
    qInfo("soak cycles: %d, heap growth over the last %d: %lld bytes, resident %lld KiB -> %lld KiB", Cycles,
          Cycles - WarmUpCycles, growth, residentAfterWarmUp, ResidentKiB());
    QVERIFY2(growth < HeapGrowthAllowed, qPrintable(QStringLiteral("the heap grew by %1 bytes").arg(growth)));

    f.Platform.Unplug(board);
    w.Timer_Timer();
    QCOMPARE(f.Platform.OpenHandles(), 0);
    f.Platform.PlugIn(board);
    w.Timer_Timer();
    w.close();
    QCOMPARE(f.Platform.OpenHandles(), 0);
    QCOMPARE(board.OpensTotal, board.ClosesTotal);
}

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
