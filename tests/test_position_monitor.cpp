// The live position and the supervision of the link, tick by tick.
#include "window_fixture.h"

using namespace kx;

class TestPositionMonitor : public QObject {
    Q_OBJECT

private slots:
    void positionAndDegrees_data()
    {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("degrees");
        QTest::addColumn<QLocale>("locale");
        auto row = [](const char* name, int type, int position, const QString& degrees,
                      const QLocale& locale = QLocale::c()) {
            QTest::newRow(name) << type << position << degrees << locale;
        };
        row("4660 type 1", 1, 4660, " 204.8");
        row("-1 type 1", 1, -1, " 0");
        row("11.25 goes up", 1, 256, " 11.3");
        row("-11.25 goes up", 1, -256, " -11.2");
        row("unknown type: degrees left as they were", 4, 4660, " earlier");
        // Digits and minus as Position writes them; only the decimal separator is the
        // locale's, and no grouping.
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
        f.V().Degrees->setText(QStringLiteral(" earlier"));
        f.Tick(static_cast<std::int16_t>(position));
        QCOMPARE(f.V().Position->text(), QLatin1Char(' ') + QString::number(position));
        QCOMPARE(f.V().Degrees->text(), degrees);
    }

    void streamingAtOneKilohertzStaysFresh()
    {
        WindowOnBoard f(0x0101);
        f.Load();
        const SessionTimings& times = f.W().Session().Timings();
        const int drainEvery = int(times.Drain.count()), tickEvery = int(times.Tick.count());
        // One report a millisecond, each carrying its send time; between them the state
        // report (report 2, 3 bytes) the board sends while a game drives it: no position.
        const auto state = f.Board->Board->MakeStateReport(0x01, 0x03);
        int worstAge = 0;
        for (int ms = 1; ms <= 3000; ++ms) {
            f.Board->SendPosition(static_cast<std::int16_t>(ms));
            if (ms % 7 == 0)
                f.Board->SendInputReport(state);
            if (ms % tickEvery == 0) {
                f.Tick();
                worstAge = std::max(worstAge, ms - f.V().Position->text().trimmed().toInt());
            } else if (ms % drainEvery == 0) {
                f.Drain();
            }
        }
        QVERIFY2(worstAge <= 10, qPrintable(QString::number(worstAge)));
    }

    void unplugAndPlugBackInAndLoseItAgain()
    {
        WindowOnBoard f(0x0101);
        f.Load();
        WindowControls& w = f.V();
        f.Tick(512);
        w.TDamp->setText(QStringLiteral("99"));  // set, not typed: no edit of the user's to keep
        // A still wheel sends nothing: not a lost link, and no search.
        int enumerations = f.Platform.Enumerations;
        for (int i = 0; i < 20; ++i)
            f.Tick();
        QCOMPARE(f.Platform.Enumerations, enumerations);

        // A read between ticks that finds the board gone leaves the news to the tick.
        f.Unplug();
        f.Drain();
        QCOMPARE(w.Position->text(), QStringLiteral(" 512"));
        QVERIFY(w.Go->isEnabled());
        f.Tick();
        QVERIFY(w.Position->text().isEmpty() && w.Degrees->text().isEmpty());
        QCOMPARE(w.TDamp->text(), QStringLiteral("99"));
        QCOMPARE(f.Platform.Enumerations, enumerations + 1);
        QVERIFY(!w.Homing->isEnabled() && !w.Go->isEnabled());
        QCOMPARE(f.Board->OpenHandles(), 0);

        f.PlugIn();
        f.Tick();
        QCOMPARE(w.TDamp->text(), QStringLiteral("20"));
        QCOMPARE(f.Board->OpenHandles(), 2);

        // Lost again: the handle breaks under the read, the board stays on the bus, and no
        // news of the change arrives. It is found again in the same tick.
        w.Stiff->setText(QStringLiteral("1"));
        f.Platform.ChangeEventsLost = true;
        bool broken = false;
        f.Board->BeforeOperation = [&](SimulatedOperation op) {
            if (op == SimulatedOperation::ReadInput && !std::exchange(broken, true)) {
                f.Unplug();
                f.PlugIn();
            }
        };
        f.Tick();
        QVERIFY(broken);
        QCOMPARE(w.Stiff->text(), QStringLiteral("200"));
        QCOMPARE(w.Position->text(), QString());
        QCOMPARE(f.Board->OpenHandles(), 2);
        f.Tick(6);
        QCOMPARE(w.Position->text(), QStringLiteral(" 6"));
    }

    void searchesOnlyWhenSomethingChanged()
    {
        WindowOnBoard f(0x0101, false);
        f.Load();
        f.Tick();  // the change news of the start-up
        const SessionTimings& times = f.W().Session().Timings();
        const int safetyNetTicks = int(times.SafetyNetSearch / times.Tick);
        const int enumerations = f.Platform.Enumerations;
        for (int i = 0; i < safetyNetTicks - 1; ++i)
            f.Tick();
        QCOMPARE(f.Platform.Enumerations, enumerations);
        // Without news of its arrival, the slow search still finds a board.
        f.Platform.ChangeEventsLost = true;
        SimulatedDevice& late = f.Platform.AddBoard(0x5E12, 0x0201);
        int ticks = 0;
        while (late.OpenHandles() == 0 && ticks++ < 100)
            f.Tick();
        QVERIFY2(ticks <= safetyNetTicks, qPrintable(QString::number(ticks)));
    }

    // The platform's news wakes the search every time, not only the first: between two
    // pieces of news the notifier is watched again.
    void everyPlugIsHeardWithoutWaitingForTheSafetyNet()
    {
        SessionTimings timings;
        timings.ChangeSettle = std::chrono::milliseconds(0);
        WindowOnBoard f(0x0101, true, {}, timings);
        f.Platform.NotifyThroughDescriptor();
        f.Unplug();
        f.Load();
        for (int plug = 0; plug < 3; ++plug) {
            f.PlugIn();
            for (int turn = 0; turn < 5 && !f.BoardOpen(); ++turn)
                QCoreApplication::processEvents();
            QVERIFY2(f.BoardOpen(), qPrintable(QStringLiteral("plug %1 not heard").arg(plug)));
            f.Unplug();
            f.Tick();  // the lost link is the tick's to find
            QVERIFY(!f.BoardOpen());
        }
    }
};

QTEST_MAIN(TestPositionMonitor)
#include "test_position_monitor.moc"
