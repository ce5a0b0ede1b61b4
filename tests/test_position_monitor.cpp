// The live position and the supervision of the link, tick by tick.
#include "window_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace kx;

class TestPositionMonitor : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void positionAndDegrees_data();
    void positionAndDegrees();
    void degreesUseTheLocaleSeparator();
    void unknownTypeLeavesDegrees();
    void newestOfSeveralReportsIsShown();
    void fullQueueDropsNewestUntilDrained();
    void streamingAtOneKilohertzStaysFresh();
    void stillWheelIsNotALostLink();
    void shortReportsAreNotDecoded();
    void unplugAndPlugBackIn();
    void readErrorWhileConnectedReconnectsInTheSameTick();
    void readErrorBetweenTicksWaitsForTheTick();
    void handlesAreNeverClosedTwice();
    void searchesOnlyWhenSomethingChanged();
    void safetyNetFindsABoardWhoseArrivalWasMissed();
};

void TestPositionMonitor::positionAndDegrees_data()
{
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QString>("degrees");
    QTest::newRow("4660 type 1") << 1 << 4660 << " 4660" << " 204.8";
    QTest::newRow("4660 type 2") << 2 << 4660 << " 4660" << " 167.8";
    QTest::newRow("4660 type 3") << 3 << 4660 << " 4660" << " 167.8";
    QTest::newRow("-1 type 1") << 1 << -1 << " -1" << " 0";
    QTest::newRow("-1 type 3") << 3 << -1 << " -1" << " 0";
    QTest::newRow("-32768 type 1") << 1 << -32768 << " -32768" << " -1440";
    QTest::newRow("-32768 type 2") << 2 << -32768 << " -32768" << " -1179.6";
    QTest::newRow("one turn type 1") << 1 << 8192 << " 8192" << " 360";
    QTest::newRow("one turn type 2") << 2 << 10000 << " 10000" << " 360";
    QTest::newRow("quarter type 1") << 1 << 2048 << " 2048" << " 90";
    QTest::newRow("11.25 goes up") << 1 << 256 << " 256" << " 11.3";
    QTest::newRow("-11.25 goes up") << 1 << -256 << " -256" << " -11.2";
    QTest::newRow("below one") << 1 << 12 << " 12" << " 0.5";
    QTest::newRow("below minus one") << 1 << -12 << " -12" << " -0.5";
    QTest::newRow("32767 type 1") << 1 << 32767 << " 32767" << " 1440";
}

void TestPositionMonitor::positionAndDegrees()
{
    QFETCH(int, deviceType);
    QFETCH(int, position);
    QFETCH(QString, counts);
    QFETCH(QString, degrees);
    WindowOnBoard f(static_cast<std::uint16_t>(deviceType << 8));
    f.W().Form_Load();
    f.Board->SendPosition(static_cast<std::int16_t>(position));
    f.W().Timer_Timer();
    QCOMPARE(f.W().Position->text(), counts);
    QCOMPARE(f.W().Degrees->text(), degrees);
}

void TestPositionMonitor::degreesUseTheLocaleSeparator()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    WindowOnBoard f(0x0107);
    f.W().Form_Load();
    f.Board->SendPosition(4660);
    f.W().Timer_Timer();
    QCOMPARE(f.W().Degrees->text(), QStringLiteral(" 204,8"));
    // No grouping, even where the locale groups thousands.
    f.Board->SendPosition(-32768);
    f.W().Timer_Timer();
    QCOMPARE(f.W().Degrees->text(), QStringLiteral(" -1440"));
}

void TestPositionMonitor::unknownTypeLeavesDegrees()
{
    WindowOnBoard f(0x0401);
    f.W().Form_Load();
    f.W().Degrees->setText(QStringLiteral(" earlier"));
    f.Board->SendPosition(4660);
    f.W().Timer_Timer();
    QCOMPARE(f.W().Position->text(), QStringLiteral(" 4660"));
    QCOMPARE(f.W().Degrees->text(), QStringLiteral(" earlier"));

    // The type was never read: the manufacturer string failed.
    WindowOnBoard g(0x0101);
    g.Board->FailStringRequests = 1;
    g.W().Form_Load();
    g.Board->SendPosition(100);
    g.W().Timer_Timer();
    QCOMPARE(g.W().Position->text(), QStringLiteral(" 100"));
    QCOMPARE(g.W().Degrees->text(), QString());
}

void TestPositionMonitor::newestOfSeveralReportsIsShown()
{
    WindowOnBoard f(0x0101);
    f.W().Form_Load();
    for (std::int16_t p : {10, 20, 30})
        f.Board->SendPosition(p);
    f.W().Timer_Timer();
    QCOMPARE(f.W().Position->text(), QStringLiteral(" 30"));
}

