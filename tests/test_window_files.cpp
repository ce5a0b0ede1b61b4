// The window's settings files and menus, its fit to the screen and its tooltips.
#include "window_fixture.h"

#include <QAction>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace kx;

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

// Records what the window asked and warned, answering questions with Answer and the
// file dialogs with FileName.
struct DialogLog {
    explicit DialogLog(frmMain& w)
    {
        w.Dialogs.OpenFileName = [this](QWidget*, const QString&) { return FileName; };
        w.Dialogs.SaveFileName = [this](QWidget*, const QString&) { return FileName; };
        w.Dialogs.Confirm = [this](QWidget*, const QString& q) {
            Questions << q;
            return Answer;
        };
        w.Dialogs.Warn = [this](QWidget*, const QString& m) { Warnings << m; };
    }
    QStringList Questions, Warnings;
    bool Answer = false;
    QString FileName;
};

}  // namespace

class TestWindowFiles : public QObject {
    Q_OBJECT

private slots:
    void openFillsTheBoxesAndSendsNothing()
    {
        QTemporaryDir dir;
        WindowOnBoard f;
        frmMain& w = f.W();
        DialogLog dialogs(w);
        f.Unplug();
        f.Load();

        // Dropped on the window before the board is there: opened once it is loaded, and
        // only the settings the file names change.
        const QString rally =
            WriteFile(dir, "rally.kx5170", "kx5170-settings = 1\nstops = 4000\ncentering_spring = 30\n");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(rally)});
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject&>(w).event(&drop);  // as the desktop's drag delivers it
        QVERIFY(drop.isAccepted());
        w.Timer_Timer();  // searches, and finds nothing
        QVERIFY(w.lblStatus->text().contains(QStringLiteral("once the board is loaded")));
        f.PlugIn();
        w.Timer_Timer();
        QStringList expected = FactoryTexts;
        expected[0] = "4000";
        expected[11] = "30";
        QCOMPARE(f.Texts(), expected);
        QCOMPARE(f.Board->Board->Log.size(), std::size_t{1});  // the load's read alone
        QVERIFY2(w.lblStatus->text().contains(QStringLiteral("\"Write and reset\"")), qPrintable(w.lblStatus->text()));

        // A refused file changes nothing and says where and why; so does a missing one.
        dialogs.FileName = WriteFile(dir, "typo.kx5170", "kx5170-settings = 1\nstiff = 3\nstop = 10\n");
        w.actOpen->trigger();
        QVERIFY(!w.OpenSettingsFile(dir.filePath("missing.kx5170")));
        QCOMPARE(f.Texts(), expected);
        QCOMPARE(dialogs.Warnings.size(), 2);
        QVERIFY2(dialogs.Warnings[0].startsWith(QStringLiteral("typo.kx5170:2:")), qPrintable(dialogs.Warnings[0]));

        // F5 puts the board's values back: the dropped file was opened once.
        w.actReload->trigger();
        QCOMPARE(f.Texts(), FactoryTexts);
        QVERIFY(f.SetRequests().empty() && dialogs.Questions.isEmpty());
    }

    void saveWritesWhatTheBoxesHold()
    {
        QTemporaryDir dir;
        WindowOnBoard f(0x8107);  // a negative type in the window; a file holds the version's high byte
        frmMain& w = f.Load();
        DialogLog dialogs(w);
        dialogs.FileName = dir.filePath("mine.kx5170");
        // A box "Write and reset" refuses: no file, and the same word.
        w.Slimit->setText(QStringLiteral("70000"));
        w.Go_Click();
        const QString refusal = w.lblStatus->text();
        w.lblStatus->clear();
        QVERIFY(!w.SaveSettingsFile(dialogs.FileName) && !QFile::exists(dialogs.FileName));
        QCOMPARE(w.lblStatus->text(), refusal);

        w.Slimit->setText(QStringLiteral("5000"));
        w.Homing->setText(QStringLiteral("-250"));
        w.Stiff->setText(QStringLiteral("300"));  // brought into range, as "Write and reset" does
        w.InputFilter->setText(QStringLiteral("12.5"));
        w.actSave->trigger();
        QCOMPARE(w.Stiff->text(), QStringLiteral("255"));
        QFile saved(dialogs.FileName);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QByteArrayList lines;  // the settings' lines, their comments and blank lines left off
        for (const QByteArray& line : saved.readAll().split('\n'))
            if (!line.startsWith('#') && !line.trimmed().isEmpty())
                lines << line.split('#').first().trimmed();
        QCOMPARE(lines, (QByteArrayList{"kx5170-settings = 1", "board_type = 129", "centre_offset = -250",
                                        "overall_damping = 20", "overall_inertia = 10", "overall_friction = 5",
                                        "stops = 5000", "stops_stiffness = 255", "stops_damping = 50",
                                        "centering_spring = 64", "motor_filter = 4", "input_filter = 12",
                                        "all_effects_scale = 90", "damper_effect_scale = 75"}));
        QVERIFY(f.SetRequests().empty() && dialogs.Warnings.isEmpty());
    }

    void aFileFromAnotherKindOfBoardIsAsked_data()
    {
        QTest::addColumn<QByteArray>("boardType");
        QTest::addColumn<bool>("asked");
        QTest::newRow("type 1 on a type 3 board") << QByteArray("board_type = 1\n") << true;
        QTest::newRow("unknown type") << QByteArray("board_type = 7\n") << true;
        QTest::newRow("type 2 counts as 3 does") << QByteArray("board_type = 2\n") << false;
        QTest::newRow("no type") << QByteArray() << false;
    }

    void aFileFromAnotherKindOfBoardIsAsked()
    {
        QFETCH(QByteArray, boardType);
        QFETCH(bool, asked);
        QTemporaryDir dir;
        const QString path = WriteFile(dir, "old.kx5170", "kx5170-settings = 1\n" + boardType + "stops = 4096\n");
        WindowOnBoard f(0x0307);
        frmMain& w = f.Load();
        DialogLog dialogs(w);
        QCOMPARE(w.OpenSettingsFile(path), !asked);
        QCOMPARE(dialogs.Questions.size(), asked ? 1 : 0);
        QCOMPARE(w.Slimit->text(), QString::fromLatin1(asked ? "5000" : "4096"));
        if (asked) {
            QVERIFY2(dialogs.Questions[0].contains(QStringLiteral("10000")), qPrintable(dialogs.Questions[0]));
            dialogs.Answer = true;
            QVERIFY(w.OpenSettingsFile(path));
            QCOMPARE(w.Slimit->text(), QStringLiteral("4096"));
        }
        QVERIFY(f.SetRequests().empty());
    }

    void fitsAShortScreenAndSaysWhatEachSettingMeans()
    {
        WindowOnBoard f(0x0107);  // type 1: 8192 counts a turn
        frmMain& w = f.W();
        w.AvailableScreenArea = [] { return QRect(0, 30, 1366, 600); };
        w.Form_Load();
        QVERIFY(w.Homing->toolTip().contains(QStringLiteral("-100 counts = -4.4 degrees")));
        QVERIFY(w.TDamp->toolTip().contains(QStringLiteral("0 to 250")));
        w.Slimit->setText(QStringLiteral("2048"));  // as typed
        QVERIFY(w.Slimit->toolTip().contains(QStringLiteral("2048 counts = 90.0 degrees")));
        QCOMPARE(w.DampingScale->accessibleDescription(), w.DampingScale->toolTip());

        QVERIFY(w.frameGeometry().top() >= 30 && w.frameGeometry().bottom() < 630);
        QScrollBar* bar = w.ClientScroll->verticalScrollBar();
        QVERIFY(bar->isVisible() && bar->maximum() > 0);
        QVERIFY(w.ClientScroll->viewport()->width() >= w.Client->width());  // nothing cut at the side by the bar
        // On a tall enough screen, no scrolling.
        w.AvailableScreenArea = [] { return QRect(0, 0, 1920, 1050); };
        w.FitToScreen();
        QCOMPARE(w.size(), QSize(w.Client->width(), w.Client->height() + w.MenuBar->height()));
        QCoreApplication::processEvents();  // the scroll area lays its bars out later
        QVERIFY(!bar->isVisible());
    }
};

QTEST_MAIN(TestWindowFiles)
#include "test_window_files.moc"
