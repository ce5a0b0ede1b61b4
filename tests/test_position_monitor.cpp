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
        f.Load().Degrees->setText(QStringLiteral(" earlier"));
        f.Tick(static_cast<std::int16_t>(position));
        QCOMPARE(f.W().Position->text(), QLatin1Char(' ') + QString::number(position));
        QCOMPARE(f.W().Degrees->text(), degrees);
    }

    void streamingAtOneKilohertzStaysFresh()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        QVERIFY(w.InputDrain->isActive());
        const int drainEvery = w.InputDrain->interval(), tickEvery = w.Timer->interval();
        // One report a millisecond, each carrying its send time; between them the state
        // report (report 2, 3 bytes) the board sends while a game drives it: no position.
        const auto state = f.Board->Board->MakeStateReport(0x01, 0x03);
        int worstAge = 0;
        for (int ms = 1; ms <= 3000; ++ms) {
            f.Board->SendPosition(static_cast<std::int16_t>(ms));
            if (ms % 7 == 0)
                f.Board->SendInputReport(state);
            if (ms % tickEvery == 0) {
                w.Timer_Timer();
                worstAge = std::max(worstAge, ms - w.Position->text().trimmed().toInt());
            } else if (ms % drainEvery == 0) {
                w.DrainInput();
            }
        }
        QVERIFY2(worstAge <= 10, qPrintable(QString::number(worstAge)));
    }

    void unplugAndPlugBackInAndLoseItAgain()
    {
        WindowOnBoard f(0x0101);
        frmMain& w = f.Load();
        f.Tick(512);
        w.TDamp->setText(QStringLiteral("99"));
        // A still wheel sends nothing: not a lost link, and no search.
        int enumerations = f.Platform.Enumerations;
        for (int i = 0; i < 20; ++i)
            w.Timer_Timer();
        QCOMPARE(f.Platform.Enumerations, enumerations);

        // A read between ticks that finds the board gone leaves the news to the tick.
        f.Unplug();
        w.DrainInput();
        QCOMPARE(w.Position->text(), QStringLiteral(" 512"));
        QVERIFY(w.Go->isEnabled() && !w.InputDrain->isActive());
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
        QVERIFY(w.Position->text().isEmpty() && w.Degrees->text().isEmpty());
        QCOMPARE(w.TDamp->text(), QStringLiteral("99"));
        QCOMPARE(f.Platform.Enumerations, enumerations + 1);
        QVERIFY(!w.Homing->isEnabled() && !w.Go->isEnabled());
        QCOMPARE(f.Board->OpenHandles(), 0);

        f.PlugIn();
        w.Timer_Timer();
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
        w.Timer_Timer();
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
        frmMain& w = f.Load();
        w.Timer_Timer();  // the change news of the start-up
        const int enumerations = f.Platform.Enumerations;
        for (int i = 0; i < SafetyNetSearchTicks - 1; ++i)
            w.Timer_Timer();
        QCOMPARE(f.Platform.Enumerations, enumerations);
        // Without news of its arrival, the slow search still finds a board.
        f.Platform.ChangeEventsLost = true;
        f.Platform.AddBoard(0x5E12, 0x0201);
        int ticks = 0;
        while (w.Link.BoardOpen != FlagTrue && ticks++ < 100)
            w.Timer_Timer();
        QVERIFY2(ticks <= SafetyNetSearchTicks, qPrintable(QString::number(ticks)));
    }
};

QTEST_MAIN(TestPositionMonitor)
#include "test_position_monitor.moc"