void TestPositionMonitor::fullQueueDropsNewestUntilDrained()
{
    WindowOnBoard f(0x0101);
    f.W().Form_Load();
    // Nobody reads: the kernel keeps the first 63 and throws the rest away.
    for (std::int16_t p = 1; p <= 100; ++p)
        f.Board->SendPosition(p);
    f.W().Timer_Timer();
    QCOMPARE(f.W().Position->text(), QStringLiteral(" 63"));
    f.Board->SendPosition(200);
    f.Board->SendPosition(201);
    f.W().Timer_Timer();
    QCOMPARE(f.W().Position->text(), QStringLiteral(" 201"));
}

void TestPositionMonitor::streamingAtOneKilohertzStaysFresh()
{
    WindowOnBoard f(0x0101);
    frmMain& w = f.W();
    w.Form_Load();
    QVERIFY(w.InputDrain->isActive());
    const int drainEvery = w.InputDrain->interval();
    const int tickEvery = w.Timer->interval();
    QVERIFY(drainEvery < 63);

    // The test's clock, one report a millisecond; each report carries its send time.
    int worstAge = 0;
    int ticks = 0;
    for (int ms = 1; ms <= 3000; ++ms) {
        f.Board->SendPosition(static_cast<std::int16_t>(ms));
        if (ms % tickEvery == 0) {
            w.Timer_Timer();
            ++ticks;
            const int shown = w.Position->text().trimmed().toInt();
            worstAge = std::max(worstAge, ms - shown);
        } else if (ms % drainEvery == 0) {
            w.DrainInput();
        }
    }
    QCOMPARE(ticks, 30);
    QVERIFY2(worstAge <= 10, qPrintable(QString::number(worstAge)));
}

void TestPositionMonitor::stillWheelIsNotALostLink()
{
    WindowOnBoard f(0x0101);
    frmMain& w = f.W();
    w.Form_Load();
    f.Board->SendPosition(512);
    w.Timer_Timer();
    w.Homing->setText(QStringLiteral("777"));
    const int enumerations = f.Platform.Enumerations;
    for (int i = 0; i < 20; ++i)
        w.Timer_Timer();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(w.Position->text(), QStringLiteral(" 512"));
    QCOMPARE(w.Degrees->text(), QStringLiteral(" 22.5"));
    QCOMPARE(w.Homing->text(), QStringLiteral("777"));
    QVERIFY(w.Homing->isEnabled());
    QVERIFY(w.Go->isEnabled());
    QCOMPARE(f.Platform.Enumerations, enumerations);
    QVERIFY(w.Timer->isActive());
}

void TestPositionMonitor::shortReportsAreNotDecoded()
{
    WindowOnBoard f(0x0101);
    f.W().Form_Load();
    f.Board->SendPosition(300);
    f.W().Timer_Timer();
    const std::uint8_t twoBytes[] = {0x01, 0x34};
    f.Board->SendInputReport(twoBytes);
    f.W().Timer_Timer();
    QCOMPARE(f.W().Position->text(), QStringLiteral(" 300"));
    QCOMPARE(f.W().Link.BoardOpen, FlagTrue);

    // A board whose input report cannot hold a position is never decoded.
    WindowOnBoard g(0x0101);
    g.Board->Descriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81,
                           0x02, 0x85, 0x08, 0x95, 0x3F, 0xB1, 0x02, 0x85, 0x20, 0xB1, 0x02, 0xC0};
    g.W().Form_Load();
    QCOMPARE(g.W().Link.Capabilities.InputReportByteLength, 2);
    g.Board->SendPosition(300);
    g.W().Timer_Timer();
    QCOMPARE(g.W().Position->text(), QString());
    QCOMPARE(g.W().Link.BoardOpen, FlagTrue);
}

void TestPositionMonitor::unplugAndPlugBackIn()
{
    WindowOnBoard f(0x0101);
    frmMain& w = f.W();
    w.Form_Load();
    f.Board->SendPosition(1000);
    w.Timer_Timer();
    w.TDamp->setText(QStringLiteral("99"));

    f.Platform.Unplug(*f.Board);
    const int enumerations = f.Platform.Enumerations;
    w.Timer_Timer();
    QCOMPARE(w.Link.BoardOpen, FlagFalse);
    QCOMPARE(w.Position->text(), QString());
    QCOMPARE(w.Degrees->text(), QString());
    for (QLineEdit* box : f.Boxes())
        QVERIFY(!box->isEnabled());
    QVERIFY(!w.Go->isEnabled());
    QVERIFY(w.Frame1->isEnabled());
    QCOMPARE(w.TDamp->text(), QStringLiteral("99"));
    QCOMPARE(f.Platform.Enumerations, enumerations + 1);
    QVERIFY(w.lblManuf->text().isEmpty());
    QVERIFY(w.lblSerialNumber->text().isEmpty());
    QCOMPARE(f.Board->OpenHandles(), 0);
    QVERIFY(w.Timer->isActive());

    w.Timer_Timer();
    QCOMPARE(w.Link.BoardOpen, FlagFalse);

    f.Platform.PlugIn(*f.Board);
    w.Timer_Timer();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(w.TDamp->text(), QStringLiteral("20"));
    QVERIFY(w.Go->isEnabled());
    QCOMPARE(w.lblManuf->text(), QStringLiteral(" KX Motion"));
    QCOMPARE(f.Board->OpenHandles(), 2);
    f.Board->SendPosition(-2048);
    w.Timer_Timer();
    QCOMPARE(w.Position->text(), QStringLiteral(" -2048"));
    QCOMPARE(w.Degrees->text(), QStringLiteral(" -90"));
}

