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

// What the settle timer's end does, without waiting for it.
void Settle(frmMain& w)
{
    w.ChangeSettle->stop();
    QVERIFY(QMetaObject::invokeMethod(w.ChangeSettle, "timeout"));
}

}  // namespace

class TestPositionMonitor : public QObject {
    Q_OBJECT

private slots:
    void positionAndDegrees_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("degrees");
        QTest::addColumn<QLocale>("locale");
        auto row = [](const char* name, int type, int position, const QString& degrees, const QLocale& locale = QLocale::c()) {
            QTest::newRow(name) << type << position << degrees << locale;
        };
        row("4660 type 1", 1, 4660, " 204.8");
        row("4660 type 2", 2, 4660, " 167.8");
        row("-1 type 1", 1, -1, " 0");
        row("-32768 type 1", 1, -32768, " -1440");
        row("-32768 type 2", 2, -32768, " -1179.6");
        row("one turn type 1", 1, 8192, " 360");
        row("11.25 goes up", 1, 256, " 11.3");
        row("-11.25 goes up", 1, -256, " -11.2");
        row("below one", 1, 12, " 0.5");
        // Digits and minus as Position writes them; only the decimal separator is the
        // locale's, and no grouping.
        row("German", 2, -32768, " -1179,6", QLocale(QLocale::German, QLocale::Germany));
        row("Swedish: no U+2212 minus", 2, -32768, " -1179,6", QLocale(QLocale::Swedish, QLocale::Sweden));
        row("Arabic: no Arabic-Indic digits", 2, 4660, QString::fromUtf16(u" 167\u066B8"),
            QLocale(QLocale::Arabic, QLocale::Egypt));
    }

    void positionAndDegrees()
    {
        QFETCH(int, deviceType);
        QFETCH(int, position);
        QFETCH(QString, degrees);
        QFETCH(QLocale, locale);
        LocaleForTest scope(locale);
        WindowOnBoard f(static_cast<std::uint16_t>(deviceType << 8));
        f.Load();
        f.Tick(static_cast<std::int16_t>(position));
        QCOMPARE(f.W().Position->text(), QLatin1Char(' ') + QString::number(position));
        QCOMPARE(f.W().Degrees->text(), degrees);
    }

    // The board's force-feedback state report (report 2, 3 bytes) comes between the
    // wheel's while a game drives it: read as a position it would show 769.
    void otherReportsNeverShowAsPosition()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        const auto state = f.Board->Board->MakeStateReport(0x01, 0x03);
        for (std::int16_t position : {1234, -5}) {
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
        QVERIFY(w.Go->isEnabled());
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
        QCOMPARE(w.TDamp->text(), QStringLiteral("99"));
        QCOMPARE(f.Platform.Enumerations, enumerations + 1);
        QVERIFY(!w.Homing->isEnabled() && !w.Go->isEnabled());
        QCOMPARE(f.Board->OpenHandles(), 0);

        f.PlugIn();
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QCOMPARE(w.TDamp->text(), QStringLiteral("20"));
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

    // News on the descriptor starts the settle timer at once; its end searches. Neither
    // waits on the clock here: the pipe is readable when written, and the timer's end is
    // called as it would come.
    void boardIsSearchedForAsSoonAsItIsAnnounced()
    {
        AnnouncingPlatform platform;
        frmMain w(platform);
        w.Form_Load();
        SimulatedDevice& board = platform.AddBoard();
        platform.Announce();
        QCoreApplication::processEvents();
        QVERIFY(w.ChangeSettle->isActive());
        Settle(w);
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QCOMPARE(board.OpenHandles(), 2);

        // With a board open, news is taken without a search, each time.
        const int enumerations = platform.Enumerations;
        for (int news = 0; news < 2; ++news) {
            platform.AddOtherInterface(0x046D, std::uint16_t(0xC52B + news));
            platform.Announce();
            QCoreApplication::processEvents();
            QVERIFY(w.ChangeSettle->isActive());
            Settle(w);
        }
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
        platform.GiveUpAtNextCall = true;
        platform.Announce();
        QCoreApplication::processEvents();
        Settle(w);
        QVERIFY(!w.ChangeNotifier);

        const int enumerations = platform.Enumerations;
        platform.AddBoard();
        platform.Announce();  // readable again: only a window still watching would see it
        QCoreApplication::processEvents();
        QVERIFY(!w.ChangeSettle->isActive());
        QCOMPARE(platform.Enumerations, enumerations);
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
    }
};

QTEST_MAIN(TestPositionMonitor)
#include "test_position_monitor.moc"
