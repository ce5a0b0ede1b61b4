// What only a board on USB shows, with kx5170ctl as a user runs it: the udev rule
// matching the USB device above the node, doctor's view of the bus, the manufacturer
// string, the kernel's 5-second time-out on a control request, and two boards with
// one serial number told apart by their ports. Runs as root in scripts/run-in-vm, whose
// kernel has two USB ports (dummy_hcd) and whose udev reads /etc/udev/rules.d only.
#include "virtual_board_process.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QtTest>

#ifndef KX_CTL_PATH
#error "KX_CTL_PATH must name the kx5170ctl program"
#endif
#ifndef KX_RULE_FILE
#error "KX_RULE_FILE must name the packaged udev rule"
#endif

using namespace kx::e2e;

namespace {

const QString InstalledRule = QStringLiteral("/etc/udev/rules.d/70-kx5170.rules");

struct Run {
    int Status = -1;
    QString Out, Err;
    qint64 Ms = 0;
};

Run Execute(const QString& program, const QStringList& arguments, int timeoutMs = 30000)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        run.Err = QStringLiteral("%1 did not finish: %2").arg(program, process.errorString());
        return run;
    }
    run.Status = process.exitCode();
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    run.Ms = clock.elapsed();
    return run;
}

Run Ctl(const QStringList& arguments)
{
    return Execute(QStringLiteral(KX_CTL_PATH), arguments);
}

QString Said(const Run& run)
{
    return QStringLiteral("status %1\n%2%3").arg(run.Status).arg(run.Out, run.Err);
}

bool Udevadm(const QStringList& arguments)
{
    const Run run = Execute(QStringLiteral("udevadm"), arguments);
    if (run.Status != 0)
        qWarning("udevadm %s: %s", qPrintable(arguments.join(u' ')), qPrintable(Said(run)));
    return run.Status == 0;
}

