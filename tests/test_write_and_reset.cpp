// "Write and reset": what reaches the board, byte for byte, and what does not.
#include "window_fixture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace kx;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The command-1 image of the factory settings, left as loaded.
Bytes FactoryWriteImage()
{
    Bytes image = {
        0x08, 0x01,                                                        // report 8, command 1
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 2 to 12
        0x00, 0x00,                                                        // 13, 14
        0xBF,                                                              // DampingScale 75 %
        0x88, 0x13,                                                        // Slimit 5000
        0x9C, 0xFF,                                                        // Homing -100
        0xC8,                                                              // Stiff 200
        0x32,                                                              // Damp 50
        0x14,                                                              // TDamp 20
        0xE6,                                                              // OverallScale 90 %
        0x0A,                                                              // TInertia 10
        0x05,                                                              // TFriction 5
        0x04,                                                              // MotorFilter 4
        0xE8, 0x03,                                                        // InputFilter 1000
        0x40,                                                              // Spring 64
    };
    image.resize(64, 0x00);
    return image;
}

QLineEdit* Box(frmMain& w, const QString& name)
{
    return w.findChild<QLineEdit*>(name);
}

}  // namespace

class TestWriteAndReset : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void writesTheSequenceAndEnds();
    void valuesAreBroughtIntoRange_data();
    void valuesAreBroughtIntoRange();
    void fieldsAreHandledInTableOrder();
    void noBoardSendsNothingAndEnds();
    void badTextIsRefused_data();
    void badTextIsRefused();
    void refusalMessagesFitTheStatusLine();
    void unpluggedBeforeTheClickKeepsTheEdits();
    void refusedReportKeepsTheEdits();
};

void TestWriteAndReset::writesTheSequenceAndEnds()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    w.Go_Click();

    const auto& log = f.Board->Board->Log;
    QCOMPARE(log.size(), std::size_t{5});  // the load's read, then the sequence
    using Kind = decltype(BoardModel::FeatureRequest::Kind);
    QCOMPARE(log[0].Kind, Kind::Get);
    QCOMPARE(log[0].Bytes, Bytes{0x08});

    Bytes expected = FactoryWriteImage();
    for (std::uint8_t command : {1, 2, 3}) {
        const auto& request = log[command];
        QCOMPARE(request.Kind, Kind::Set);
        expected[1] = command;
        QCOMPARE(request.Bytes, expected);
    }
    QCOMPARE(log[4].Kind, Kind::Get);
    QCOMPARE(log[4].Bytes, Bytes{0x20});
    QCOMPARE(log[4].Length, std::size_t{64});

    QVERIFY(!w.isVisible());
    QVERIFY(!w.Timer->isActive());
    QCOMPARE(f.Board->OpenHandles(), 0);
    // The unload that follows finds both handles closed already.
    QCOMPARE(f.Board->ClosesTotal, 2);
    w.close();
    QCOMPARE(f.Board->ClosesTotal, 2);
}

void TestWriteAndReset::valuesAreBroughtIntoRange_data()
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

void TestWriteAndReset::valuesAreBroughtIntoRange()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, offset);
    QFETCH(Bytes, sent);
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    Box(w, box)->setText(typed);
    w.Go_Click();

    QCOMPARE(Box(w, box)->text(), shown);
    const auto sets = f.SetRequests();
    QCOMPARE(sets.size(), std::size_t{3});
    Bytes expected = FactoryWriteImage();
    std::copy(sent.begin(), sent.end(), expected.begin() + offset);
    QCOMPARE(sets[0], expected);
    QVERIFY(!w.isVisible());
}

void TestWriteAndReset::fieldsAreHandledInTableOrder()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    QStringList rewritten;
    for (QLineEdit* box : f.Boxes()) {
        connect(box, &QLineEdit::textChanged, this,
                [&rewritten, box](const QString& text) { rewritten << box->objectName() + '=' + text; });
    }
    w.InputFilter->setText(QStringLiteral("0"));
    w.DampingScale->setText(QStringLiteral("500"));
    w.Spring->setText(QStringLiteral("-3"));
    w.Damp->setText(QStringLiteral("999"));
    w.TInertia->setText(QStringLiteral("-1"));
    rewritten.clear();
    w.Go_Click();
    QCOMPARE(rewritten, (QStringList{"Damp=255", "TInertia=0", "Spring=0", "DampingScale=100", "InputFilter=1"}));
}

void TestWriteAndReset::noBoardSendsNothingAndEnds()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    w.Stiff->setText(QStringLiteral("300"));
    f.Platform.Unplug(*f.Board);
    w.Timer_Timer();  // the link is lost
    f.Board->Board->Log.clear();
    w.Go_Click();
    QVERIFY(f.Board->Board->Log.empty());
    QCOMPARE(w.Stiff->text(), QStringLiteral("300"));
    QVERIFY(!w.isVisible());
    QVERIFY(!w.Timer->isActive());

    WindowOnBoard never(0x0307, false);
    never.W().Form_Load();
    never.W().Go_Click();
    QVERIFY(!never.W().isVisible());
}

