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
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fcntl.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <memory>
#include <optional>

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
        arguments << QStringLiteral("--log") << LogPath;
        Process.setProgram(VirtualBoardProgram());
        Process.setArguments(arguments);
        Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Process.start();
    }

    ~VirtualBoard()
    {
        if (Process.state() != QProcess::NotRunning) {
            Process.write("quit\n");
            if (!Process.waitForFinished(3000)) {
                Process.kill();
                Process.waitForFinished(3000);
            }
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

    // True once the board's hidraw node exists.
    bool WaitReady() { return !WaitFor(QStringLiteral("ready ")).isEmpty(); }

    QStringList Requests() const
    {
        QFile file(LogPath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QString Node;  // /dev/hidrawN, from the latest "ready" line

private:
    QTemporaryDir Dir;
    QString LogPath;
    QProcess Process;
};

QStringList BoardArguments(const char* serial, std::initializer_list<const char*> more = {})
{
    QStringList arguments{QStringLiteral("--serial"), QString::fromLatin1(serial)};
    for (const char* a : more)
        arguments << QString::fromLatin1(a);
    return arguments;
}

// A window on the real platform. The window goes before the platform: every handle
// must be closed before hidapi is shut down.
struct Program {
    std::unique_ptr<HidPlatform> Platform = MakeHidapiPlatform();
    std::unique_ptr<frmMain> Window = std::make_unique<frmMain>(*Platform);

    ~Program() { Window.reset(); }
    frmMain& operator*() { return *Window; }
    frmMain* operator->() { return Window.get(); }
};

// A 64-byte settings write as the board logs it: report 8, the command, the given
// bytes from offset 2 on, zeros after.
QString SettingsWrite(int command, std::initializer_list<int> fromByte2)
{
    QStringList parts{QStringLiteral("set 08"), QStringLiteral("%1").arg(command, 2, 16, QLatin1Char('0'))};
    int n = 2;
    for (int b : fromByte2) {
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
        ++n;
    }
    for (; n < 64; ++n)
        parts << QStringLiteral("00");
    return parts.join(QLatin1Char(' '));
}

QStringList BoxTexts(frmMain& w)
{
    QStringList texts;
    for (QLineEdit* box : {w.Slimit, w.Homing, w.Stiff, w.Damp, w.TDamp, w.DampingScale, w.OverallScale, w.TInertia,
                           w.TFriction, w.MotorFilter, w.InputFilter, w.Spring})
        texts << box->text();
    return texts;
}

const QStringList FactoryBoxTexts{"5000", "-100", "200", "50", "20", "75", "90", "10", "5", "4", "1000", "64"};

}  // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { Elapsed.start(); }
    void cleanup() { qInfo("%lld ms", static_cast<long long>(Elapsed.elapsed())); }
    void StartsWithBoardPresent_data();
    void StartsWithBoardPresent();
    void FindsBoardPluggedInLater();
    void ListsBoardWithTwoCollectionsOnce();
    void TellsWhenAccessIsDenied();
    void ShowsNewestPositionAt1000ReportsPerSecond();
    void FollowsUnplugAndReplug();
    void WriteSendsExactReportsAndBoardKeepsThem();
    void WriteToVanishedBoardIsReportedAsFailure();
    void BadInputSendsNothing_data();
    void BadInputSendsNothing();

private:
    QElapsedTimer Elapsed;
};

void TestEndToEnd::initTestCase()
{
    QVERIFY2(QFileInfo::exists(VirtualBoardProgram()), qPrintable(VirtualBoardProgram()));
    QVERIFY2(::access("/dev/uhid", W_OK) == 0,
             "/dev/uhid is not writable: these tests run as root on a kernel with uhid (tests/e2e/run-in-vm.sh)");
}

void TestEndToEnd::StartsWithBoardPresent_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("shownVersion");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("degrees");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("serial");

    // Type 1 boards count 8192 a turn, types 2 and 3 count 10000.
    QTest::newRow("0x5E11, type 1") << "0x5E11" << "0x0101" << " 1.1" << 2048 << " 90" << "KX5170 Wheel Controller"
                                    << "VB-0001";
    QTest::newRow("0x5E12, type 2") << "0x5E12" << "0x020A" << " 2.A" << -2500 << " -90" << "KX5170" << "0";
    // The strings reach hidapi as UTF-8 from the kernel.
    QTest::newRow("0x5E13, type 3, accented name")
        << "0x5E13" << "0x0307" << " 3.7" << 1234 << " 44.4" << QStringLiteral(u"Volant KX5170 \u00E9dition \u00DC")
        << QStringLiteral(u"N\u00B0 42");
}

