// A board this user may not open: the status line's word and link, the dialog that
// installs the rule and its fallback, and the grace a freshly plugged board gets.
#include "window_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace kx;

const QString Denied = QStringLiteral("Board found, but access was denied.");
const QString NoBoard = QStringLiteral("No board found: plug it in. If it is plugged in, kx5170ctl doctor tells "
                                                  "what stands in the way. File > Open works on a profile meanwhile.");

class TestAccess : public QObject {
    Q_OBJECT

private slots:
    void deniedBoardOffersTheFix_data()
    {
        QTest::addColumn<int>("exitCode");  // of the installer; -1: it crashed, -2: pkexec missing
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("why");       // none: installed, the dialog closed
        QTest::addColumn<bool>("byHand");       // the commands to run by hand are offered
        QTest::addColumn<bool>("installed");    // RuleInstalled was told
        auto row = [](const char* name, int exitCode, const QString& said, const QString& why, bool byHand,
                      bool installed = false) {
            QTest::newRow(name) << exitCode << said << why << byHand << installed;
        };
        row("installed", 0, {}, {}, false, true);
        row("no pkexec", -2, {}, "pkexec, which asks for the password, is not installed.", true);
        row("cancelled", 126, {}, "The password request was cancelled.", true);
        row("not authorised", 127, {}, "The password could not be asked for, or permission was refused.", true);
        row("installer failed", 2, "kx5170-udev-helper: cannot write to /etc/udev/rules.d: Read-only file system",
            "The rule installer failed: cannot write to /etc/udev/rules.d: Read-only file system.", true);
        // What the installer says is shown as plain text, on one line.
        row("installer failed, hostile words", 2, "kx5170-udev-helper: a\\033[2Jb <b>c</b>",
            "The rule installer failed: a\\x1b[2Jb <b>c</b>.", true);
        row("could not run", -1, {}, "The rule installer failed.", true);
        // The rule is in place; only udev could not be told: not a failure.
        row("installed, not applied", 3, "kx5170-udev-helper: udevadm control failed",
            "The rule is installed. Unplug the board and plug it in again to apply it.", false, true);
        // What is in the way is not the installer's to change, nor the user's to overwrite.
        row("masked", 4, {},
            "The board's rule is turned off on this computer: /etc/udev/rules.d/70-kx5170.rules is a link to "
            "/dev/null or an empty file, and was left as it is. The computer's administrator can remove it to turn "
            "the rule on.",
            false);
        row("another file", 5, {},
            "/etc/udev/rules.d/70-kx5170.rules is already there and is not this program's rule: it was left as it "
            "is. The computer's administrator can change or remove it.",
            false);
        row("packaged", 6, {},
            "The rule is already installed by the kx5170-config package, in /usr/lib/udev/rules.d: nothing was "
            "changed. Unplug the board and plug it in again to apply it.",
            false);
    }

