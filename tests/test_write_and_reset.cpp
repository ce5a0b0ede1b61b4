// "Write and reset" and "Write and keep open": what reaches the board, byte for byte,
// and what the window says when the write does not end as it should.
#include "window_fixture.h"

using namespace kx;
using Kind = decltype(BoardModel::FeatureRequest::Kind);

class TestWriteAndReset : public QObject {
    Q_OBJECT

private slots:
    void writesTheSequenceAndEnds_data()
    {
        QTest::addColumn<int>("settingsLength");  // report 8, ID byte included
        QTest::addColumn<int>("resetLength");     // report 32
        QTest::addColumn<int>("key");             // pressed on the focused button; none: clicked
        QTest::addColumn<int>("modifiers");
        QTest::newRow("8 and 32 alike, clicked") << 64 << 64 << 0 << 0;
        // hidraw does not pad a report to the longest: each goes at its own length.
        QTest::newRow("32 longer than 8, Return") << 37 << 64 << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("32 shorter than 8, keypad Enter") << 37 << 2 << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }

    void writesTheSequenceAndEnds()
    {
        QFETCH(int, settingsLength);
        QFETCH(int, resetLength);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        WindowOnBoard f(0x0307, true, {std::size_t(settingsLength), std::size_t(resetLength)});
        frmMain& w = f.Load();
        if (key) {
            f.V().Go->setFocus();
            QTest::keyClick(f.V().Go, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        } else {
            f.V().Go->click();
        }

        const auto& log = f.Board->Board->Log;
        QCOMPARE(log.size(), std::size_t{5});  // the load's read, then the sequence
        QCOMPARE(log[0].Length, std::size_t(settingsLength));
        Bytes expected = FactoryWriteImage(settingsLength);
        for (std::uint8_t command : {1, 2, 3}) {
            QCOMPARE(log[command].Kind, Kind::Set);
            expected[1] = command;
            QCOMPARE(log[command].Bytes, expected);
        }
        QCOMPARE(log[4].Kind, Kind::Get);
        QCOMPARE(log[4].Bytes, Bytes{0x20});
        QCOMPARE(log[4].Length, std::size_t(resetLength));

        QVERIFY(!w.isVisible());
        QCOMPARE(f.Board->OpenHandles(), 0);
        QCOMPARE(f.Board->ClosesTotal, 2);
    }

    // Each way a write can stop short: the window stays open, the user's values stay in
    // their boxes, and the line says what became of them until a write succeeds.
    void shortWritesKeepTheWindowAndSaySo_data()
    {
        QTest::addColumn<int>("unplugBeforeSet");  // the set request the board vanishes before (1 to 3)
        QTest::addColumn<int>("sendsOnly");        // bytes the transport sends of each set request; 0: all
        QTest::addColumn<QString>("said");
        QTest::newRow("unplugged before command 1") << 1 << 0 << "Settings not written: ";
        QTest::newRow("unplugged between commands 1 and 2")
            << 2 << 0 << "Settings sent, but the board was not reset, so they may not be stored: ";
        QTest::newRow("command 1 cut short") << 0 << 20 << "Settings not written: ";
    }

    void shortWritesKeepTheWindowAndSaySo()
    {
        QFETCH(int, unplugBeforeSet);
        QFETCH(int, sendsOnly);
        QFETCH(QString, said);
        WindowOnBoard f;
        frmMain& w = f.Load();
        WindowControls& v = f.V();
        v.Homing->selectAll();
        QTest::keyClicks(v.Homing, QStringLiteral("250"));
        int sets = 0;
        f.Board->BeforeOperation = [&](SimulatedOperation op) {
            if (op == SimulatedOperation::SetFeature && ++sets == unplugBeforeSet)
                f.Unplug();
        };
        if (sendsOnly)
            f.Board->SetFeatureSendsOnly = sendsOnly;
        v.Go->click();

        QVERIFY(w.isVisible());
        QVERIFY2(f.Status().startsWith(said), qPrintable(f.Status()));
        const QString notWritten = f.Status();
        QCOMPARE(v.Homing->text(), QStringLiteral("250"));

        // Searched for and found again: the word stays, and so do the user's values.
        f.Board->BeforeOperation = nullptr;
        f.Board->SetFeatureSendsOnly.reset();
        f.Tick();
        if (!f.Board->Plugged())
            f.PlugIn();
        for (int tick = 0; tick < 40 && !f.BoardOpen(); ++tick)
            f.Tick();
        QVERIFY(f.BoardOpen());
        QCOMPARE(f.Status(), notWritten);
        QCOMPARE(v.Homing->text(), QStringLiteral("250"));
        QVERIFY(v.Go->isEnabled());
    }

    // Another program holding the board is named and asked about before its reset.
    void aBoardInUseIsAskedAbout()
    {
        WindowOnBoard f;
        f.Board->Holders = {{4242, "wheel_game", "/dev/input/js0"}, {4242, "wheel_game", "/dev/input/event7"}};
        frmMain& w = f.Load();
        f.Dialogs.Answer = false;
        f.V().Go->click();
        QCOMPARE(f.Dialogs.Questions.size(), 1);
        QVERIFY2(f.Dialogs.Questions[0].startsWith(QStringLiteral("wheel_game (process 4242) is using the board.")),
                 qPrintable(f.Dialogs.Questions[0]));
        QVERIFY(f.SetRequests().empty() && w.isVisible() && f.V().Go->isEnabled());
        f.Dialogs.Answer = true;
        f.V().Go->click();
        QCOMPARE(f.SetRequests().size(), std::size_t{3});
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(TestWriteAndReset)
#include "test_write_and_reset.moc"
