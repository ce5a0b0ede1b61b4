// The live position and the supervision of the link, tick by tick.
#include "window_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

using namespace kx;

namespace {

// Change news through a descriptor, as the hidapi backend gives it.
class AnnouncingPlatform : public SimulatedHidPlatform {
public:
    AnnouncingPlatform() { QCOMPARE(::pipe2(Pipe, O_NONBLOCK | O_CLOEXEC), 0); }
    ~AnnouncingPlatform() override
    {
        ::close(Pipe[0]);
        ::close(Pipe[1]);
    }
    int ChangeNotificationFd() const override { return Watching ? Pipe[0] : -1; }
    bool InterfacesMayHaveChanged() override
    {
        if (GiveUpAtNextCall)
            Watching = false;
        if (!Watching)
            return true;
        char news[64];
        while (::read(Pipe[0], news, sizeof news) > 0) {
        }
        return SimulatedHidPlatform::InterfacesMayHaveChanged();
    }
    void Announce() { QCOMPARE(::write(Pipe[1], "+", 1), 1); }

    // As the watcher does when its watch is lost: the descriptor is no longer news.
    bool GiveUpAtNextCall = false;

private:
    int Pipe[2] = {-1, -1};
    bool Watching = true;
};

}  // namespace

class TestPositionMonitor : public QObject {
    Q_OBJECT

private slots:
    void positionAndDegrees_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("degrees");
        QTest::newRow("4660 type 1") << 1 << 4660 << " 204.8";
        QTest::newRow("4660 type 2") << 2 << 4660 << " 167.8";
        QTest::newRow("4660 type 3") << 3 << 4660 << " 167.8";
        QTest::newRow("-1 type 1") << 1 << -1 << " 0";
        QTest::newRow("-32768 type 1") << 1 << -32768 << " -1440";
        QTest::newRow("-32768 type 2") << 2 << -32768 << " -1179.6";
        QTest::newRow("one turn type 1") << 1 << 8192 << " 360";
        QTest::newRow("one turn type 2") << 2 << 10000 << " 360";
        QTest::newRow("quarter type 1") << 1 << 2048 << " 90";
        QTest::newRow("11.25 goes up") << 1 << 256 << " 11.3";
        QTest::newRow("-11.25 goes up") << 1 << -256 << " -11.2";
        QTest::newRow("below one") << 1 << 12 << " 0.5";
        QTest::newRow("below minus one") << 1 << -12 << " -0.5";
    }

    void positionAndDegrees()
    {
        QFETCH(int, deviceType);
        QFETCH(int, position);
        QFETCH(QString, degrees);
        WindowOnBoard f(static_cast<std::uint16_t>(deviceType << 8));
        f.Load();
        f.Tick(static_cast<std::int16_t>(position));
        QCOMPARE(f.W().Position->text(), QLatin1Char(' ') + QString::number(position));
        QCOMPARE(f.W().Degrees->text(), degrees);
    }

    // Digits and minus as Position writes them; only the decimal separator is the
    // locale's, and no grouping.
    void degreesTakeOnlyTheLocaleSeparator_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("fraction");  // position 4660, type 2
        QTest::addColumn<QString>("negative");  // position -32768, type 2
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << " 167,8" << " -1179,6";
        QTest::newRow("Swedish: U+2212 minus") << QLocale(QLocale::Swedish, QLocale::Sweden) << " 167,8"
                                              << " -1179,6";
        QTest::newRow("Arabic: Arabic-Indic digits") << QLocale(QLocale::Arabic, QLocale::Egypt)
                                                    << QString::fromUtf16(u" 167\u066B8")
                                                    << QString::fromUtf16(u" -1179\u066B6");
        QTest::newRow("Persian: Persian digits") << QLocale(QLocale::Persian, QLocale::Iran)
                                                << QString::fromUtf16(u" 167\u066B8")
                                                << QString::fromUtf16(u" -1179\u066B6");
    }

    void degreesTakeOnlyTheLocaleSeparator()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, fraction);
        QFETCH(QString, negative);
        LocaleForTest scope(locale);
        WindowOnBoard f(0x0207);
        f.Load();
        f.Tick(4660);
        QCOMPARE(f.W().Degrees->text(), fraction);
        f.Tick(-32768);
        QCOMPARE(f.W().Degrees->text(), negative);
        QCOMPARE(f.W().Position->text(), QStringLiteral(" -32768"));
    }

    // The board's force-feedback state report (report 2, 3 bytes) comes between the
    // wheel's while a game drives it: read as a position it would show 769.
    void otherReportsNeverShowAsPosition()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        const auto state = f.Board->Board->MakeStateReport(0x01, 0x03);
        for (std::int16_t position : {1234, -5, 0}) {
            f.Board->SendPosition(position);
            f.Board->SendInputReport(state);
            w.DrainInput();
            f.Board->SendInputReport(state);
            w.Timer_Timer();
            QCOMPARE(w.Position->text(), QLatin1Char(' ') + QString::number(position));
            w.Timer_Timer();  // nothing new but a state report
            f.Board->SendInputReport(state);
            w.Timer_Timer();
            QCOMPARE(w.Position->text(), QLatin1Char(' ') + QString::number(position));
        }
    }

    void unknownTypeLeavesDegrees()
    {
        WindowOnBoard f(0x0401);
        frmMain& w = f.Load();
        w.Degrees->setText(QStringLiteral(" earlier"));
        f.Tick(4660);
        QCOMPARE(w.Position->text(), QStringLiteral(" 4660"));
        QCOMPARE(w.Degrees->text(), QStringLiteral(" earlier"));

        // The type was never read: the manufacturer string failed.
        WindowOnBoard g(0x0101);
        g.Board->FailStringRequests = 1;
        g.Load();
        g.Tick(100);
        QCOMPARE(g.W().Position->text(), QStringLiteral(" 100"));
        QCOMPARE(g.W().Degrees->text(), QString());
    }

    void newestReportIsShown()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        for (std::int16_t p : {10, 20, 30})
            f.Board->SendPosition(p);
        w.Timer_Timer();
        QCOMPARE(w.Position->text(), QStringLiteral(" 30"));

        // Nobody reads: the kernel keeps the first 63 and drops the rest, until drained.
        for (std::int16_t p = 1; p <= 100; ++p)
            f.Board->SendPosition(p);
        w.Timer_Timer();
        QCOMPARE(w.Position->text(), QStringLiteral(" 63"));
        f.Board->SendPosition(200);
        f.Tick(201);
        QCOMPARE(w.Position->text(), QStringLiteral(" 201"));
    }

    void streamingAtOneKilohertzStaysFresh()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        QVERIFY(w.InputDrain->isActive());
        const int drainEvery = w.InputDrain->interval(), tickEvery = w.Timer->interval();
        QVERIFY(drainEvery < 63);
        // The test's clock, one report a millisecond, each carrying its send time.
        int worstAge = 0, ticks = 0;
        for (int ms = 1; ms <= 3000; ++ms) {
            f.Board->SendPosition(static_cast<std::int16_t>(ms));
            if (ms % tickEvery == 0) {
                w.Timer_Timer();
                ++ticks;
                worstAge = std::max(worstAge, ms - w.Position->text().trimmed().toInt());
            } else if (ms % drainEvery == 0) {
                w.DrainInput();
            }
        }
        QCOMPARE(ticks, 30);
        QVERIFY2(worstAge <= 10, qPrintable(QString::number(worstAge)));
    }

    void stillWheelIsNotALostLink()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        f.Tick(512);
        w.Homing->setText(QStringLiteral("777"));
        const int enumerations = f.Platform.Enumerations;
        // Reports too short to hold a position are not decoded either.
        f.Board->SendInputReport(std::vector<std::uint8_t>{0x01, 0x34});
        for (int i = 0; i < 20; ++i)
            w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QCOMPARE(w.Position->text(), QStringLiteral(" 512"));
        QCOMPARE(w.Degrees->text(), QStringLiteral(" 22.5"));
        QCOMPARE(w.Homing->text(), QStringLiteral("777"));
        QVERIFY(w.Homing->isEnabled() && w.Go->isEnabled() && w.Timer->isActive());
        QCOMPARE(f.Platform.Enumerations, enumerations);
    }

    void unplugAndPlugBackIn()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        f.Tick(1000);
        w.TDamp->setText(QStringLiteral("99"));

        f.Unplug();
        const int enumerations = f.Platform.Enumerations;
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
        QVERIFY(w.Position->text().isEmpty() && w.Degrees->text().isEmpty());
        for (QLineEdit* box : f.Boxes())
            QVERIFY(!box->isEnabled());
        QVERIFY(!w.Go->isEnabled());
        QVERIFY(w.Frame1->isEnabled());
        QCOMPARE(w.TDamp->text(), QStringLiteral("99"));
        QCOMPARE(f.Platform.Enumerations, enumerations + 1);
        QVERIFY(w.lblManuf->text().isEmpty() && w.lblSerialNumber->text().isEmpty());
        QCOMPARE(f.Board->OpenHandles(), 0);
        QVERIFY(w.Timer->isActive());
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagFalse);

        f.PlugIn();
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QCOMPARE(w.TDamp->text(), QStringLiteral("20"));
        QVERIFY(w.Go->isEnabled());
        QCOMPARE(w.lblManuf->text(), QStringLiteral(" KX Motion"));
        QCOMPARE(f.Board->OpenHandles(), 2);
        f.Tick(-2048);
        QCOMPARE(w.Position->text(), QStringLiteral(" -2048"));
        QCOMPARE(w.Degrees->text(), QStringLiteral(" -90"));
    }

    void readErrorWhileConnectedReconnectsInTheSameTick()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        f.Tick(5);
        w.Stiff->setText(QStringLiteral("1"));
        // The handle breaks under the read, the board stays on the bus, and no news of
        // the change arrives.
        f.Platform.ChangeEventsLost = true;
        bool broken = false;
        f.Board->BeforeOperation = [&](SimulatedOperation op) {
            if (op == SimulatedOperation::ReadInput && !broken) {
                broken = true;
                f.Unplug();
                f.PlugIn();
            }
        };
        w.Timer_Timer();
        QVERIFY(broken);
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QCOMPARE(w.Stiff->text(), QStringLiteral("200"));
        QVERIFY(w.Stiff->isEnabled());
        QCOMPARE(w.Position->text(), QString());
        QCOMPARE(f.Board->OpenHandles(), 2);
        f.Tick(6);
        QCOMPARE(w.Position->text(), QStringLiteral(" 6"));
    }

    void readErrorBetweenTicksWaitsForTheTick()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        f.Tick(5);
        f.Unplug();
        w.DrainInput();
        QCOMPARE(w.Position->text(), QStringLiteral(" 5"));
        QVERIFY(w.Go->isEnabled());
        QVERIFY(!w.InputDrain->isActive());
        w.Timer_Timer();
        QCOMPARE(w.Position->text(), QString());
        QVERIFY(!w.Go->isEnabled());
    }

    void handlesAreNeverClosedTwice()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        for (int cycle = 0; cycle < 10; ++cycle) {
            f.Unplug();
            w.Timer_Timer();
            f.PlugIn();
            w.Timer_Timer();
        }
        QCOMPARE(f.Board->OpensTotal, 22);
        QCOMPARE(f.Board->ClosesTotal, 20);
        w.close();
        w.close();
        QCOMPARE(f.Board->ClosesTotal, 22);
    }

    void searchesOnlyWhenSomethingChanged()
    {
        WindowOnBoard f(0x0101, false);
        frmMain& w = f.Load();
        w.Timer_Timer();  // the change news of the start-up
        const int enumerations = f.Platform.Enumerations;
        for (int i = 0; i < SafetyNetSearchTicks - 1; ++i)
            w.Timer_Timer();
        QCOMPARE(f.Platform.Enumerations, enumerations);
        SimulatedDevice& board = f.Platform.AddBoard(0x5E12, 0x0201);
        w.Timer_Timer();
        QCOMPARE(board.OpenHandles(), 2);

        // Without news of its arrival, the slow search still finds a board.
        f.Platform.Unplug(board);
        w.Timer_Timer();
        f.Platform.ChangeEventsLost = true;
        f.Platform.PlugIn(board);
        int ticks = 0;
        while (w.Link.BoardOpen != FlagTrue && ticks++ < 100)
            w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QVERIFY2(ticks <= SafetyNetSearchTicks, qPrintable(QString::number(ticks)));
    }

    void boardIsSearchedForAsSoonAsItIsAnnounced()
    {
        AnnouncingPlatform platform;
        frmMain w(platform);
        w.Form_Load();
        w.Timer->setInterval(60'000);  // no tick will come: only the news can find it
        SimulatedDevice& board = platform.AddBoard();
        platform.Announce();
        QTRY_COMPARE_WITH_TIMEOUT(w.Link.BoardOpen, FlagTrue, 5000);
        QCOMPARE(board.OpenHandles(), 2);

        // With a board open, news is taken without a search.
        const int enumerations = platform.Enumerations;
        platform.AddOtherInterface(0x046D, 0xC52B);
        platform.Announce();
        QTest::qWait(100);
        QCOMPARE(platform.Enumerations, enumerations);
        QCOMPARE(board.OpenHandles(), 2);
    }

    // A platform that stops watching may close the descriptor and reuse its number:
    // the window leaves it at the call that tells, and searches at every tick instead.
    void descriptorGivenUpIsNoLongerWatched()
    {
        AnnouncingPlatform platform;
        frmMain w(platform);
        w.Form_Load();
        w.Timer->setInterval(60'000);
        platform.GiveUpAtNextCall = true;
        platform.Announce();
        QTRY_VERIFY_WITH_TIMEOUT(!w.ChangeNotifier, 5000);  // the news led to the call

        const int enumerations = platform.Enumerations;
        platform.AddBoard();
        platform.Announce();  // readable again: only a window still watching would see it
        QTest::qWait(100);
        QCOMPARE(platform.Enumerations, enumerations);
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
    }
};

QTEST_MAIN(TestPositionMonitor)
#include "test_position_monitor.moc"
