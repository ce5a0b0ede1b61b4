// The window on the real hidapi backend, the kernel's hidraw driver and a board made
// through /dev/uhid by kx5170-virtual-board. Runs as root on a kernel with uhid and
// hid_generic: run-in-vm.sh provides one.

#include "frm_main.h"
#include "hidapi_backend.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <memory>

#ifndef KX_VIRTUAL_BOARD_PATH
#error "KX_VIRTUAL_BOARD_PATH must name the kx5170-virtual-board program"
#endif

using namespace kx;

namespace {

using namespace std::chrono_literals;

QString VirtualBoardProgram()
{
    const QByteArray fromEnvironment = qgetenv("KX_VIRTUAL_BOARD");
    return fromEnvironment.isEmpty() ? QStringLiteral(KX_VIRTUAL_BOARD_PATH) : QString::fromLocal8Bit(fromEnvironment);
}

// A kx5170-virtual-board process, followed through its standard output.
class VirtualBoard {
public:
    explicit VirtualBoard(QStringList arguments)
    {
        LogPath = Dir.filePath(QStringLiteral("requests.log"));
        Process.setProgram(VirtualBoardProgram());
        Process.setArguments(arguments << QStringLiteral("--log") << LogPath);
        Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Process.start();
    }

    ~VirtualBoard()
    {
        if (Process.state() == QProcess::NotRunning)
            return;
        Process.write("quit\n");
        if (!Process.waitForFinished(3000)) {
            Process.kill();
            Process.waitForFinished(3000);
        }
    }

    // The next line of output that starts with `prefix`, skipping others; an empty
    // string when none comes in time.
    QString WaitFor(const QString& prefix, std::chrono::milliseconds timeout = 10s)
    {
        QDeadlineTimer deadline(timeout);
        for (;;) {
            while (Process.canReadLine()) {
                const QString line = QString::fromUtf8(Process.readLine()).trimmed();
                if (line.startsWith(QStringLiteral("ready ")))
                    Node = line.mid(6);
                if (line.startsWith(prefix))
                    return line;
                if (line.startsWith(QStringLiteral("error ")))
                    qWarning("virtual board: %s", qPrintable(line));
            }
            if (deadline.hasExpired() || Process.state() == QProcess::NotRunning)
                return {};
            Process.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        }
    }

    // Sends a command and returns the board's answer that starts with `prefix`.
    QString Command(const QByteArray& command, const QString& prefix)
    {
        Process.write(command + '\n');
        Process.waitForBytesWritten(1000);
        return WaitFor(prefix);
    }

    bool WaitReady() { return !WaitFor(QStringLiteral("ready ")).isEmpty(); }

    QStringList Requests() const
    {
        QFile file(LogPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                              : QStringList{};
    }

    QString Node;  // /dev/hidrawN, from the latest "ready" line

private:
    QTemporaryDir Dir;
    QString LogPath;
    QProcess Process;
};

// Notes each feature request as the program hands it to the real platform, as "get 08
// 37" (report ID and length): uhid does not tell the board how much a get asked for.
class RecordingHandle final : public HidHandle {
public:
    RecordingHandle(std::unique_ptr<HidHandle> inner, QStringList& log) : Inner(std::move(inner)), Log(log) {}
    std::optional<std::vector<std::uint8_t>> ReportDescriptor() override { return Inner->ReportDescriptor(); }
    int GetFeatureReport(std::span<std::uint8_t> buffer) override
    {
        Note("get", buffer);
        return Inner->GetFeatureReport(buffer);
    }
    int SetFeatureReport(std::span<const std::uint8_t> report) override
    {
        Note("set", report);
        return Inner->SetFeatureReport(report);
    }
    std::optional<std::u16string> GetString(DeviceString which) override { return Inner->GetString(which); }
    int ReadInputReport(std::span<std::uint8_t> buffer) override { return Inner->ReadInputReport(buffer); }

private:
    void Note(const char* kind, std::span<const std::uint8_t> bytes)
    {
        Log << QStringLiteral("%1 %2 %3")
                   .arg(QLatin1String(kind))
                   .arg(bytes.empty() ? 0 : bytes[0], 2, 16, QLatin1Char('0'))
                   .arg(bytes.size());
    }
    std::unique_ptr<HidHandle> Inner;
    QStringList& Log;
};

class RecordingPlatform final : public HidPlatform {
public:
    RecordingPlatform(std::unique_ptr<HidPlatform> inner, QStringList& log) : Inner(std::move(inner)), Log(log) {}
    std::vector<HidInterfaceInfo> EnumerateInterfaces() override { return Inner->EnumerateInterfaces(); }
    OpenResult Open(const std::string& path, OpenMode mode) override
    {
        OpenResult opened = Inner->Open(path, mode);
        if (opened.Handle)
            opened.Handle = std::make_unique<RecordingHandle>(std::move(opened.Handle), Log);
        return opened;
    }
    std::optional<std::vector<std::uint8_t>> ReportDescriptor(const std::string& path) override
    {
        return Inner->ReportDescriptor(path);
    }
    void Pause(std::chrono::milliseconds duration) override { Inner->Pause(duration); }
    bool InterfacesMayHaveChanged() override { return Inner->InterfacesMayHaveChanged(); }
    int ChangeNotificationFd() const override { return Inner->ChangeNotificationFd(); }

private:
    std::unique_ptr<HidPlatform> Inner;
    QStringList& Log;
};

// A window on the real platform. The window goes before the platform: every handle
// must be closed before hidapi is shut down.
struct Program {
    QStringList FeatureRequests;  // as the program made them
    std::unique_ptr<HidPlatform> Platform = std::make_unique<RecordingPlatform>(MakeHidapiPlatform(), FeatureRequests);
    std::unique_ptr<frmMain> Window = std::make_unique<frmMain>(*Platform);