void TestEndToEnd::StartsWithBoardPresent()
{
    QFETCH(QString, product);
    QFETCH(QString, version);
    QFETCH(QString, shownVersion);
    QFETCH(int, position);
    QFETCH(QString, degrees);
    QFETCH(QString, name);
    QFETCH(QString, serial);

    // Another vendor's device is listed too; it must be left alone.
    VirtualBoard other({"--vendor", "0x1234", "--serial", "OTHER-1", "--rate", "0"});
    QVERIFY(other.WaitReady());
    VirtualBoard board({"--product", product, "--version", version, "--name", name, "--serial", serial, "--motion", "still", "--position", QString::number(position), "--rate", "50"});
    QVERIFY(board.WaitReady());

    Program program;
    frmMain& w = *program;
    w.Form_Load();

    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(QString::fromStdString(w.Link.DevicePath), board.Node);
    QCOMPARE(w.lblProduct->text(), QLatin1Char(' ') + name);
    QCOMPARE(w.lblSerialNumber->text(), QLatin1Char(' ') + serial);
    // hidapi gives no version for a device without a USB parent; the kernel's is shown.
    QCOMPARE(w.lblVersion->text(), shownVersion);
    QVERIFY(w.Frame1->isEnabled());
    QVERIFY(w.Go->isEnabled());
    QCOMPARE(BoxTexts(w), FactoryBoxTexts);
    QCOMPARE(w.focusWidget(), w.Homing);

    QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" %1").arg(position), 5000);
    QCOMPARE(w.Degrees->text(), degrees);

    // One settings read, and nothing at all for the other device.
    QCOMPARE(board.Requests(), QStringList{"get 08"});
    QCOMPARE(other.Requests(), QStringList{});
}

void TestEndToEnd::FindsBoardPluggedInLater()
{
    VirtualBoard board(BoardArguments("VB-LATE", {"--unplugged", "--motion", "still", "--position", "-300"}));
    QVERIFY(!board.WaitFor(QStringLiteral("unplugged")).isEmpty());

    Program program;
    frmMain& w = *program;
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagFalse);
    QVERIFY(!w.Go->isEnabled());
    QVERIFY(!w.Slimit->isEnabled());
    QCOMPARE(w.lblSerialNumber->text(), QString());
    QCOMPARE(w.Position->text(), QString());

    QVERIFY(!board.Command("plug", QStringLiteral("ready ")).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(w.Link.BoardOpen, FlagTrue, 5000);
    QCOMPARE(QString::fromStdString(w.Link.DevicePath), board.Node);
    QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" VB-LATE"));
    QCOMPARE(BoxTexts(w), FactoryBoxTexts);
    QVERIFY(w.Go->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" -300"), 5000);
    QCOMPARE(board.Requests(), QStringList{"get 08"});
}

void TestEndToEnd::ListsBoardWithTwoCollectionsOnce()
{
    // hidapi lists a device once per top-level collection, every time with the same path.
    VirtualBoard board(BoardArguments("VB-TWO", {"--second-collection", "--motion", "still", "--position", "5"}));
    QVERIFY(board.WaitReady());

    Program program;
    const std::vector<HidInterfaceInfo> interfaces = program.Platform->EnumerateInterfaces();
    const auto listed = std::count_if(interfaces.begin(), interfaces.end(), [&](const HidInterfaceInfo& i) {
        return QString::fromStdString(i.Path) == board.Node;
    });
    QCOMPARE(listed, 1);

    frmMain& w = *program;
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(w.Link.Capabilities.InputReportByteLength, std::uint16_t{4});
    QCOMPARE(w.Link.Capabilities.FeatureReportByteLength, std::uint16_t{64});
    QCOMPARE(BoxTexts(w), FactoryBoxTexts);
    QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 5"), 5000);
}

void TestEndToEnd::TellsWhenAccessIsDenied()
{
    VirtualBoard board(BoardArguments("VB-DENIED", {"--motion", "still", "--position", "8"}));
    QVERIFY(board.WaitReady());

    // File access as an ordinary user, as on a desktop without the udev rule: the
    // node belongs to root with mode 0600.
    Program program;
    frmMain& w = *program;
    QCOMPARE(::setfsgid(65534), 0);
    QCOMPARE(::setfsuid(65534), 0);
    auto asRoot = qScopeGuard([] {
        ::setfsuid(0);
        ::setfsgid(0);
    });
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagFalse);
    QCOMPARE(w.Link.BoardOpenFailure, HidFailure::AccessDenied);
    QVERIFY(!w.lblStatus->text().isEmpty());
    QVERIFY(!w.Go->isEnabled());
    QCOMPARE(w.lblSerialNumber->text(), QString());

    // Access granted: the next searches find the board and the message goes.
    asRoot.dismiss();
    ::setfsuid(0);
    ::setfsgid(0);
    QTRY_COMPARE_WITH_TIMEOUT(w.Link.BoardOpen, FlagTrue, 5000);
    QCOMPARE(w.lblStatus->text(), QString());
    QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" VB-DENIED"));
    QCOMPARE(board.Requests(), QStringList{"get 08"});
}

