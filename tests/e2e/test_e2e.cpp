// The window on the real hidapi backend, the kernel's hidraw driver and boards made by
// kx5170-virtual-board, through /dev/uhid or as USB devices (KX_E2E_BOARD=usb): what
// only the kernel's path shows. Runs as root on a kernel with uhid, hid_generic and,
// for USB boards, dummy_hcd and FunctionFS: scripts/run-in-vm provides one.

#include "frm_main.h"
#include "hidapi_backend.h"
#include "session_worker.h"
#include "window_controls.h"
#include "virtual_board_process.h"

#include <QLabel>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <fcntl.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <memory>
#include <utility>

using namespace kx;
using namespace kx::e2e;

namespace {

// A window on the real platform, its session on a thread of its own as the program runs
// it (or on the test's, where the test changes its own thread's file access). Members
// go in reverse order, so the window goes before the platform: every handle must be
// closed before hidapi is shut down.
struct Program {
    explicit Program(bool threaded = true)
    {
        if (threaded)
            Window->RunSessionOnThread();
        // No modal dialog under a test: values not written are let go, questions
        // answered yes, warnings dropped.
        Window->SetDialogs({[](QWidget*, const QString&) { return QString(); },
                            [](QWidget*, const QString&) { return QString(); },
                            [](QWidget*, const QString&) { return true; },
                            [](QWidget*, const QString&, const QStringList&) { return 1; },
                            [](QWidget*, const QString&) {}});
    }
    ~Program() { Window->FinishSession(std::chrono::seconds(10)); }

    std::unique_ptr<HidPlatform> Platform = MakeHidapiPlatform();
    std::unique_ptr<frmMain> Window = std::make_unique<frmMain>(std::make_unique<SessionWorker>(*Platform));
    WindowControls V{*Window};

