// A board this user may not open: the status line's word and link, the dialog that
// installs the rule and its fallback, the grace a freshly plugged board gets, and
// what the line says while the window waits.
#include "access_help.h"
#include "window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kx;

namespace {

const QString Denied = QStringLiteral("Board found, but access was denied.");
const QString NoBoard = QStringLiteral("No board found: plug it in.");

// A stand-in for pkexec: notes its arguments and ends as told.
QString StandIn(const QTemporaryDir& dir, int exitCode, const QString& say = {})
{
    const QString path = dir.filePath(QStringLiteral("pkexec-%1").arg(exitCode));
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write(QStringLiteral("#!/bin/sh\necho \"$@\" >'%1'\necho '%2' >&2\nexit %3\n")
                     .arg(dir.filePath(QStringLiteral("args")), say)
                     .arg(exitCode)
                     .toUtf8());
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// A window whose board is refused, past its second of grace.
struct DeniedWindow : WindowOnBoard {
    DeniedWindow()
    {
        Board->RefuseOpen = HidFailure::AccessDenied;
        Load();
        W().AccessGrace_Timer();
    }
    AccessFixDialog* OpenFix()
    {
        W().lblStatus_LinkActivated();
        return W().FixDialog;
    }
};

}  // namespace

class TestAccess : public QObject {
    Q_OBJECT

private slots:
    void deniedBoardOffersTheFix()
    {
        QTemporaryDir dir;
        DeniedWindow f;
        frmMain& w = f.W();
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
        QCOMPARE(w.lblStatus->toolTip(), Denied);
        QVERIFY(w.lblStatus->text().startsWith(Denied + QStringLiteral(" <a href=")));
        QVERIFY(w.lblStatus->text().endsWith(QStringLiteral(">Fix...</a>")));

        // Reached with Tab and Enter too.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.lblStatus);
        QTest::keyClick(w.lblStatus, Qt::Key_Tab);  // onto the link itself
        QTest::keyClick(w.lblStatus, Qt::Key_Return);
        QVERIFY(w.FixDialog);
        w.FixDialog->close();
        QTRY_VERIFY(!w.FixDialog);

        // "Fix..." opens the dialog and returns: nothing waits on it.
        w.FixCommand = {StandIn(dir, 0), {QStringLiteral("/opt/kx/kx5170-udev-helper")}, {}};
        AccessFixDialog* d = f.OpenFix();
        QVERIFY(d && d->isVisible());
        QVERIFY(d->Install->isVisible() && !d->Commands->isVisible());
        w.lblStatus_LinkActivated();  // a second click brings the same dialog forward
        QCOMPARE(w.findChildren<AccessFixDialog*>().size(), 1);

        // Confirmed: pkexec runs the installer by its path; access is granted while it
        // runs, and the board is opened at once, without a replug.
        QSignalSpy installed(d, &AccessFixDialog::RuleInstalled);
        d->Install_Click();
        QVERIFY(d->Running() && !d->Install->isEnabled());
        d->reject();  // no closing under the password prompt
        QVERIFY(d->isVisible());
        f.Board->RefuseOpen = HidFailure::None;  // no change news: the window must not wait for it
        QVERIFY(installed.wait(5000));
        QFile args(dir.filePath(QStringLiteral("args")));
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(args.readAll(), QByteArray("/opt/kx/kx5170-udev-helper\n"));
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QCOMPARE(f.Texts(), FactoryTexts);
        QVERIFY(w.lblStatus->text().isEmpty());
        QTRY_VERIFY(!w.FixDialog);
    }

    void fixFallsBackToCommands_data()
    {
        QTest::addColumn<int>("exitCode");  // -2: pkexec missing
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("why");
        QTest::newRow("no pkexec") << -2 << QString() << "pkexec, which asks for the password, is not installed.";
        QTest::newRow("cancelled") << 126 << QString() << "The password request was cancelled.";
        QTest::newRow("not authorised") << 127 << QString() << "The password could not be asked for, or permission was refused.";
        QTest::newRow("installer failed") << 3 << "kx5170-udev-helper: udevadm trigger: failed"
                                          << "The rule installer failed: udevadm trigger: failed.";
        QTest::newRow("could not run") << -1 << QString() << "The rule installer failed.";
    }

