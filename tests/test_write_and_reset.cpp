// "Write and reset": what reaches the board, byte for byte, and what does not.
#include "window_fixture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace kx;
using Bytes = std::vector<std::uint8_t>;
using Kind = decltype(BoardModel::FeatureRequest::Kind);

class TestWriteAndReset : public QObject {
    Q_OBJECT

private slots:
    void writesTheSequenceAndEnds_data()
    {
        QTest::addColumn<int>("settingsLength");  // report 8, ID byte included
        QTest::addColumn<int>("resetLength");     // report 32
        QTest::newRow("8 and 32 alike") << 64 << 64;
        // hidraw does not pad a report to the longest: each goes at its own length.
        QTest::newRow("32 longer than 8") << 37 << 64;
        QTest::newRow("32 shorter than 8") << 37 << 2;
    }

    void writesTheSequenceAndEnds()
    {
        QFETCH(int, settingsLength);
        QFETCH(int, resetLength);
        WindowOnBoard f(0x0307, true, {std::size_t(settingsLength), std::size_t(resetLength)});
        frmMain& w = f.Load();
        QCOMPARE(f.Texts(), FactoryTexts);
        w.Go_Click();

        const auto& log = f.Board->Board->Log;
        QCOMPARE(log.size(), std::size_t{5});  // the load's read, then the sequence
        QCOMPARE(log[0].Kind, Kind::Get);
        QCOMPARE(log[0].Bytes, Bytes{0x08});
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

        QVERIFY(!w.isVisible());
        QVERIFY(!w.Timer->isActive());
        QCOMPARE(f.Board->OpenHandles(), 0);
        // The unload that follows finds both handles closed already.
        w.close();
        QCOMPARE(f.Board->ClosesTotal, 2);
    }

    void enterOnTheFocusedButtonWrites_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }

    void enterOnTheFocusedButtonWrites()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        WindowOnBoard f;
        frmMain& w = f.Load();
        w.Go->setFocus();
        QTest::keyClick(w.Go, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.SetRequests().size(), std::size_t{3});
        QVERIFY(!w.isVisible());
    }

    void noBoardSendsNothingAndEnds()
    {
        WindowOnBoard f;
        frmMain& w = f.Load();
        w.Stiff->setText(QStringLiteral("300"));
        f.Unplug();
        w.Timer_Timer();  // the link is lost
        f.Board->Board->Log.clear();
        w.Go_Click();
        QVERIFY(f.Board->Board->Log.empty());
        QCOMPARE(w.Stiff->text(), QStringLiteral("300"));
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Timer->isActive());
    }

    void badTextIsRefused_data()
    {
        // The texts themselves are tried in test_bad_input; these are the refusal's forms.
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Slimit beyond 16 bits") << "Slimit" << "65536" << "Stops (each side)";
        QTest::newRow("DampingScale comma in C locale") << "DampingScale" << "1,5" << "Damper Effect scale";
    }

    void badTextIsRefused()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, caption);
        WindowOnBoard f;
        frmMain& w = f.Load();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QLineEdit* edit = w.findChild<QLineEdit*>(box);
        edit->setText(typed);
        w.Go_Click();
        QCOMPARE(f.Board->Board->Log.size(), std::size_t{1});  // the load's read alone
        QVERIFY(w.isVisible());
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(edit->selectedText(), typed);
        QVERIFY2(w.lblStatus->text().startsWith(caption + ':'), qPrintable(w.lblStatus->text()));
        QVERIFY(w.Timer->isActive() && w.InputDrain->isActive());
        QCOMPARE(f.Board->OpenHandles(), 2);

        // Mended, the write goes through.
        edit->setText(QStringLiteral("10"));
        w.Go_Click();
        QCOMPARE(f.SetRequests().size(), std::size_t{3});
        QVERIFY(!w.isVisible());
    }

    void messagesFitTheStatusLine()
    {
        WindowOnBoard f;
        frmMain& w = f.Load();
        const QFontMetrics metrics(w.lblStatus->font());
        auto verifyFits = [&] {
            QVERIFY(!w.lblStatus->text().isEmpty());
            QVERIFY2(metrics.horizontalAdvance(w.lblStatus->text()) <= w.lblStatus->width(),
                     qPrintable(w.lblStatus->text()));
        };
        for (QLineEdit* box : f.Boxes()) {
            const QString kept = box->text();
            box->setText(QStringLiteral("?"));
            w.Go_Click();
            verifyFits();
            box->setText(kept);
        }
        f.Board->FailFeatureRequests = 1;
        w.Go_Click();
        verifyFits();
        f.Board->RefuseOpen = HidFailure::AccessDenied;
        f.Unplug();
        f.PlugIn();
        w.Timer_Timer();
        w.AccessGrace_Timer();
        QCOMPARE(w.lblStatus->toolTip(), QStringLiteral("Board found, but access was denied."));
        // Drawn with its link: measured as shown, not as markup.
        QVERIFY2(w.lblStatus->sizeHint().width() <= w.lblStatus->width(), qPrintable(w.lblStatus->text()));
        f.Unplug();
        w.ShowStatus(QString());
        w.Timer_Timer();
        QCOMPARE(w.lblStatus->text(), QStringLiteral("No board found: plug it in."));
        verifyFits();
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
        // Back and loaded: the board's settings are shown, and the word goes.
        f.PlugIn();
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QVERIFY(w.lblStatus->text().isEmpty());

        // The board refuses the report: the link stays, and trying again works.
        WindowOnBoard g;
        frmMain& v = g.Load();
        v.Spring->setText(QStringLiteral("99"));
        g.Board->FailFeatureRequests = 1;
        v.Go_Click();
        QVERIFY(v.isVisible());
        QVERIFY(v.lblStatus->text().contains(QStringLiteral("not written")));
        QCOMPARE(v.Spring->text(), QStringLiteral("99"));
        QCOMPARE(v.Link.BoardOpen, FlagTrue);
        v.Go_Click();
        QVERIFY(!v.isVisible());
        QCOMPARE(g.Board->Board->Settings[28], std::uint8_t{99});
    }
};

QTEST_MAIN(TestWriteAndReset)
#include "test_write_and_reset.moc"
