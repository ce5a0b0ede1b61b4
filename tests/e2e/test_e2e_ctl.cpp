// kx5170ctl as a user runs it, on the real hidapi backend and the kernel's hidraw
// driver, against kx5170-virtual-board. Runs as root on a kernel with uhid and
// hid_generic: run-in-vm.sh provides one.
#include "virtual_board_process.h"

#include <QtTest>

#include <csignal>

#ifndef KX_CTL_PATH
#error "KX_CTL_PATH must name the kx5170ctl program"
#endif

using namespace kx::e2e;

namespace {

// The next line kx5170ctl writes that starts with `prefix`; empty when none comes in time.
QString NextLine(QProcess& ctl, const QString& prefix, std::chrono::milliseconds timeout = 10s)
{
    QDeadlineTimer deadline(timeout);
    for (;;) {
        while (ctl.canReadLine()) {
            const QString line = QString::fromUtf8(ctl.readLine()).trimmed();
            if (line.startsWith(prefix))
                return line;
        }
        if (deadline.hasExpired() || ctl.state() == QProcess::NotRunning)
            return {};
        ctl.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    }
}

}  // namespace

class TestE2eCtl : public QObject {
    Q_OBJECT

private slots:
    void applyIsCheckedAcrossTheBoardsReset()
    {
        VirtualBoard board({"--rate", "100", "--motion", "still", "--reset-after", "200", "--reset-delay", "1000"});
        QVERIFY(board.WaitReady());
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("rally.kx5170"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("kx5170-settings = 1\n"
                  "board_type = 3\n"
                  "centre_offset = -2\n"
                  "overall_damping = 250\n"
                  "overall_inertia = 17\n"
                  "overall_friction = 1\n"
                  "stops = 12345\n"
                  "stops_stiffness = 255\n"
                  "stops_damping = 0\n"
                  "centering_spring = 127\n"
                  "motor_filter = 9\n"
                  "input_filter = 10000\n"
                  "all_effects_scale = 100\n"
                  "damper_effect_scale = 40\n");
        out.close();

        QProcess ctl;
        ctl.start(QStringLiteral(KX_CTL_PATH), {QStringLiteral("apply"), file});
        QVERIFY(ctl.waitForFinished(30000));
        QCOMPARE(ctl.exitStatus(), QProcess::NormalExit);
        QVERIFY2(ctl.exitCode() == 0, ctl.readAllStandardError().constData());
        // The board went away into its reset and came back before the tool was done:
        // its lines are waiting already, long before the second it stays away.
        QVERIFY(!board.WaitFor(QStringLiteral("reset"), 200ms).isEmpty());
        QVERIFY(!board.WaitFor(QStringLiteral("ready "), 200ms).isEmpty());

        // Report 8 at 64 bytes from byte 2 on: the read image one byte up, behind the command.
        const QString image = QStringLiteral("00 00 00 00 00 00 00 00 00 00 00 00 00 "  // 2 to 14
                                             "66 39 30 fe ff "  // 15 DampingScale 40 %, 16 Slimit 12345, 18 Homing -2
                                             "ff 00 fa ff "     // 20 Stiff 255, Damp 0, TDamp 250, 23 OverallScale 100%
                                             "11 01 09 "        // 24 TInertia 17, TFriction 1, MotorFilter 9
                                             "10 27 7f")        // 27 InputFilter 10000, 29 Spring 127
                              + QStringLiteral(" 00").repeated(34);
        // The read before, the sequence, and the read back from the board come back.
        QCOMPARE(board.Requests(), (QStringList{"get 08", "set 08 01 " + image, "set 08 02 " + image,
                                                "set 08 03 " + image, "get 20", "get 08"}));
        QVERIFY(QString::fromUtf8(ctl.readAllStandardOutput()).contains(board.Node));
    }

    void watchFollowsTheWheelAcrossAnUnplug()
    {
        VirtualBoard board({"--rate", "0", "--motion", "still"});
        QVERIFY(board.WaitReady());
        QProcess ctl;
        ctl.start(QStringLiteral(KX_CTL_PATH), {QStringLiteral("watch"), QStringLiteral("--json")});
        QVERIFY(!NextLine(ctl, QStringLiteral("{\"event\":\"found\"")).isEmpty());

        QVERIFY(!board.Command("position 1000", QStringLiteral("sent")).isEmpty());
        QCOMPARE(NextLine(ctl, QStringLiteral("{\"counts\"")), QStringLiteral("{\"counts\":1000,\"degrees\":36}"));
        QVERIFY(!board.Command("unplug", QStringLiteral("unplugged")).isEmpty());
        QCOMPARE(NextLine(ctl, QStringLiteral("{\"event\"")), QStringLiteral("{\"event\":\"unplugged\"}"));
        board.Command("plug", QStringLiteral("ready "));
        QVERIFY(NextLine(ctl, QStringLiteral("{\"event\"")).contains(board.Node));
        QVERIFY(!board.Command("position -500", QStringLiteral("sent")).isEmpty());
        QCOMPARE(NextLine(ctl, QStringLiteral("{\"counts\"")), QStringLiteral("{\"counts\":-500,\"degrees\":-18}"));

        ::kill(static_cast<pid_t>(ctl.processId()), SIGINT);
        QVERIFY(ctl.waitForFinished(3000));
        QCOMPARE(ctl.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ctl.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestE2eCtl)
#include "test_e2e_ctl.moc"
