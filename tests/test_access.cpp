// A board this user may not open: the status line's word and link, the dialog that
// installs the rule and its fallback, and the grace a freshly plugged board gets.
#include "window_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProcess>

using namespace kx;

const QString Denied = QStringLiteral("Board found, but access was denied.");
const QString NoBoard = QStringLiteral("No board found: plug it in.");

class TestAccess : public QObject {
    Q_OBJECT

private slots:
    void deniedBoardOffersTheFix_data()
    {
        QTest::addColumn<int>("exitCode");  // of the installer; -1: it crashed, -2: pkexec missing
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("why");  // none: installed
        QTest::newRow("installed") << 0 << QString() << QString();
        QTest::newRow("no pkexec") << -2 << QString() << "pkexec, which asks for the password, is not installed.";
        QTest::newRow("cancelled") << 126 << QString() << "The password request was cancelled.";
        QTest::newRow("not authorised") << 127 << QString()
                                        << "The password could not be asked for, or permission was refused.";
        QTest::newRow("installer failed") << 3 << "kx5170-udev-helper: udevadm trigger: failed"
                                          << "The rule installer failed: udevadm trigger: failed.";
        QTest::newRow("could not run") << -1 << QString() << "The rule installer failed.";
    }

    // Nothing waits on the dialog; it ends with the board opened without a replug, or with
    // the commands to run by hand.
    void deniedBoardOffersTheFix()
    {
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QFETCH(QString, why);
        WindowOnBoard f;
        f.Board->RefuseOpen = HidFailure::AccessDenied;
        frmMain& w = f.Load();
        w.AccessGrace_Timer();
        QCOMPARE(f.V().lblStatus->toolTip(), Denied);
        QVERIFY(f.V().lblStatus->text().startsWith(Denied + QStringLiteral(" <a href=")) &&
                f.V().lblStatus->text().endsWith(QStringLiteral(">Fix...</a>")));
        const QString run = exitCode == -1 ? QStringLiteral("kill -9 $$")
                                           : QStringLiteral("echo '%1' >&2; exit %2").arg(said).arg(exitCode);
        w.SetRuleInstallCommand(exitCode == -2 ? RuleInstallCommand{{}, {}, why}
                                      : RuleInstallCommand{QStringLiteral("/bin/sh"), {QStringLiteral("-c"), run}, {}});
        w.lblStatus_LinkActivated();
        AccessFixDialog* d = w.findChild<AccessFixDialog*>();
        w.lblStatus_LinkActivated();  // a second click brings the same dialog forward
        QCOMPARE(w.findChildren<AccessFixDialog*>().size(), 1);
        QVERIFY(d->isVisible());
        QCOMPARE(d->Commands->isVisible(), exitCode == -2);
        if (exitCode != -2) {
            d->Install_Click();
            QVERIFY(d->Running() && !d->Install->isEnabled());
            d->reject();
            QVERIFY(d->isVisible());
            if (exitCode == 0)
                f.Board->RefuseOpen = HidFailure::None;  // granted, with no change news
            QVERIFY(d->findChild<QProcess*>()->waitForFinished(5000));  // its end is handled in there
        }
        if (why.isEmpty()) {
            QVERIFY(!d->isVisible());
            QCOMPARE(f.Texts(), FactoryTexts);
            QCOMPARE(f.Status(), QStringLiteral("Board ready."));
            return;
        }
        QVERIFY(d->isVisible() && d->Commands->isVisible());
        QCOMPARE(d->lblManual->text(), why + " To install the rule yourself, run these commands in a terminal:");
        QCOMPARE(d->Install->isVisible(), exitCode != -2);
        d->CopyCommands->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), d->Commands->toPlainText());
        QCOMPARE(f.V().lblStatus->toolTip(), Denied);
        QVERIFY(!f.BoardOpen());
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
