// "Write and reset": what reaches the board, byte for byte, and what does not.
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
            w.Go->setFocus();
            QTest::keyClick(w.Go, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        } else {
            w.Go_Click();
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
        QCOMPARE(f.Board->Board->ResetRequests, 2);
        QCOMPARE(log[4].Kind, Kind::Get);
        QCOMPARE(log[4].Bytes, Bytes{0x20});
        QCOMPARE(log[4].Length, std::size_t(resetLength));

        QVERIFY(!w.isVisible() && !w.Timer->isActive());
        QCOMPARE(f.Board->OpenHandles(), 0);
        // The unload that follows finds both handles closed already.
        w.close();
        QCOMPARE(f.Board->ClosesTotal, 2);
    }

    void notWrittenKeepsTheEdits()
    {
        // Unplugged before the click: the next tick finds out.
        WindowOnBoard f;
        frmMain& w = f.Load();
        w.Homing->setText(QStringLiteral("250"));
        w.Slimit->setText(QStringLiteral("4000"));
        f.Unplug();
        w.Go_Click();
        QVERIFY(w.isVisible() && w.Timer->isActive());
        const QString notWritten = w.lblStatus->text();
        QVERIFY2(notWritten.contains(QStringLiteral("not written")), qPrintable(notWritten));
        w.Timer_Timer();
        QVERIFY(!w.Go->isEnabled());
        QCOMPARE(f.Texts().mid(0, 2), (QStringList{"4000", "250"}));
        QCOMPARE(f.Board->OpenHandles(), 0);
        // The search that found the board missing, and the ones after, keep the word.
        for (int tick = 0; tick <= SafetyNetSearchTicks; ++tick)
            w.Timer_Timer();
        QCOMPARE(w.lblStatus->text(), notWritten);
        // Back, but refused for good: that news is shown over the word. Then loaded: the word goes.
        f.Board->RefuseOpen = HidFailure::AccessDenied;
        f.PlugIn();
        w.Timer_Timer();
        w.AccessGrace_Timer();
        QCOMPARE(w.lblStatus->toolTip(), QStringLiteral("Board found, but access was denied."));
        f.Platform.SetAccess(*f.Board, HidFailure::None);
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QVERIFY(w.lblStatus->text().isEmpty());
    }
};

QTEST_MAIN(TestWriteAndReset)
#include "test_write_and_reset.moc"
