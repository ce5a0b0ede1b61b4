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

namespace {

// The command-1 image of the factory settings, left as loaded, at report 8's length.
Bytes FactoryWriteImage(std::size_t length = 64)
{
    Bytes image = {
        0x08, 0x01,                                                                    // report 8, command 1
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 2 to 14
        0xBF, 0x88, 0x13, 0x9C, 0xFF,  // DampingScale 75 %, Slimit 5000, Homing -100
        0xC8, 0x32, 0x14, 0xE6,        // Stiff 200, Damp 50, TDamp 20, OverallScale 90 %
        0x0A, 0x05, 0x04,              // TInertia 10, TFriction 5, MotorFilter 4
        0xE8, 0x03, 0x40,              // InputFilter 1000, Spring 64
    };
    image.resize(length, 0x00);
    return image;
}

}  // namespace

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

    void valuesAreBroughtIntoRange_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("offset");
        QTest::addColumn<Bytes>("sent");
        QTest::newRow("Stiff 300") << "Stiff" << "300" << "255" << 20 << Bytes{0xFF};
        QTest::newRow("Stiff 255 passes") << "Stiff" << "255" << "255" << 20 << Bytes{0xFF};
        QTest::newRow("Damp -7") << "Damp" << "-7" << "0" << 21 << Bytes{0x00};
        QTest::newRow("TDamp 250.5 kept") << "TDamp" << "250.5" << "250.5" << 22 << Bytes{0xFA};
        QTest::newRow("TDamp 250.6") << "TDamp" << "250.6" << "250" << 22 << Bytes{0xFA};
        QTest::newRow("TInertia 12.5 to even") << "TInertia" << "12.5" << "12.5" << 24 << Bytes{0x0C};
        QTest::newRow("TFriction 13.5 to even") << "TFriction" << "13.5" << "13.5" << 25 << Bytes{0x0E};
        QTest::newRow("TFriction 251") << "TFriction" << "251" << "250" << 25 << Bytes{0xFA};
        QTest::newRow("Spring 128") << "Spring" << "128" << "127" << 29 << Bytes{0x7F};
        QTest::newRow("DampingScale 0") << "DampingScale" << "0" << "1" << 15 << Bytes{0x03};
        QTest::newRow("DampingScale 150") << "DampingScale" << "150" << "100" << 15 << Bytes{0xFF};
        QTest::newRow("OverallScale 100.5 kept") << "OverallScale" << "100.5" << "100.5" << 23 << Bytes{0xFF};
        QTest::newRow("OverallScale 50") << "OverallScale" << "50" << "50" << 23 << Bytes{0x80};
        QTest::newRow("MotorFilter 0") << "MotorFilter" << "0" << "1" << 26 << Bytes{0x01};
        QTest::newRow("InputFilter 20000") << "InputFilter" << "20000" << "10000" << 27 << Bytes{0x10, 0x27};
        QTest::newRow("InputFilter 0") << "InputFilter" << "0" << "1" << 27 << Bytes{0x01, 0x00};
        QTest::newRow("Homing -1 unchanged") << "Homing" << "-1" << "-1" << 18 << Bytes{0xFF, 0xFF};
        QTest::newRow("Homing -32768") << "Homing" << "-32768" << "-32768" << 18 << Bytes{0x00, 0x80};
        QTest::newRow("Slimit 65535 unchanged") << "Slimit" << "65535" << "65535" << 16 << Bytes{0xFF, 0xFF};
        QTest::newRow("Slimit with blanks") << "Slimit" << "  300 " << "  300 " << 16 << Bytes{0x2C, 0x01};
    }

    void valuesAreBroughtIntoRange()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, offset);
        QFETCH(Bytes, sent);
        WindowOnBoard f;
        frmMain& w = f.Load();
        QLineEdit* edit = w.findChild<QLineEdit*>(box);
        edit->setText(typed);
        w.Go_Click();
        QCOMPARE(edit->text(), shown);
        const auto sets = f.SetRequests();
        QCOMPARE(sets.size(), std::size_t{3});
        Bytes expected = FactoryWriteImage();
        std::copy(sent.begin(), sent.end(), expected.begin() + offset);
        QCOMPARE(sets[0], expected);
        QVERIFY(!w.isVisible());
    }

    void fieldsAreHandledInTableOrder()
    {
        WindowOnBoard f;
        frmMain& w = f.Load();
        QStringList rewritten;
        w.InputFilter->setText(QStringLiteral("0"));
        w.DampingScale->setText(QStringLiteral("500"));
        w.Spring->setText(QStringLiteral("-3"));
        w.Damp->setText(QStringLiteral("999"));
        w.TInertia->setText(QStringLiteral("-1"));
        for (QLineEdit* box : f.Boxes())
            connect(box, &QLineEdit::textChanged, this,
                    [&, box] { rewritten << box->objectName() + '=' + box->text(); });
        w.Go_Click();
        QCOMPARE(rewritten, (QStringList{"Damp=255", "TInertia=0", "Spring=0", "DampingScale=100", "InputFilter=1"}));
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
        QTest::newRow("Homing placeholder") << "Homing" << "Centre" << "Centre offset";
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
        QVERIFY(w.lblStatus->geometry().bottom() < w.height());
        QVERIFY(w.lblStatus->geometry().top() > w.Go->geometry().bottom());
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
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
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