void TestWriteAndReset::badTextIsRefused_data()
{
    // The full table of texts is in test_bad_input; these are the refusals' forms.
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Slimit beyond 16 bits") << "Slimit" << "65536" << "Stops (each side)";
    QTest::newRow("Homing placeholder") << "Homing" << "Centre" << "Centre offset";
    QTest::newRow("Homing stored negative") << "Homing" << "40000" << "Centre offset";
    QTest::newRow("Stiff letters") << "Stiff" << "abc" << "Stops stiffness";
    QTest::newRow("DampingScale comma in C locale") << "DampingScale" << "1,5" << "Damper Effect scale";
    QTest::newRow("InputFilter empty") << "InputFilter" << "" << "Input filter";
}

void TestWriteAndReset::badTextIsRefused()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, caption);
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // An edit the clamping would rewrite: it must stay as typed too.
    w.Stiff->setText(w.Stiff == Box(w, box) ? typed : QStringLiteral("300"));
    Box(w, box)->setText(typed);
    QStringList before;
    for (QLineEdit* b : f.Boxes())
        before << b->text();

    w.Go_Click();

    QVERIFY(f.SetRequests().empty());
    QCOMPARE(f.Board->Board->Log.size(), std::size_t{1});
    QStringList after;
    for (QLineEdit* b : f.Boxes())
        after << b->text();
    QCOMPARE(after, before);
    QVERIFY(w.isVisible());
    QCOMPARE(QApplication::focusWidget(), Box(w, box));
    QCOMPARE(Box(w, box)->selectedText(), Box(w, box)->text());
    QVERIFY2(w.lblStatus->text().startsWith(caption + ':'), qPrintable(w.lblStatus->text()));
    QVERIFY(w.Timer->isActive());
    QVERIFY(w.InputDrain->isActive());
    QCOMPARE(f.Board->OpenHandles(), 2);

    // Mended, the write goes through.
    Box(w, box)->setText(QStringLiteral("10"));
    w.Go_Click();
    QCOMPARE(f.SetRequests().size(), std::size_t{3});
    QVERIFY(!w.isVisible());
}

void TestWriteAndReset::refusalMessagesFitTheStatusLine()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    const QFontMetrics metrics(w.lblStatus->font());
    QVERIFY(w.lblStatus->geometry().bottom() < w.height());
    QVERIFY(w.lblStatus->geometry().top() > w.Go->geometry().bottom());
    for (QLineEdit* box : f.Boxes()) {
        const QString kept = box->text();
        box->setText(QStringLiteral("?"));
        w.Go_Click();
        const QString message = w.lblStatus->text();
        QVERIFY(!message.isEmpty());
        QVERIFY2(metrics.horizontalAdvance(message) <= w.lblStatus->width(), qPrintable(message));
        box->setText(kept);
    }
    f.Board->RefuseOpen = HidFailure::AccessDenied;
    f.Platform.Unplug(*f.Board);
    f.Platform.PlugIn(*f.Board);
    w.Timer_Timer();
    w.Timer_Timer();
    QVERIFY(w.lblStatus->text().contains(QStringLiteral("denied")));
    QVERIFY2(metrics.horizontalAdvance(w.lblStatus->text()) <= w.lblStatus->width(), qPrintable(w.lblStatus->text()));
}

void TestWriteAndReset::unpluggedBeforeTheClickKeepsTheEdits()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    w.Homing->setText(QStringLiteral("250"));
    w.Slimit->setText(QStringLiteral("4000"));
    f.Platform.Unplug(*f.Board);
    w.Go_Click();

    QVERIFY(w.isVisible());
    QCOMPARE(w.Homing->text(), QStringLiteral("250"));
    QCOMPARE(w.Slimit->text(), QStringLiteral("4000"));
    QVERIFY2(w.lblStatus->text().contains(QStringLiteral("not written")), qPrintable(w.lblStatus->text()));
    QVERIFY(w.Timer->isActive());

    // The supervision takes over on the next tick.
    w.Timer_Timer();
    QCOMPARE(w.Link.BoardOpen, FlagFalse);
    QVERIFY(!w.Go->isEnabled());
    QCOMPARE(w.Homing->text(), QStringLiteral("250"));
    QCOMPARE(f.Board->OpenHandles(), 0);
}

void TestWriteAndReset::refusedReportKeepsTheEdits()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    w.Spring->setText(QStringLiteral("99"));
    f.Board->FailFeatureRequests = 1;
    w.Go_Click();
    QVERIFY(w.isVisible());
    QVERIFY(w.lblStatus->text().contains(QStringLiteral("not written")));
    QCOMPARE(w.Spring->text(), QStringLiteral("99"));
    QCOMPARE(w.Link.BoardOpen, FlagTrue);

    // Trying again works, and the message goes with the window.
    w.Go_Click();
    QVERIFY(!w.isVisible());
    QCOMPARE(f.Board->Board->Settings[28], std::uint8_t{99});
}

QTEST_MAIN(TestWriteAndReset)
#include "test_write_and_reset.moc"