// The tags udev's database holds for a device node: ":uaccess:" and the like.
QString Tags(const QString& node)
{
    const Run run = Execute(QStringLiteral("udevadm"), {"info", "--query=property", "--name=" + node});
    const auto match = QRegularExpression(QStringLiteral("^TAGS=(.*)$"), QRegularExpression::MultilineOption)
                           .match(run.Out);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString Setting(const Run& show, const QString& key)
{
    const auto match =
        QRegularExpression(QStringLiteral("^.*\\b%1\\s+(.*)$").arg(key), QRegularExpression::MultilineOption)
            .match(show.Out);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

QStringList Sets(const VirtualBoard& board)
{
    QStringList sets;
    for (const QString& request : board.Requests())
        if (request.startsWith(QStringLiteral("set ")))
            sets << request;
    return sets;
}

}  // namespace

class TestE2eUsb : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const char* udc : {"/sys/class/udc/dummy_udc.0", "/sys/class/udc/dummy_udc.1"})
            QVERIFY2(QFileInfo::exists(QString::fromLatin1(udc)),
                     "no two dummy_hcd ports: these tests run in scripts/run-in-vm");
        QVERIFY2(Udevadm({"control", "--ping"}), "udev is not running");
    }

    void cleanup()
    {
        QFile::remove(InstalledRule);
        Udevadm({"control", "--reload"});
    }

    // The packaged rule finds the board by the USB device above its node and tags the
    // node for the login manager; doctor then sees the board on its port with the rule
    // in force. Without the rule, the same board's node has no tag.
    void ruleTagsTheBoardsNodeAndDoctorSeesIt()
    {
        QVERIFY(QDir().mkpath(QFileInfo(InstalledRule).path()));
        QVERIFY(QFile::copy(QStringLiteral(KX_RULE_FILE), InstalledRule));
        QVERIFY(Udevadm({"control", "--reload"}));
        VirtualBoard board({"--rate", "0", "--udc", "dummy_udc.0", "--serial", "VB-RULE"}, VirtualBoard::Kind::Usb);
        QVERIFY(board.WaitReady());
        QVERIFY(Udevadm({"settle", "--timeout=10"}));
        QVERIFY2(Tags(board.Node).contains(QStringLiteral(":uaccess:")), qPrintable(Tags(board.Node)));

        const Run doctor = Ctl({"doctor"});
        QVERIFY2(doctor.Status == 0, qPrintable(Said(doctor)));
        const auto okLine = [&](const QString& pattern) {
            return QRegularExpression(QStringLiteral("^ok\\b.*") + pattern, QRegularExpression::MultilineOption)
                .match(doctor.Out)
                .hasMatch();
        };
        QVERIFY2(okLine(QStringLiteral("USB bus.*\\b1-1\\b")), qPrintable(Said(doctor)));
        QVERIFY2(okLine(QStringLiteral("udev rule.*") + QRegularExpression::escape(InstalledRule)),
                 qPrintable(Said(doctor)));

        QVERIFY(QFile::remove(InstalledRule));
        QVERIFY(Udevadm({"control", "--reload"}));
        QVERIFY(!board.Command("unplug", QStringLiteral("unplugged")).isEmpty());
        QVERIFY(!board.Command("plug", QStringLiteral("ready ")).isEmpty());
        QVERIFY(Udevadm({"settle", "--timeout=10"}));
        QVERIFY2(!Tags(board.Node).contains(QStringLiteral("uaccess")), qPrintable(Tags(board.Node)));
    }

    // A USB string: uhid has no place for it.
    void showsTheManufacturer()
    {
        VirtualBoard board({"--rate", "0", "--manufacturer", "KX Test Bench Works"}, VirtualBoard::Kind::Usb);
        QVERIFY(board.WaitReady());
        const Run show = Ctl({"show"});
        QVERIFY2(show.Status == 0, qPrintable(Said(show)));
        QVERIFY2(show.Out.contains(QRegularExpression(QStringLiteral("^Manufacturer: +KX Test Bench Works$"),
                                                      QRegularExpression::MultilineOption)),
                 qPrintable(show.Out));
    }

    // A request the board leaves unanswered ends when the kernel gives up, after 5 s,
    // and is said as a time-out, not as a refusal.
    void unansweredRequestIsATimeOut()
    {
        VirtualBoard board({"--rate", "100"}, VirtualBoard::Kind::Usb);
        QVERIFY(board.WaitReady());
        QCOMPARE(board.Command("stall 10000", QStringLiteral("ok")), QStringLiteral("ok"));
        const Run show = Ctl({"show"});
        QVERIFY2(show.Status != 0 && show.Err.contains(QStringLiteral("did not answer in time")), qPrintable(Said(show)));
        QVERIFY2(show.Ms >= 4500 && show.Ms < 9000, qPrintable(QString::number(show.Ms)));
        // The board carries on: the next request is answered.
        QCOMPARE(board.Command("stall 0", QStringLiteral("ok")), QStringLiteral("ok"));
        const Run again = Ctl({"show"});
        QVERIFY2(again.Status == 0, qPrintable(Said(again)));
    }

    // Two boards with one serial number, one on each port: listed apart, chosen by
    // port, and a write to the second checked on the second across its reset while the
    // first, never gone, is left alone.
    void sameSerialToldApartByPort()
    {
        VirtualBoard first({"--rate", "100", "--motion", "still", "--udc", "dummy_udc.0", "--serial", "SAME-1"},
                           VirtualBoard::Kind::Usb);
        QVERIFY(first.WaitReady());
        VirtualBoard second({"--rate", "100", "--motion", "still", "--udc", "dummy_udc.1", "--serial", "SAME-1"},
                            VirtualBoard::Kind::Usb);
        QVERIFY(second.WaitReady());

        const Run list = Ctl({"list"});
        QVERIFY2(list.Status == 0, qPrintable(Said(list)));
        const QStringList lines = list.Out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.filter(first.Node + QStringLiteral(" ")).size() == 1 &&
                     lines.filter(second.Node + QStringLiteral(" ")).size() == 1,
                 qPrintable(list.Out));

        const Run shown = Ctl({"show", "--board", "usb:2-1"});
        QVERIFY2(shown.Status == 0 && shown.Out.contains(QStringLiteral("Node:            ") + second.Node + u'\n'),
                 qPrintable(Said(shown)));

        const Run set = Ctl({"set", "stops=4000", "--board", "usb:2-1"});
        QVERIFY2(set.Status == 0, qPrintable(Said(set)));
        QVERIFY(!second.WaitFor(QStringLiteral("reset"), 200ms).isEmpty());
        QVERIFY(!second.WaitFor(QStringLiteral("ready "), 200ms).isEmpty());
        const QStringList sets = Sets(second);
        QCOMPARE(sets.size(), 3);
        QVERIFY2(sets[0].startsWith(QStringLiteral("set 08 01 ")), qPrintable(sets.join(u'\n')));
        QCOMPARE(Sets(first), QStringList{});
        // "4000 counts (... degrees lock to lock)"
        QCOMPARE(Setting(Ctl({"show", "--board", "usb:2-1"}), QStringLiteral("stops")).section(u' ', 0, 1),
                 QStringLiteral("4000 counts"));
        QCOMPARE(Setting(Ctl({"show", "--board", "usb:1-1"}), QStringLiteral("stops")).section(u' ', 0, 1),
                 QStringLiteral("5000 counts"));
    }
};

QTEST_GUILESS_MAIN(TestE2eUsb)
#include "test_e2e_usb.moc"