    frmMain& Loaded()
    {
        Window->Form_Load();
        return *Window;
    }
};

// The longest the event loop stood still since it was made: a timer every 5 ms notes
// each gap between its ticks.
struct LoopWatch {
    LoopWatch()
    {
        QObject::connect(&Beat, &QTimer::timeout, [this] {
            LongestGap = std::max(LongestGap, Clock.elapsed() - Last);
            Last = Clock.elapsed();
        });
        Clock.start();
        Beat.start(5);
    }
    QElapsedTimer Clock;
    qint64 Last = 0, LongestGap = 0;
    QTimer Beat;
};

QStringList BoxTexts(WindowControls& v)
{
    QStringList texts;
    for (QLineEdit* box : v.Boxes)
        texts << box->text();
    return texts;
}

const QStringList FactoryBoxTexts{"5000", "-100", "200", "50", "20", "75", "90", "10", "5", "4", "1000", "64"};

}  // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(VirtualBoardProgram()), qPrintable(VirtualBoardProgram()));
        QVERIFY2(::access("/dev/uhid", W_OK) == 0,
                 "/dev/uhid is not writable: these tests run as root on a kernel with uhid (scripts/run-in-vm)");
    }

    // Beside the board: another vendor's device, and the board's joystick interface
    // (input reports only) listed before it; both are left alone. The board has a second
    // top-level collection, for which hidapi lists it twice under one path.
    void LoadsTheBoardAmongOtherInterfaces()
    {
        VirtualBoard other({"--vendor", "0x1234", "--serial", "OTHER-1", "--rate", "0"}, VirtualBoard::Kind::Uhid);
        QVERIFY(other.WaitReady());
        VirtualBoard joystick(
            {"--serial", "VB-0001", "--report8-length", "0", "--report32-length", "0", "--rate", "0"});
        QVERIFY(joystick.WaitReady());
        const QString name = QStringLiteral(u"Volant KX5170 \u00E9dition \u00DC");  // reaches hidapi as UTF-8
        VirtualBoard board({"--product", "0x5E13", "--version", "0x0307", "--name", name, "--serial", "VB-0001",
                            "--second-collection", "--motion", "still", "--position", "1234", "--rate", "50"});
        QVERIFY(board.WaitReady());

        Program program;
        QStringList listed;
        for (const HidInterfaceInfo& info : program.Platform->EnumerateInterfaces())
            listed << QString::fromStdString(info.Path);
        QCOMPARE(listed.count(board.Node), 1);
        QVERIFY2(listed.indexOf(joystick.Node) < listed.indexOf(board.Node), qPrintable(listed.join(u' ')));

        frmMain& window = program.Loaded();
        WindowControls& w = program.V;
        QTRY_VERIFY_WITH_TIMEOUT(w.Go->isEnabled(), 5000);
        QCOMPARE(w.lblProduct->text(), QLatin1Char(' ') + name);
        QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" VB-0001"));
        // hidapi gives no version for a device without a USB parent; the kernel's is shown.
        QCOMPARE(w.lblVersion->text(), QStringLiteral(" 3.7"));
        QCOMPARE(BoxTexts(w), FactoryBoxTexts);
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 1234"), 5000);
        (void)window;
        QCOMPARE(w.Degrees->text(), QStringLiteral(" 44.4"));  // 10000 counts a turn

        // While a game drives it, the board sends its force-feedback state (report 2,
        // 3 bytes) between the wheel's reports: read as a position it would show 769.
        QVERIFY(!board.Command("hold", QStringLiteral("held ")).isEmpty());
        QStringList shown;  // after every tick
        connect(&window.Session(), &SessionWorker::PositionRead, this, [&] {
            if (!shown.contains(w.Position->text()))
                shown << w.Position->text();
        });
        QCOMPARE(board.Command("state 3", QStringLiteral("ok")), QStringLiteral("ok"));
        QTest::qWait(300);
        QVERIFY2(shown.isEmpty() || shown == QStringList{" 1234"}, qPrintable(shown.join(u',')));
        QVERIFY(!board.Command("position 4321", QStringLiteral("sent ")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 4321"), 5000);

        QCOMPARE(board.Requests(), QStringList{"get 08"});
        QCOMPARE(joystick.Requests(), QStringList{});
        QCOMPARE(other.Requests(), QStringList{});
    }

    // Absent at the start, plugged in while the user may not open it, then opened once
    // access is granted; unplugged, and back under a new node.
    void FollowsPlugUnplugAndReplug()
    {
        VirtualBoard board({"--serial", "VB-REPLUG", "--unplugged", "--motion", "still", "--position", "-300",
                            "--rate", "50"});
        QVERIFY(!board.WaitFor(QStringLiteral("unplugged")).isEmpty());
        // The file access below is the test thread's own: the session runs on it.
        Program program(false);
        program.Loaded();
        WindowControls& w = program.V;
        QVERIFY(!w.Go->isEnabled());

        // File access as an ordinary user, as on a desktop without the udev rule: the
        // node belongs to root with mode 0600.
        QCOMPARE(::setfsgid(65534), 0);
        QCOMPARE(::setfsuid(65534), 0);
        auto asRoot = qScopeGuard([] { ::setfsuid(0), ::setfsgid(0); });
        QVERIFY(!board.Command("plug", QStringLiteral("ready ")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(w.lblStatus->toolTip(), QStringLiteral("Board found, but access was denied."), 5000);

        asRoot.dismiss();
        ::setfsuid(0), ::setfsgid(0);
        QTRY_VERIFY_WITH_TIMEOUT(w.Go->isEnabled(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" -300"), 5000);

        // Another program keeps the old node open, so the kernel cannot give its number
        // back: the board returns under a new node, as it does on a busy desktop.
        const QString firstNode = board.Node;
        const int holder = ::open(firstNode.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(holder >= 0);
        const auto closeHolder = qScopeGuard([holder] { ::close(holder); });
        QVERIFY(!board.Command("unplug", QStringLiteral("unplugged")).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!w.Go->isEnabled(), 5000);
        QCOMPARE(w.Position->text(), QString());

        QVERIFY(!board.Command("plug", QStringLiteral("ready ")).isEmpty());
        QVERIFY(board.Node != firstNode);
        QTRY_VERIFY_WITH_TIMEOUT(w.Go->isEnabled(), 5000);
        QVERIFY(!board.Command("position 4321", QStringLiteral("sent ")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 4321"), 5000);
        QCOMPARE(board.Requests(), (QStringList{"get 08", "get 08"}));
    }

    void ShowsNewestPositionAt1000ReportsPerSecond()
    {
        // Each report carries the one before plus 1: a shown value tells which report it came from.
        VirtualBoard board({"--serial", "VB-FAST", "--rate", "1000", "--motion", "sequence"});
        QVERIFY(board.WaitReady());
        Program program;
        program.Loaded();
        WindowControls& w = program.V;
        const auto shown = [&] { return w.Position->text().trimmed().toInt(); };
        const auto reportsBetween = [](int from, int to) { return (to - from + 65536) % 65536; };

        QTRY_VERIFY_WITH_TIMEOUT(!w.Position->text().isEmpty(), 5000);
        const int first = shown();
        QTest::qWait(1000);
        QVERIFY2(reportsBetween(first, shown()) > 20,
                 qPrintable(QStringLiteral("from %1 to %2 in a second").arg(first).arg(shown())));

        // Stopped, the window catches up within a few ticks rather than trailing the flood. The
        // bound allows for a half-second stall, after which the kernel's queue keeps older reports.
        const QString held = board.Command("hold", QStringLiteral("held "));
        QVERIFY(!held.isEmpty());
        QTest::qWait(400);
        QVERIFY2(reportsBetween(shown(), held.mid(5).toInt()) < 500,
                 qPrintable(QStringLiteral("shows %1, the board's last report was %2").arg(shown()).arg(held.mid(5))));
    }

    // Each report at the length the board declares for it, whichever is the longer; the
    // reset's answer is not needed, whatever its length.
    void WriteSendsExactReports_data()
    {
        QTest::addColumn<QString>("resetLength");
        QTest::newRow("32 longer than 8") << "64";
        QTest::newRow("32 shorter than 8") << "2";
    }

    void WriteSendsExactReports()
    {
        QFETCH(QString, resetLength);
        VirtualBoard board({"--serial", "VB-WRITE", "--rate", "100", "--report8-length", "37", "--report32-length",
                            resetLength});
        QVERIFY(board.WaitReady());
        const QStringList typed{"12345", "-2", "300", "0", "251", "40", "100", "17", "1", "9", "10000", "127"};
        {
            Program program;
            frmMain& window = program.Loaded();
            WindowControls& w = program.V;
            QTRY_VERIFY_WITH_TIMEOUT(w.Go->isEnabled(), 5000);
            for (int i = 0; i < typed.size(); ++i)
                w.Boxes[std::size_t(i)]->setText(typed[i]);
            QTest::qWait(150);  // input reports keep coming while the user types
            w.Go->click();
            QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 5000);
        }
        // 300 and 251 are brought to their bounds, 255 and 250.
        const QString image = WrittenImage(37);
        QCOMPARE(board.Requests(), (QStringList{"get 08", "set 08 01 " + image, "set 08 02 " + image,
                                                "set 08 03 " + image, "get 20"}));
    }

    // "Write and keep open": the same sequence, then the same board read back once it is
    // back from its reset under a new node, the window open all along.
    void WriteAndKeepOpenReadsTheBoardBack()
    {
        VirtualBoard board({"--serial", "VB-KEEP", "--rate", "50"});
        QVERIFY(board.WaitReady());
        Program program;
        frmMain& window = program.Loaded();
        WindowControls& w = program.V;
        QTRY_VERIFY_WITH_TIMEOUT(w.Go->isEnabled(), 5000);
        w.Stiff->setText(QStringLiteral("123"));
        w.actWriteKeepOpen->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.lblStatus->text(), QStringLiteral("Written and read back."), 15000);
        QVERIFY(window.isVisible() && w.Go->isEnabled());
        QCOMPARE(w.Stiff->text(), QStringLiteral("123"));
        const QStringList requests = board.Requests();
        QCOMPARE(requests.size(), 6);
        QCOMPARE(requests.first(), QStringLiteral("get 08"));
        QCOMPARE(requests.mid(4), (QStringList{"get 20", "get 08"}));
        // Followed on its new node: the position still comes.
        QVERIFY(!board.Command("hold", QStringLiteral("held ")).isEmpty());
        QVERIFY(!board.Command("position 777", QStringLiteral("sent ")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 777"), 5000);
    }

    // A board that holds each request for seconds: the window goes on repainting and
    // taking events meanwhile, loads once the answer comes, and closes at once even
    // while a request hangs in the kernel.
    void StalledBoardNeverHoldsTheWindow()
    {
        VirtualBoard board({"--serial", "VB-SLOW", "--rate", "50"});
        QVERIFY(board.WaitReady());
        QCOMPARE(board.Command("stall 2000", QStringLiteral("ok")), QStringLiteral("ok"));
        Program program;
        LoopWatch watch;
        QElapsedTimer& clock = watch.Clock;
        const qint64& longestGap = watch.LongestGap;
        frmMain& window = program.Loaded();
        WindowControls& w = program.V;
        QTRY_COMPARE_WITH_TIMEOUT(w.lblStatus->text(), QStringLiteral("Reading the board..."), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(w.Go->isEnabled(), 8000);  // the read waited 2 s for its answer
        QCOMPARE(BoxTexts(w), FactoryBoxTexts);
        QVERIFY2(longestGap < 250, qPrintable(QStringLiteral("the event loop stood still for %1 ms").arg(longestGap)));

        // F5 asks again, the board holds it: the window closes at once all the same.
        QCOMPARE(board.Command("stall 3000", QStringLiteral("ok")), QStringLiteral("ok"));
        program.V.actReload->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.lblStatus->text(), QStringLiteral("Reading the board..."), 2000);
        QTest::qWait(200);
        clock.restart();
        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
        QVERIFY2(!window.FinishSession(std::chrono::milliseconds(300)), "the session was not held by the board");
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

    // A request the board never answers: the kernel ends it after 5 s (USB: a time-out;
    // uhid: an error), the window goes on meanwhile and says which it was.
    void UnansweredRequestIsSaidAndNeverHoldsTheWindow()
    {
        VirtualBoard board({"--serial", "VB-MUTE", "--rate", "50"});
        QVERIFY(board.WaitReady());
        QCOMPARE(board.Command("stall 10000", QStringLiteral("ok")), QStringLiteral("ok"));
        Program program;
        LoopWatch watch;
        QElapsedTimer& clock = watch.Clock;
        const qint64& longestGap = watch.LongestGap;
        program.Loaded();
        WindowControls& w = program.V;
        const QString said = UsbBoards() ? QStringLiteral("did not answer in time") : QStringLiteral("refused");
        QTRY_VERIFY2_WITH_TIMEOUT(w.lblStatus->toolTip().contains(said) || w.lblStatus->text().contains(said),
                                  qPrintable(w.lblStatus->text() + u'|' + w.lblStatus->toolTip()), 9000);
        QVERIFY2(clock.elapsed() >= 4500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!w.Go->isEnabled());
        QVERIFY2(longestGap < 250, qPrintable(QStringLiteral("the event loop stood still for %1 ms").arg(longestGap)));
    }

    // "Write and keep open" to a board that never comes back from its reset, then
    // "Write and reset" with no board to write to, then close: the window goes within a
    // second, as the program must end. The click comes as the read-back's failure is
    // shown, before any later news of the lost board: a user who clicks then is not
    // told of it either.
    void ClosesAtOnceAfterABoardThatNeverCameBack()
    {
        VirtualBoard board({"--serial", "VB-GONE", "--rate", "50", "--reset-delay", "600000"});
        QVERIFY(board.WaitReady());
        Program program;
        frmMain& window = program.Loaded();
        WindowControls& w = program.V;
        QTRY_VERIFY_WITH_TIMEOUT(w.Go->isEnabled(), 5000);
        w.Stiff->setText(QStringLiteral("123"));
        bool clicked = false;
        QString shownAtTheClick;
        connect(&window.Session(), &SessionWorker::WriteAnswered, &window, [&] {
            if (std::exchange(clicked, true))
                return;
            shownAtTheClick = w.lblStatus->text();
            window.Go_Click();
        });
        w.actWriteKeepOpen->trigger();
        QVERIFY(!board.WaitFor(QStringLiteral("unplugged")).isEmpty());
        // The session waits 10 s for the board to come back.
        QTRY_VERIFY_WITH_TIMEOUT(clicked, 15000);
        QVERIFY2(shownAtTheClick.startsWith(QStringLiteral("Written, but not read back")), qPrintable(shownAtTheClick));
        QTest::qWait(200);

        QElapsedTimer clock;
        clock.start();
        window.close();
        QTRY_VERIFY2_WITH_TIMEOUT(!window.isVisible(), qPrintable(w.lblStatus->text()), 1000);
        window.FinishSession(std::chrono::milliseconds(300));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(!w.lblStatus->text().startsWith(QStringLiteral("Writing")), qPrintable(w.lblStatus->text()));
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_e2e.moc"
