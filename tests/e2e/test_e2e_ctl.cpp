// kx5170ctl as a user runs it, on the real hidapi backend and the kernel's hidraw
// driver, against kx5170-virtual-board: a write checked across the board's reset, which
// only the kernel's timing shows. Runs as root on a kernel with uhid and
// hid_generic: scripts/run-in-vm provides one.
#include "virtual_board_process.h"

#include <QtTest>

#include <signal.h>

#ifndef KX_CTL_PATH
#error "KX_CTL_PATH must name the kx5170ctl program"
#endif

using namespace kx::e2e;

namespace {

// rally.kx5170 in `dir`, holding `text`.
QString SettingsFile(const QTemporaryDir& dir, const char* text)
{
    const QString path = dir.filePath(QStringLiteral("rally.kx5170"));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) < 0)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// kx5170ctl with its journal in `dir`: its status, standard output and error.
struct CtlRun {
    int Status = -1;
    QString Out, Err;
};

QProcessEnvironment WithJournalIn(const QTemporaryDir& dir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_STATE_HOME"), dir.filePath(QStringLiteral("state")));
    return environment;
}

CtlRun Ctl(const QTemporaryDir& dir, const QStringList& arguments)
{
    QProcess ctl;
    ctl.setProcessEnvironment(WithJournalIn(dir));
    ctl.start(QStringLiteral(KX_CTL_PATH), arguments);
    if (!ctl.waitForFinished(30000) || ctl.exitStatus() != QProcess::NormalExit)
        return {};
    return {ctl.exitCode(), QString::fromUtf8(ctl.readAllStandardOutput()), QString::fromUtf8(ctl.readAllStandardError())};
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
        const QString file = SettingsFile(dir, "kx5170-settings = 1\nboard_type = 3\ncentre_offset = -2\noverall_damping = 250\n"
                  "overall_inertia = 17\noverall_friction = 1\nstops = 12345\nstops_stiffness = 255\n"
                  "stops_damping = 0\ncentering_spring = 127\nmotor_filter = 9\ninput_filter = 10000\n"
                  "all_effects_scale = 100\ndamper_effect_scale = 40\n");

        QProcess ctl;
        ctl.start(QStringLiteral(KX_CTL_PATH), {QStringLiteral("apply"), file});
        QVERIFY(ctl.waitForFinished(30000));
        QVERIFY2(ctl.exitStatus() == QProcess::NormalExit && ctl.exitCode() == 0, ctl.readAllStandardError().data());
        // The board went away into its reset and came back before the tool was done:
        // its lines are waiting already, long before the second it stays away.
        QVERIFY(!board.WaitFor(QStringLiteral("reset"), 200ms).isEmpty());
        QVERIFY(!board.WaitFor(QStringLiteral("ready "), 200ms).isEmpty());
        const QString image = WrittenImage(64);
        QCOMPARE(board.Requests(), (QStringList{"get 08", "set 08 01 " + image, "set 08 02 " + image,
                                                "set 08 03 " + image, "get 20", "get 08"}));
        QVERIFY(QString::fromUtf8(ctl.readAllStandardOutput()).contains(board.Node));
    }
    // A real command between the apply and the restore: it sees the file's settings,
    // its status is the tool's, and the board has its own back afterwards.
    void runHasTheCommandDriveWithTheFilesSettings()
    {
        VirtualBoard board({"--rate", "100", "--motion", "still", "--reset-after", "200", "--reset-delay", "1000"});
        QVERIFY(board.WaitReady());
        QTemporaryDir dir;
        const QString file = SettingsFile(dir, "kx5170-settings = 1\nstops = 12345\n");
        const QString during = dir.filePath(QStringLiteral("during.txt"));

        QProcess ctl;
        ctl.start(QStringLiteral(KX_CTL_PATH),
                  {QStringLiteral("run"), file, QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                   QStringLiteral("\"$0\" show > \"$1\"; exit 3"), QStringLiteral(KX_CTL_PATH), during});
        QVERIFY(ctl.waitForFinished(60000));
        QCOMPARE(ctl.exitStatus(), QProcess::NormalExit);
        QVERIFY2(ctl.exitCode() == 3, ctl.readAllStandardError().data());
        QFile shown(during);
        QVERIFY(shown.open(QIODevice::ReadOnly));
        QVERIFY(shown.readAll().contains("12345 counts"));

        // The board's own settings went back: the second write sends what the first read.
        QStringList sets;
        for (const QString& request : board.Requests())
            if (request.startsWith(QStringLiteral("set 08 01 ")))
                sets << request.mid(10);
        QCOMPARE(sets.size(), 2);
        QVERIFY(sets[0] != sets[1]);
        QProcess show;
        show.start(QStringLiteral(KX_CTL_PATH), {QStringLiteral("show")});
        QVERIFY(show.waitForFinished(30000));
        QVERIFY(!show.readAllStandardOutput().contains("12345 counts"));
    }

    // run killed while its command runs, as SIGKILL, a crash or a power cut would end it:
    // the board keeps the file, show and doctor say so, and restore puts back exactly the
    // bytes run read, the damper scale byte of 192 that no percent encodes to included.
    void killedRunIsToldAndRestoredExactly()
    {
        VirtualBoard board({"--rate", "100", "--motion", "still", "--reset-after", "200", "--reset-delay", "1000"});
        QVERIFY(board.WaitReady());
        QTemporaryDir dir;
        const QString file = SettingsFile(dir, "kx5170-settings = 1\nstops = 12345\n");

        QProcess run;
        run.setProcessEnvironment(WithJournalIn(dir));
        run.setReadChannel(QProcess::StandardError);
        run.start(QStringLiteral(KX_CTL_PATH), {QStringLiteral("run"), file, QStringLiteral("--"), QStringLiteral("sleep"),
                                                QStringLiteral("30")});
        QVERIFY(run.waitForStarted());
        QByteArray said;
        QDeadlineTimer deadline(30s);
        while (!said.contains("\n") && !deadline.hasExpired() && run.state() == QProcess::Running) {
            run.waitForReadyRead(100);
            said += run.readAllStandardError();
        }
        QVERIFY2(said.contains("; running sleep"), said.data());
        ::kill(static_cast<pid_t>(run.processId()), SIGKILL);
        QVERIFY(run.waitForFinished(5000));

        const CtlRun shown = Ctl(dir, {QStringLiteral("show")});
        QCOMPARE(shown.Status, 0);
        QVERIFY2(shown.Out.contains(QStringLiteral("The board still holds rally.kx5170 (put on by run at ")) &&
                     shown.Out.contains(QStringLiteral("which did not finish); kx5170ctl restore puts its own settings "
                                                       "back.")),
                 qPrintable(shown.Out));
        QVERIFY(shown.Out.contains(QStringLiteral("12345 counts")));
        // A board with no USB parent, which root may open: nothing stands in the way.
        const CtlRun doctor = Ctl(dir, {QStringLiteral("doctor")});
        QVERIFY2(doctor.Status == 0 && !doctor.Out.contains(QStringLiteral("PROBLEM")), qPrintable(doctor.Out));
        QVERIFY2(doctor.Out.contains(QStringLiteral("note     The board still holds rally.kx5170")), qPrintable(doctor.Out));

        const CtlRun restored = Ctl(dir, {QStringLiteral("restore")});
        QVERIFY2(restored.Status == 0, qPrintable(restored.Err));
        QStringList sets;
        for (const QString& request : board.Requests())
            if (request.startsWith(QStringLiteral("set 08 01 ")))
                sets << request.mid(10);
        QCOMPARE(sets.size(), 2);
        QCOMPARE(sets.last(), QStringLiteral("00 00 00 00 00 00 00 00 00 00 00 00 00 "  // 2 to 14
                                             "c0 88 13 9c ff "  // 15 DampingScale 192, 16 Slimit 5000, 18 Homing -100
                                             "c8 32 14 e6 "     // 20 Stiff 200, Damp 50, TDamp 20, 23 OverallScale
                                             "0a 05 04 "        // 24 TInertia 10, TFriction 5, MotorFilter 4
                                             "e8 03 40")        // 27 InputFilter 1000, 29 Spring 64
                                  + QStringLiteral(" 00").repeated(64 - 30));
        const CtlRun after = Ctl(dir, {QStringLiteral("show")});
        QVERIFY(!after.Out.contains(QStringLiteral("still holds")) && after.Out.contains(QStringLiteral("5000 counts")));
        QVERIFY(QDir(dir.filePath(QStringLiteral("state/kx5170"))).entryList(QDir::Files).isEmpty());
    }

    // Another program with the board's hidraw node open: nothing is written, and it is
    // named. Also through a node of another name for the same device, as a container or
    // sandbox with a /dev of its own makes one.
    void applyIsRefusedWhileTheBoardIsHeld_data()
    {
        QTest::addColumn<bool>("alias");
        QTest::newRow("its own node") << false;
        QTest::newRow("a node of another name") << true;
    }

    void applyIsRefusedWhileTheBoardIsHeld()
    {
        QFETCH(bool, alias);
        VirtualBoard board({"--rate", "100", "--motion", "still"});
        QVERIFY(board.WaitReady());
        QTemporaryDir dir;
        QString node = board.Node;
        if (alias) {
            node = dir.filePath(QStringLiteral("wheel"));
            QCOMPARE(QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"),
                                                              QStringLiteral("mknod \"$1\" c $(stat -c '0x%t 0x%T' \"$2\")"),
                                                              QStringLiteral("sh"), node, board.Node}),
                     0);
        }
        QProcess holder;
        holder.setStandardInputFile(node);
        holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(holder.waitForStarted());

        QProcess ctl;
        ctl.start(QStringLiteral(KX_CTL_PATH), {QStringLiteral("set"), QStringLiteral("stops=4000")});
        QVERIFY(ctl.waitForFinished(30000));
        const QString error = QString::fromUtf8(ctl.readAllStandardError());
        QVERIFY2(ctl.exitCode() == 5, qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("sleep (%1)").arg(holder.processId())), qPrintable(error));
        for (const QString& request : board.Requests())
            QVERIFY2(!request.startsWith(QStringLiteral("set")), qPrintable(request));
        holder.kill();
        holder.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestE2eCtl)
#include "test_e2e_ctl.moc"