void TestEndToEnd::ShowsNewestPositionAt1000ReportsPerSecond()
{
    // Each report carries the one before plus 1, so a shown value tells which report
    // it came from.
    VirtualBoard board(BoardArguments("VB-FAST", {"--rate", "1000", "--motion", "sequence"}));
    QVERIFY(board.WaitReady());

    Program program;
    frmMain& w = *program;
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);

    const auto shown = [&]() -> std::optional<int> {
        bool ok = false;
        const int v = w.Position->text().trimmed().toInt(&ok);
        return ok ? std::optional<int>(v) : std::nullopt;
    };
    const auto reportsBetween = [](int from, int to) { return (to - from + 65536) % 65536; };

    QTRY_VERIFY_WITH_TIMEOUT(shown().has_value(), 5000);
    const int first = *shown();
    QTest::qWait(1000);
    QVERIFY(shown().has_value());
    QVERIFY2(reportsBetween(first, *shown()) > 20,
             qPrintable(QStringLiteral("from %1 to %2 in a second").arg(first).arg(*shown())));

    // Stopped, the window must catch up with the last reports within a few ticks, not
    // trail seconds behind the flood. (When the machine stalls the drain for longer than
    // the kernel's 63-report queue lasts, the kernel keeps the older reports, so the
    // bound allows for a stall of half a second.)
    const QString held = board.Command("hold", QStringLiteral("held "));
    QVERIFY(!held.isEmpty());
    const int last = held.mid(5).toInt();
    QTest::qWait(400);
    QVERIFY(shown().has_value());
    QVERIFY2(reportsBetween(*shown(), last) < 500,
             qPrintable(QStringLiteral("shows %1, the board's last report was %2").arg(*shown()).arg(last)));

    // Reports queued together: the newest is shown, not the first.
    const QString sent = board.Command("burst 40", QStringLiteral("sent "));
    QVERIFY(!sent.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" %1").arg(sent.mid(5)), 5000);

    // A few distinct values, wrapping past 32767, still arrive one after the other.
    QVERIFY(!board.Command("position 32766", QStringLiteral("sent ")).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 32766"), 5000);
    QVERIFY(!board.Command("burst 3", QStringLiteral("sent ")).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" -32767"), 5000);
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
}