void TestPositionMonitor::readErrorWhileConnectedReconnectsInTheSameTick()
{
    WindowOnBoard f(0x0101);
    frmMain& w = f.W();
    w.Form_Load();
    f.Board->SendPosition(5);
    w.Timer_Timer();
    w.Stiff->setText(QStringLiteral("1"));

    // The handle breaks under the read, the board stays on the bus.
    bool broken = false;
    f.Board->BeforeOperation = [&](SimulatedOperation op) {
        if (op == SimulatedOperation::ReadInput && !broken) {
            broken = true;
            f.Platform.Unplug(*f.Board);
            f.Platform.PlugIn(*f.Board);
        }
    };
    w.Timer_Timer();
    QVERIFY(broken);
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(w.Stiff->text(), QStringLiteral("200"));
    QVERIFY(w.Stiff->isEnabled());
    QCOMPARE(w.Position->text(), QString());
    QCOMPARE(f.Board->OpenHandles(), 2);

    f.Board->SendPosition(6);
    w.Timer_Timer();
    QCOMPARE(w.Position->text(), QStringLiteral(" 6"));
}

void TestPositionMonitor::readErrorBetweenTicksWaitsForTheTick()
{
    WindowOnBoard f(0x0101);
    frmMain& w = f.W();
    w.Form_Load();
    f.Board->SendPosition(5);
    w.Timer_Timer();
    f.Platform.Unplug(*f.Board);
    w.DrainInput();
    QCOMPARE(w.Position->text(), QStringLiteral(" 5"));
    QVERIFY(w.Go->isEnabled());
    QVERIFY(!w.InputDrain->isActive());
    w.Timer_Timer();
    QCOMPARE(w.Position->text(), QString());
    QVERIFY(!w.Go->isEnabled());
}

void TestPositionMonitor::handlesAreNeverClosedTwice()
{
    WindowOnBoard f(0x0101);
    frmMain& w = f.W();
    w.Form_Load();
    for (int cycle = 0; cycle < 100; ++cycle) {
        f.Platform.Unplug(*f.Board);
        w.Timer_Timer();
        QCOMPARE(f.Board->OpenHandles(), 0);
        f.Platform.PlugIn(*f.Board);
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QCOMPARE(f.Board->OpenHandles(), 2);
    }
    QCOMPARE(f.Board->OpensTotal, 202);
    QCOMPARE(f.Board->ClosesTotal, 200);
    w.close();
    QCOMPARE(f.Board->ClosesTotal, 202);
    QCOMPARE(f.Platform.OpenHandles(), 0);
    // Closing twice closes nothing more.
    w.close();
    QCOMPARE(f.Board->ClosesTotal, 202);
}

void TestPositionMonitor::searchesOnlyWhenSomethingChanged()
{
    WindowOnBoard f(0x0101, false);
    frmMain& w = f.W();
    w.Form_Load();
    w.Timer_Timer();  // the change news of the start-up
    const int enumerations = f.Platform.Enumerations;
    for (int i = 0; i < SafetyNetSearchTicks - 1; ++i)
        w.Timer_Timer();
    QCOMPARE(f.Platform.Enumerations, enumerations);

    SimulatedDevice& board = f.Platform.AddBoard(0x5E12, 0x0201);
    w.Timer_Timer();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(board.OpenHandles(), 2);

    // A lost link is still found on the next tick, change news or not.
    f.Platform.ChangeEventsLost = true;
    f.Platform.Unplug(board);
    w.Timer_Timer();
    QCOMPARE(w.Link.BoardOpen, FlagFalse);
    QVERIFY(!w.Go->isEnabled());
}

void TestPositionMonitor::safetyNetFindsABoardWhoseArrivalWasMissed()
{
    WindowOnBoard f(0x0101, false);
    frmMain& w = f.W();
    w.Form_Load();
    w.Timer_Timer();
    f.Platform.ChangeEventsLost = true;
    f.Platform.AddBoard();
    int ticks = 0;
    while (w.Link.BoardOpen != FlagTrue && ticks < 100) {
        w.Timer_Timer();
        ++ticks;
    }
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QVERIFY2(ticks <= SafetyNetSearchTicks, qPrintable(QString::number(ticks)));
}

QTEST_MAIN(TestPositionMonitor)
#include "test_position_monitor.moc"