    // Nothing waits on the dialog; it ends with the board opened without a replug, with
    // the commands to run by hand, or with what stands in the way.
    void deniedBoardOffersTheFix()
    {
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QFETCH(QString, why);
        QFETCH(bool, byHand);
        QFETCH(bool, installed);
        WindowOnBoard f;
        f.Board->RefuseOpen = HidFailure::AccessDenied;
        frmMain& w = f.Load();
        w.AccessGrace_Timer();
        QCOMPARE(f.V().lblStatus->toolTip(), Denied);
        QVERIFY(f.V().lblStatus->text().startsWith(Denied + QStringLiteral(" <a href=")) &&
                f.V().lblStatus->text().endsWith(QStringLiteral(">Fix...</a>")));
        const QString run = exitCode == -1 ? QStringLiteral("kill -9 $$")
                                           : QStringLiteral("printf '%1\\n' >&2; exit %2").arg(said).arg(exitCode);
        w.SetRuleInstallCommand(exitCode == -2 ? RuleInstallCommand{{}, {}, why}
                                      : RuleInstallCommand{QStringLiteral("/bin/sh"), {QStringLiteral("-c"), run}, {}});
        w.lblStatus_LinkActivated();
        AccessFixDialog* d = w.findChild<AccessFixDialog*>();
        w.lblStatus_LinkActivated();  // a second click brings the same dialog forward
        QCOMPARE(w.findChildren<AccessFixDialog*>().size(), 1);
        QVERIFY(d->isVisible());
        QCOMPARE(d->Commands->isVisible(), exitCode == -2);
        QSignalSpy told(d, &AccessFixDialog::RuleInstalled);
        if (exitCode != -2) {
            d->Install_Click();
            QVERIFY(d->Running() && !d->Install->isEnabled());
            d->reject();
            QVERIFY(d->isVisible());
            if (exitCode == 0)
                f.Board->RefuseOpen = HidFailure::None;  // granted, with no change news
            QVERIFY(d->findChild<QProcess*>()->waitForFinished(5000));  // its end is handled in there
        }
        QCOMPARE(told.size(), installed ? 1 : 0);
        if (why.isEmpty()) {
            QVERIFY(!d->isVisible());
            QCOMPARE(f.Texts(), FactoryTexts);
            QCOMPARE(f.Status(), QStringLiteral("Board ready."));
            return;
        }
        QVERIFY(d->isVisible());
        QCOMPARE(d->lblManual->textFormat(), Qt::PlainText);
        QCOMPARE(d->Commands->isVisible(), byHand);
        QCOMPARE(d->CopyCommands->isVisible(), byHand);
        QVERIFY(!f.BoardOpen());
        if (!byHand) {
            QCOMPARE(d->lblManual->text(), why);
            QVERIFY(!d->Install->isVisible());
            QCOMPARE(d->Cancel->text(), QStringLiteral("Close"));
            return;
        }
        QCOMPARE(d->lblManual->text(), why + " To install the rule yourself, run these commands in a terminal:");
        QCOMPARE(d->Install->isVisible(), exitCode != -2);
        d->CopyCommands->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), d->Commands->toPlainText());
        QCOMPARE(f.V().lblStatus->toolTip(), Denied);
    }

    // The password is handed to the pkexec in the system's own folder, never to one
    // found first on PATH.
    void pkexecIsTheSystemsOwn()
    {
        QTemporaryDir bin;
        const QString fake = bin.filePath(QStringLiteral("pkexec"));
        QFile script(fake);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexit 0\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);
        const RuleInstallCommand command = DefaultRuleInstallCommand();
        qputenv("PATH", path);
        QVERIFY2(command.Missing.isEmpty() || command.Missing.contains(QStringLiteral("pkexec")),
                 qPrintable(command.Missing));  // the installer itself is built beside the tests
        if (QFileInfo(QStringLiteral("/usr/bin/pkexec")).isExecutable())
            QCOMPARE(command.Program, QStringLiteral("/usr/bin/pkexec"));
        else
            QVERIFY(command.Program.isEmpty());
    }

    // Where a rule for the board is installed, installing it cannot help: no "Fix...",
    // and the line says where to look.
    void noFixWhereTheRuleIsThere_data()
    {
        QTest::addColumn<bool>("masked");
        QTest::addColumn<QString>("said");
        QTest::newRow("installed") << false << "kx5170ctl doctor";
        QTest::newRow("masked") << true << "turned the board's rule off";
    }

    void noFixWhereTheRuleIsThere()
    {
        QFETCH(bool, masked);
        QFETCH(QString, said);
        WindowOnBoard f;
        f.Board->RefuseOpen = HidFailure::AccessDenied;
        f.W().SetRuleFinder([masked] { return BoardRuleState{true, "/usr/lib/udev/rules.d/70-kx5170.rules", masked}; });
        frmMain& w = f.Load();
        w.AccessGrace_Timer();
        QCOMPARE(f.V().lblStatus->textFormat(), Qt::PlainText);
        QVERIFY2(f.Status().startsWith(Denied) && f.Status().contains(said), qPrintable(f.Status()));
        QVERIFY(!f.Status().contains(QStringLiteral("Fix...")));
    }

    void pluggedInBoardGetsItsGraceSecond()
    {
        WindowOnBoard f;
        f.Unplug();
        frmMain& w = f.Load();
        QCOMPARE(f.V().lblStatus->text(), NoBoard);

        // Plugged in, refused for the first 50 ms: the word never comes.
        f.Board->RefuseOpen = HidFailure::AccessDenied;
        f.PlugIn();
        f.Tick();
        QCOMPARE(f.V().lblStatus->text(), NoBoard);
        QVERIFY(w.findChild<QTimer*>(QStringLiteral("AccessGrace"))->isActive());
        f.Platform.SetAccess(*f.Board, HidFailure::None);
        f.Tick();
        QVERIFY(f.BoardOpen());
        QVERIFY(f.Status() == QStringLiteral("Board ready.") && !w.findChild<QTimer*>(QStringLiteral("AccessGrace"))->isActive());

        // Refused for good: said once the second is over, after one more search.
        f.Unplug();
        f.Board->RefuseOpen = HidFailure::AccessDenied;
        f.Tick();
        f.PlugIn();
        f.Tick();
        f.Tick();
        QCOMPARE(f.V().lblStatus->text(), NoBoard);
        const int enumerations = f.Platform.Enumerations;
        w.AccessGrace_Timer();
        QCOMPARE(f.Platform.Enumerations, enumerations + 1);
        QCOMPARE(f.V().lblStatus->toolTip(), Denied);

        // Replugged: a new node, a new second.
        f.Unplug();
        f.Tick();
        QCOMPARE(f.V().lblStatus->text(), NoBoard);
        f.PlugIn();
        f.Tick();
        QCOMPARE(f.V().lblStatus->text(), NoBoard);
        QVERIFY(w.findChild<QTimer*>(QStringLiteral("AccessGrace"))->isActive());
    }
};

QTEST_MAIN(TestAccess)
#include "test_access.moc"