void TestEndToEnd::FollowsUnplugAndReplug()
{
    VirtualBoard board(BoardArguments("VB-REPLUG", {"--motion", "still", "--position", "1000", "--rate", "50"}));
    QVERIFY(board.WaitReady());
    const QString firstNode = board.Node;

    Program program;
    frmMain& w = *program;
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 1000"), 5000);

    // Another program keeps the old node open, so the kernel cannot give its number
    // back: the board returns under a new node, as it does on a busy desktop.
    const int holder = ::open(firstNode.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(holder >= 0);
    const auto closeHolder = qScopeGuard([holder] { ::close(holder); });

    QVERIFY(!board.Command("unplug", QStringLiteral("unplugged")).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(w.Link.BoardOpen, FlagFalse, 5000);
    QCOMPARE(w.Position->text(), QString());
    QVERIFY(!w.Go->isEnabled());
    QVERIFY(!w.Homing->isEnabled());

    QVERIFY(!board.Command("plug", QStringLiteral("ready ")).isEmpty());
    QVERIFY(board.Node != firstNode);
    QTRY_COMPARE_WITH_TIMEOUT(w.Link.BoardOpen, FlagTrue, 5000);
    QCOMPARE(QString::fromStdString(w.Link.DevicePath), board.Node);
    QVERIFY(w.Go->isEnabled());
    QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" VB-REPLUG"));
    QVERIFY(!board.Command("position 4321", QStringLiteral("sent ")).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 4321"), 5000);
    QCOMPARE(board.Requests(), (QStringList{"get 08", "get 08"}));
}

void TestEndToEnd::WriteSendsExactReportsAndBoardKeepsThem()
{
    VirtualBoard board(BoardArguments("VB-WRITE", {"--rate", "100", "--reset-after", "300", "--reset-delay", "500"}));
    QVERIFY(board.WaitReady());
    const QStringList typed{"12345", "-2", "300", "0", "251", "40", "100", "17", "1", "9", "10000", "127"};
    {
        Program program;
        frmMain& w = *program;
        w.Form_Load();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QLineEdit* const boxes[] = {w.Slimit,       w.Homing,   w.Stiff,     w.Damp,        w.TDamp,       w.DampingScale,
                                    w.OverallScale, w.TInertia, w.TFriction, w.MotorFilter, w.InputFilter, w.Spring};
        for (int i = 0; i < typed.size(); ++i)
            boxes[i]->setText(typed[i]);
        QTest::qWait(150);  // input reports keep coming while the user types

        w.Go_Click();
        QVERIFY(!w.isVisible());
        // Out-of-range values are corrected in their boxes before they are sent.
        QCOMPARE(w.Stiff->text(), QStringLiteral("255"));
        QCOMPARE(w.TDamp->text(), QStringLiteral("250"));
    }

    // The write image: the read image one byte up, behind the command byte.
    const std::initializer_list<int> image{
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 2 to 14
        0x66,        // 15: DampingScale 40 %
        0x39, 0x30,  // 16, 17: Slimit 12345
        0xFE, 0xFF,  // 18, 19: Homing -2
        0xFF,        // 20: Stiff 300, brought to 255
        0x00,        // 21: Damp 0
        0xFA,        // 22: TDamp 251, brought to 250
        0xFF,        // 23: OverallScale 100 %
        0x11,        // 24: TInertia 17
        0x01,        // 25: TFriction 1
        0x09,        // 26: MotorFilter 9
        0x10, 0x27,  // 27, 28: InputFilter 10000
        0x7F,        // 29: Spring 127
    };
    const QStringList expected{"get 08", SettingsWrite(1, image), SettingsWrite(2, image), SettingsWrite(3, image),
                               "get 20"};
    QCOMPARE(board.Requests(), expected);

    // The board resets: it goes away and comes back with the settings it was sent.
    QVERIFY(!board.WaitFor(QStringLiteral("reset")).isEmpty());
    QVERIFY(!board.WaitFor(QStringLiteral("unplugged")).isEmpty());
    QVERIFY(board.WaitReady());
    Program again;
    again->Form_Load();
    QCOMPARE(again->Link.BoardOpen, FlagTrue);
    QCOMPARE(BoxTexts(*again), (QStringList{"12345", "-2", "255", "0", "250", "40", "100", "17", "1", "9", "10000",
                                            "127"}));
    QCOMPARE(board.Requests().size(), expected.size() + 1);
    QCOMPARE(board.Requests().last(), QStringLiteral("get 08"));
}

void TestEndToEnd::WriteToVanishedBoardIsReportedAsFailure()
{
    VirtualBoard board(BoardArguments("VB-GONE", {"--rate", "0"}));
    QVERIFY(board.WaitReady());
    Program program;
    frmMain& w = *program;
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);

    // Gone between two ticks: the window has not noticed yet when the user writes.
    QVERIFY(!board.Command("unplug", QStringLiteral("unplugged")).isEmpty());
    w.Go_Click();
    QVERIFY2(w.isVisible(), "the window closed as if the settings had been written");
    QVERIFY(!w.lblStatus->text().isEmpty());
    QCOMPARE(BoxTexts(w), FactoryBoxTexts);
    QCOMPARE(board.Requests(), QStringList{"get 08"});
    QTRY_COMPARE_WITH_TIMEOUT(w.Link.BoardOpen, FlagFalse, 5000);
}

void TestEndToEnd::BadInputSendsNothing_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");

    QTest::newRow("not a number") << "Homing" << "abc";
    QTest::newRow("empty") << "Damp" << "";
    QTest::newRow("stops beyond 16 bits") << "Slimit" << "65536";
    QTest::newRow("centre below -32768") << "Homing" << "-32769";
    QTest::newRow("beyond 32 bits") << "InputFilter" << "99999999999";
    QTest::newRow("exponent") << "Spring" << "1e2";
}

void TestEndToEnd::BadInputSendsNothing()
{
    QFETCH(QString, box);
    QFETCH(QString, text);

    VirtualBoard board(BoardArguments("VB-BAD", {"--rate", "100", "--motion", "still"}));
    QVERIFY(board.WaitReady());
    Program program;
    frmMain& w = *program;
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);

    auto* edit = w.findChild<QLineEdit*>(box);
    QVERIFY(edit);
    edit->setText(text);
    w.Go_Click();

    QVERIFY(w.isVisible());
    QCOMPARE(edit->text(), text);
    QCOMPARE(w.focusWidget(), edit);
    QVERIFY(!w.lblStatus->text().isEmpty());
    QTest::qWait(300);  // nothing is sent late either
    QCOMPARE(board.Requests(), QStringList{"get 08"});
    // The window carries on: the wheel is still followed.
    QVERIFY(!board.Command("position 77", QStringLiteral("sent ")).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(w.Position->text(), QStringLiteral(" 77"), 5000);
}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_e2e.moc"