    void fixFallsBackToCommands()
    {
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QFETCH(QString, why);
        DeniedWindow f;
        frmMain& w = f.W();
        w.FixCommand = {QStringLiteral("/usr/bin/pkexec"), {QStringLiteral("/helper")}, {}};
        if (exitCode == -2)
            w.FixCommand = {{}, {}, QStringLiteral("pkexec, which asks for the password, is not installed.")};
        AccessFixDialog* d = f.OpenFix();
        if (exitCode != -2)
            d->InstallFinished(exitCode, said);

        QVERIFY(d->isVisible() && d->Commands->isVisible());
        QCOMPARE(d->lblManual->text(), why + " To install the rule yourself, run these commands in a terminal:");
        QCOMPARE(d->Install->isVisible(), exitCode != -2);
        d->CopyCommands->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), d->Commands->toPlainText());
        QCOMPARE(w.lblStatus->toolTip(), Denied);
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
    }

    void commandsInstallThePackagedRule()
    {
        // Each rule line of the packaged file, into the place the installer uses; then
        // udev reloaded and the plugged-in board given access.
        const QString commands = QString::fromStdString(AccessFixCommands());
        const QStringList lines = commands.split('\n');
        QCOMPARE(lines.first(), QStringLiteral("sudo tee /etc/udev/rules.d/70-kx5170.rules >/dev/null <<'EOF'"));
        QFile packaged(QStringLiteral(KX_SOURCE_DIR "/packaging/linux/70-kx5170.rules"));
        QVERIFY(packaged.open(QIODevice::ReadOnly));
        QStringList ruleLines;
        for (const QByteArray& line : packaged.readAll().split('\n'))
            if (!line.isEmpty() && !line.startsWith('#'))
                ruleLines << QString::fromUtf8(line);
        QCOMPARE(ruleLines.size(), 3);
        QCOMPARE(lines.mid(1, 3), ruleLines);
        QCOMPARE(lines.mid(4), (QStringList{"EOF", "sudo udevadm control --reload",
                                            "sudo udevadm trigger --subsystem-match=hidraw --action=change", ""}));
    }

    void pluggedInBoardGetsItsGraceSecond()
    {
        WindowOnBoard f;
        frmMain& w = f.W();
        f.Unplug();
        w.Form_Load();
        QCOMPARE(w.lblStatus->text(), NoBoard);

        // Plugged in, refused for the first 50 ms: the word never comes.
        f.Board->RefuseOpen = HidFailure::AccessDenied;
        f.PlugIn();
        w.Timer_Timer();
        QCOMPARE(w.lblStatus->text(), NoBoard);
        QVERIFY(w.AccessGrace->isActive());
        f.Platform.SetAccess(*f.Board, HidFailure::None);
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QVERIFY(w.lblStatus->text().isEmpty());
        QVERIFY(!w.AccessGrace->isActive());

        // Refused for good: said once the second is over, after one more search.
        f.Unplug();
        f.Board->RefuseOpen = HidFailure::AccessDenied;
        w.Timer_Timer();
        f.PlugIn();
        w.Timer_Timer();
        w.Timer_Timer();
        QCOMPARE(w.lblStatus->text(), NoBoard);
        const int enumerations = f.Platform.Enumerations;
        w.AccessGrace_Timer();
        QCOMPARE(f.Platform.Enumerations, enumerations + 1);
        QCOMPARE(w.lblStatus->toolTip(), Denied);

        // Replugged: a new node, a new second.
        f.Unplug();
        w.Timer_Timer();
        QCOMPARE(w.lblStatus->text(), NoBoard);
        f.PlugIn();
        w.Timer_Timer();
        QCOMPARE(w.lblStatus->text(), NoBoard);
        QVERIFY(w.AccessGrace->isActive());
    }

    void messagesOutliveTheSearchUntilItsNewsChanges()
    {
        // Without a board, a message about what the user did stays while the search
        // keeps finding nothing, and yields when a board is refused.
        WindowOnBoard f(0x0307, false);
        frmMain& w = f.Load();
        QCOMPARE(w.lblStatus->text(), NoBoard);
        w.ShowStatus(QStringLiteral("Settings read from wheel.ini."));
        for (int tick = 0; tick <= SafetyNetSearchTicks; ++tick)
            w.Timer_Timer();
        QCOMPARE(w.lblStatus->text(), QStringLiteral("Settings read from wheel.ini."));

        SimulatedDevice& board = f.Platform.AddBoard();
        board.RefuseOpen = HidFailure::AccessDenied;
        w.Timer_Timer();
        w.AccessGrace_Timer();
        QCOMPARE(w.lblStatus->toolTip(), Denied);
        // A message that waits for a load stays underneath the refusal.
        w.ShowStatus(QStringLiteral("Settings not written: the board did not take them."),
                     StatusLine::Keep::UntilLoaded);
        QCOMPARE(w.lblStatus->toolTip(), Denied);
        f.Platform.Unplug(board);
        w.Timer_Timer();
        QCOMPARE(w.lblStatus->text(), QStringLiteral("Settings not written: the board did not take them."));
    }
};

QTEST_MAIN(TestAccess)
#include "test_access.moc"