    ~Program() { Window.reset(); }
    frmMain& Loaded()
    {
        Window->Form_Load();
        return *Window;
    }
};

QList<QLineEdit*> Boxes(frmMain& w)
{
    return {w.Slimit, w.Homing, w.Stiff, w.Damp, w.TDamp, w.DampingScale, w.OverallScale, w.TInertia,
            w.TFriction, w.MotorFilter, w.InputFilter, w.Spring};
}

QStringList BoxTexts(frmMain& w)
{
    QStringList texts;
    for (QLineEdit* box : Boxes(w))
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
                 "/dev/uhid is not writable: these tests run as root on a kernel with uhid (tests/e2e/run-in-vm.sh)");
    }

    void StartsWithBoardPresent()
    {
        // Another vendor's device is listed too; it must be left alone. The board has a
        // second top-level collection, for which hidapi lists it twice under one path.
        VirtualBoard other({"--vendor", "0x1234", "--serial", "OTHER-1", "--rate", "0"});
        QVERIFY(other.WaitReady());
        const QString name = QStringLiteral(u"Volant KX5170 \u00E9dition \u00DC");  // reaches hidapi as UTF-8
        VirtualBoard board({"--product", "0x5E13", "--version", "0x0307", "--name", name, "--serial", "VB-0001",
                            "--second-collection", "--motion", "still", "--position", "1234", "--rate", "50"});
        QVERIFY(board.WaitReady());

        Program program;
        const auto interfaces = program.Platform->EnumerateInterfaces();
        QCOMPARE(std::ranges::count(interfaces, board.Node.toStdString(), &HidInterfaceInfo::Path), 1);

        frmMain& w = program.Loaded();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QCOMPARE(QString::fromStdString(w.Link.DevicePath), board.Node);
        QCOMPARE(w.lblProduct->text(), QLatin1Char(' ') + name);
        QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" VB-0001"));
        // hidapi gives no version for a device without a USB parent; the kernel's is shown.
        QCOMPARE(w.lblVersion->text(), QStringLiteral(" 3.7"));
        QVERIFY(w.Frame1->isEnabled());
        QVERIFY(w.Go->isEnabled());
        QCOMPARE(BoxTexts(w), FactoryBoxTexts);
        QCOMPARE(w.focusWidget(), w.Homing);
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 1234"), 5000);
        QCOMPARE(w.Degrees->text(), QStringLiteral(" 44.4"));  // 10000 counts a turn

        // One settings read, and nothing at all for the other device.
        QCOMPARE(board.Requests(), QStringList{"get 08"});
        QCOMPARE(other.Requests(), QStringList{});
    }

    // Absent at the start, plugged in while the user may not open it, then opened once
    // access is granted; unplugged, and back under a new node.
    void FollowsPlugUnplugAndReplug()
    {
        VirtualBoard board({"--serial", "VB-REPLUG", "--unplugged", "--motion", "still", "--position", "-300",
                            "--rate", "50"});
        QVERIFY(!board.WaitFor(QStringLiteral("unplugged")).isEmpty());

        Program program;
        frmMain& w = program.Loaded();
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
        QVERIFY(!w.Go->isEnabled());
        QVERIFY(!w.Slimit->isEnabled());
        QCOMPARE(w.Position->text(), QString());

        // File access as an ordinary user, as on a desktop without the udev rule: the
        // node belongs to root with mode 0600.
        QCOMPARE(::setfsgid(65534), 0);
        QCOMPARE(::setfsuid(65534), 0);
        auto asRoot = qScopeGuard([] { ::setfsuid(0), ::setfsgid(0); });
        QVERIFY(!board.Command("plug", QStringLiteral("ready ")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(w.Link.BoardOpenFailure, HidFailure::AccessDenied, 5000);
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
        // Said only once the board has had its second to be given access.
        QCOMPARE(w.lblStatus->text(), QStringLiteral("No board found: plug it in."));
        QTRY_COMPARE_WITH_TIMEOUT(w.lblStatus->toolTip(), QStringLiteral("Board found, but access was denied."), 5000);

        asRoot.dismiss();
        ::setfsuid(0), ::setfsgid(0);
        QTRY_COMPARE_WITH_TIMEOUT(w.Link.BoardOpen, FlagTrue, 5000);
        QCOMPARE(w.lblStatus->text(), QString());
        QCOMPARE(QString::fromStdString(w.Link.DevicePath), board.Node);
        QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" VB-REPLUG"));
        QCOMPARE(BoxTexts(w), FactoryBoxTexts);
        QVERIFY(w.Go->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" -300"), 5000);

        // Another program keeps the old node open, so the kernel cannot give its number
        // back: the board returns under a new node, as it does on a busy desktop.
        const QString firstNode = board.Node;
        const int holder = ::open(firstNode.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(holder >= 0);
        const auto closeHolder = qScopeGuard([holder] { ::close(holder); });

        QVERIFY(!board.Command("unplug", QStringLiteral("unplugged")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(w.Link.BoardOpen, FlagFalse, 5000);
        QCOMPARE(w.Position->text(), QString());
        QVERIFY(!w.Go->isEnabled());

        QVERIFY(!board.Command("plug", QStringLiteral("ready ")).isEmpty());
        QVERIFY(board.Node != firstNode);
        QTRY_COMPARE_WITH_TIMEOUT(w.Link.BoardOpen, FlagTrue, 5000);
        QCOMPARE(QString::fromStdString(w.Link.DevicePath), board.Node);
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
        frmMain& w = program.Loaded();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);

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
        const int last = held.mid(5).toInt();
        QTest::qWait(400);
        QVERIFY2(reportsBetween(shown(), last) < 500,
                 qPrintable(QStringLiteral("shows %1, the board's last report was %2").arg(shown()).arg(last)));

        // Reports queued together: the newest is shown, not the first.
        const QString sent = board.Command("burst 40", QStringLiteral("sent "));
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" %1").arg(sent.mid(5)), 5000);
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
    }

    void WriteSendsExactReports_data()
    {
        QTest::addColumn<QStringList>("lengths");  // the virtual board's options
        QTest::addColumn<int>("settingsLength");
        QTest::addColumn<int>("resetLength");
        QTest::newRow("8 and 32 alike") << QStringList{} << 64 << 64;
        QTest::newRow("32 longer than 8") << QStringList{"--report8-length", "37", "--report32-length", "64"} << 37
                                          << 64;
        QTest::newRow("32 shorter than 8") << QStringList{"--report8-length", "37", "--report32-length", "2"} << 37
                                           << 2;
    }

    void WriteSendsExactReports()
    {
        QFETCH(QStringList, lengths);
        QFETCH(int, settingsLength);
        QFETCH(int, resetLength);
        VirtualBoard board(QStringList{"--serial", "VB-WRITE", "--rate", "100"} + lengths);
        QVERIFY(board.WaitReady());
        const QStringList typed{"12345", "-2", "300", "0", "251", "40", "100", "17", "1", "9", "10000", "127"};
        QStringList madeRequests;
        {
            Program program;
            frmMain& w = program.Loaded();
            QCOMPARE(w.Link.BoardOpen, FlagTrue);
            QCOMPARE(BoxTexts(w), FactoryBoxTexts);
            for (int i = 0; i < typed.size(); ++i)
                Boxes(w)[i]->setText(typed[i]);
            QTest::qWait(150);  // input reports keep coming while the user types

            w.Go_Click();
            QVERIFY(!w.isVisible());
            // Out-of-range values are corrected in their boxes before they are sent.
            QCOMPARE(w.Stiff->text(), QStringLiteral("255"));
            QCOMPARE(w.TDamp->text(), QStringLiteral("250"));
            madeRequests = program.FeatureRequests;
        }

        // Report 8 from byte 2 on: the read image one byte up, behind the command.
        const QString image = QStringLiteral("00 00 00 00 00 00 00 00 00 00 00 00 00 "  // 2 to 14
                                             "66 39 30 fe ff "  // 15 DampingScale 40 %, 16 Slimit 12345, 18 Homing -2
                                             "ff 00 fa ff "     // 20 Stiff 255, Damp 0, TDamp 250, 23 OverallScale 100%
                                             "11 01 09 "        // 24 TInertia 17, TFriction 1, MotorFilter 9
                                             "10 27 7f")        // 27 InputFilter 10000, 29 Spring 127
                              + QStringLiteral(" 00").repeated(settingsLength - 30);
        QCOMPARE(board.Requests(), (QStringList{"get 08", "set 08 01 " + image, "set 08 02 " + image,
                                                "set 08 03 " + image, "get 20"}));
        const QString set = QStringLiteral("set 08 %1").arg(settingsLength);
        QCOMPARE(madeRequests, (QStringList{QStringLiteral("get 08 %1").arg(settingsLength), set, set, set,
                                            QStringLiteral("get 20 %1").arg(resetLength)}));
    }

    // The board's joystick interface, with the input reports only, is listed first.
    void LoadsFromTheInterfaceThatCarriesTheSettings()
    {
        VirtualBoard joystick({"--serial", "VB-TWO", "--report8-length", "0", "--report32-length", "0", "--rate", "0"});
        QVERIFY(joystick.WaitReady());
        VirtualBoard board({"--serial", "VB-TWO", "--rate", "0"});
        QVERIFY(board.WaitReady());

        Program program;
        QStringList listed;
        for (const HidInterfaceInfo& info : program.Platform->EnumerateInterfaces())
            listed << QString::fromStdString(info.Path);
        QVERIFY2(listed.indexOf(joystick.Node) >= 0 && listed.indexOf(joystick.Node) < listed.indexOf(board.Node),
                 qPrintable(listed.join(u' ')));

        frmMain& w = program.Loaded();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QCOMPARE(QString::fromStdString(w.Link.DevicePath), board.Node);
        QCOMPARE(BoxTexts(w), FactoryBoxTexts);
        QVERIFY(w.Go->isEnabled());
        QCOMPARE(board.Requests(), QStringList{"get 08"});
        QCOMPARE(joystick.Requests(), QStringList{});
    }

    // While a game drives it, the board sends its force-feedback state (report 2, 3
    // bytes) between the wheel's reports: read as a position it would show 769.
    void StateReportsNeverShowAsPosition()
    {
        VirtualBoard board({"--serial", "VB-STATE", "--rate", "0"});
        QVERIFY(board.WaitReady());
        Program program;
        frmMain& w = program.Loaded();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QVERIFY(!board.Command("position 1234", QStringLiteral("sent ")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 1234"), 5000);

        QStringList shown;  // after every tick
        connect(w.Timer, &QTimer::timeout, this, [&] {
            if (!shown.contains(w.Position->text()))
                shown << w.Position->text();
        });
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(board.Command("state 3", QStringLiteral("ok")), QStringLiteral("ok"));
            QTest::qWait(150);
            QVERIFY(!board.Command("position 1234", QStringLiteral("sent ")).isEmpty());
            QCOMPARE(board.Command("state 1", QStringLiteral("ok")), QStringLiteral("ok"));
            QTest::qWait(150);
        }
        QCOMPARE(shown, QStringList{" 1234"});
        QVERIFY(!board.Command("position 4321", QStringLiteral("sent ")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 4321"), 5000);
    }

    void BadInputSendsNothing()
    {
        VirtualBoard board({"--serial", "VB-BAD", "--rate", "100", "--motion", "still"});
        QVERIFY(board.WaitReady());
        Program program;
        frmMain& w = program.Loaded();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);

        // One bad box at a time; each is refused with the text left as typed.
        for (auto [box, text] : {std::pair{w.Homing, "abc"}, {w.Damp, ""}, {w.Slimit, "65536"}, {w.Homing, "-32769"},
                                 {w.InputFilter, "99999999999"}, {w.Spring, "1e2"}}) {
            const QString before = box->text();
            box->setText(QString::fromLatin1(text));
            w.Go_Click();
            QVERIFY2(w.isVisible(), text);
            QCOMPARE(box->text(), QString::fromLatin1(text));
            QCOMPARE(w.focusWidget(), box);
            QVERIFY(!w.lblStatus->text().isEmpty());
            box->setText(before);
        }
        QTest::qWait(300);  // nothing is sent late either
        QCOMPARE(board.Requests(), QStringList{"get 08"});
        QVERIFY(!board.Command("position 77", QStringLiteral("sent ")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 77"), 5000);  // still followed
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
