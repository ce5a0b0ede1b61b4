// The window's settings files and menus, its fit to the screen and its tooltips.
#include "window_fixture.h"

#include <QAction>
#include <QMenuBar>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace kx;

class TestWindowFiles : public QObject {
    Q_OBJECT

private slots:
    void openFillsTheBoxesAndSendsNothing()
    {
        QTemporaryDir dir;
        WindowOnBoard f;
        frmMain& w = f.W();
        WindowControls& v = f.V();
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
        f.Tick();  // searches, and finds nothing
        QCOMPARE(f.Status(), QStringLiteral("No board found: plug it in. rally.kx5170 opens once it is loaded."));
        f.PlugIn();
        f.Tick();
        QStringList expected = FactoryTexts;
        expected[0] = "4000";
        expected[11] = "30";
        QCOMPARE(f.Texts(), expected);
        QCOMPARE(f.Board->Board->Log.size(), std::size_t{1});  // the load's read alone
        QVERIFY2(f.Status().contains(QStringLiteral("\"Write and reset\"")), qPrintable(f.Status()));

        // A refused file changes nothing and says where and why; so does a missing one.
        f.Dialogs.OpenFile = WriteFile(dir, "typo.kx5170", "kx5170-settings = 1\nstiff = 3\nstop = 10\n");
        v.actOpen->trigger();
        f.Dialogs.OpenFile = dir.filePath("missing.kx5170");
        v.actOpen->trigger();
        QCOMPARE(f.Texts(), expected);
        QCOMPARE(f.Dialogs.Warnings.size(), 2);
        QVERIFY2(f.Dialogs.Warnings[0].startsWith(QStringLiteral("typo.kx5170:2:")), qPrintable(f.Dialogs.Warnings[0]));

        // F5 asks before it puts the board's values over the file's; the file was opened once.
        f.Dialogs.Answer = false;
        v.actReload->trigger();
        QCOMPARE(f.Texts(), expected);
        f.Dialogs.Answer = true;
        v.actReload->trigger();
        QCOMPARE(f.Texts(), FactoryTexts);
        QCOMPARE(f.Dialogs.Questions.size(), 2);
        QVERIFY(f.SetRequests().empty());
    }

    void aMissingFileNamedBeforeTheBoardIsSaidAtOnce()
    {
        WindowOnBoard f;
        f.Unplug();
        f.W().OpenWhenLoaded(QStringLiteral("/nonexistent/rally.kx5170"));
        QCOMPARE(f.Dialogs.Warnings.size(), 1);
        f.Load();
        QCOMPARE(f.Status(), QStringLiteral("No board found: plug it in. If it is plugged in, kx5170ctl doctor tells "
                                                  "what stands in the way. File > Open works on a profile meanwhile."));
    }

    // File > Open recent: newest first; a file gone since is taken off when chosen.
    void recentFilesComeBackAndGoneOnesGo()
    {
        QTemporaryDir dir;
        const QString a = WriteFile(dir, "a.kx5170", "kx5170-settings = 1\nstops = 4000\n");
        const QString b = WriteFile(dir, "b.kx5170", "kx5170-settings = 1\nstops = 3000\n");
        QSettings().remove(QStringLiteral("recentFiles"));
        WindowOnBoard f;
        f.Load();
        f.Dialogs.Choice = 1;  // each file's values over the last one's: "Discard"
        for (const QString& path : {a, b}) {
            f.Dialogs.OpenFile = path;
            f.V().actOpen->trigger();
        }
        QMenu* recent = f.W().findChild<QMenu*>(QStringLiteral("RecentMenu"));
        emit recent->aboutToShow();
        QCOMPARE(recent->actions().size(), 2);
        QCOMPARE(recent->actions()[0]->text(), QStringLiteral("&1 b.kx5170"));
        recent->actions()[1]->trigger();
        QCOMPARE(f.V().Slimit->text(), QStringLiteral("4000"));
        QFile::remove(b);
        emit recent->aboutToShow();
        recent->actions()[1]->trigger();  // b, now second
        QCOMPARE(f.Dialogs.Warnings.size(), 1);
        emit recent->aboutToShow();
        QCOMPARE(recent->actions().size(), 1);
    }

    void saveWritesWhatTheBoxesHold()
    {
        QTemporaryDir dir;
        WindowOnBoard f(0x8107);  // type 129: the version's high byte, unsigned
        f.Load();
        WindowControls& v = f.V();
        f.Dialogs.SaveFile = dir.filePath("mine.kx5170");
        // A box "Write and reset" refuses: no file, and the same word.
        v.Slimit->setText(QStringLiteral("70000"));
        v.Go->click();
        const QString refusal = f.Status();
        v.actSave->trigger();
        QVERIFY(!QFile::exists(f.Dialogs.SaveFile));
        QCOMPARE(f.Status(), refusal);

        v.Slimit->setText(QStringLiteral("5000"));
        v.Homing->setText(QStringLiteral("-250"));
        v.Stiff->setText(QStringLiteral("300"));  // saved in range, as "Write and reset" sends it
        v.InputFilter->setText(QStringLiteral("12.5"));
        v.actSave->trigger();
        QCOMPARE(v.Stiff->text(), QStringLiteral("300"));  // only what is saved is brought into range
        QFile saved(f.Dialogs.SaveFile);
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
        QVERIFY(f.SetRequests().empty() && f.Dialogs.Warnings.isEmpty());
    }

    // A file from a board that counts another number of steps a turn: converted so that
    // its stops keep their angle, opened as it is, or left, as the user answers.
    void aFileFromAnotherKindOfBoardIsAsked_data()
    {
        QTest::addColumn<QByteArray>("boardType");
        QTest::addColumn<int>("choice");       // -1: asked yes or no (no conversion possible); -2: not asked
        QTest::addColumn<QString>("stops");    // in the box afterwards
        QTest::newRow("type 1 on a type 3 board, converted") << QByteArray("board_type = 1\n") << 0 << "2500";
        QTest::newRow("type 1, opened as it is") << QByteArray("board_type = 1\n") << 1 << "2048";
        QTest::newRow("type 1, cancelled") << QByteArray("board_type = 1\n") << 2 << "5000";
        QTest::newRow("unknown type: no conversion") << QByteArray("board_type = 7\n") << -1 << "2048";
        QTest::newRow("type 2 counts as 3 does") << QByteArray("board_type = 2\n") << -2 << "2048";
        QTest::newRow("no type") << QByteArray() << -2 << "2048";
    }

    void aFileFromAnotherKindOfBoardIsAsked()
    {
        QFETCH(QByteArray, boardType);
        QFETCH(int, choice);
        QFETCH(QString, stops);
        QTemporaryDir dir;
        const QString path = WriteFile(dir, "old.kx5170", "kx5170-settings = 1\n" + boardType + "stops = 2048\n");
        WindowOnBoard f(0x0307);
        f.Load();
        WindowControls& v = f.V();
        f.Dialogs.Choice = choice;
        f.Dialogs.OpenFile = path;
        v.actOpen->trigger();
        QCOMPARE(f.Dialogs.Questions.size(), choice == -2 ? 0 : 1);
        if (choice != -2)
            QVERIFY2(f.Dialogs.Questions[0].contains(QStringLiteral("10000")), qPrintable(f.Dialogs.Questions[0]));
        QCOMPARE(v.Slimit->text(), stops);
        QVERIFY(f.SetRequests().empty());
    }

    void fitsAShortScreenAndSaysWhatEachSettingMeans()
    {
        WindowOnBoard f(0x0107);  // type 1: 8192 counts a turn
        frmMain& w = f.W();
        WindowControls& v = f.V();
        w.SetAvailableScreenArea([] { return QRect(0, 30, 1366, 600); });
        w.Form_Load();
        QVERIFY(v.Homing->toolTip().contains(QStringLiteral("-100 counts = -4.4 degrees")));
        QVERIFY(v.TDamp->toolTip().contains(QStringLiteral("0 to 250")));
        v.Slimit->setText(QStringLiteral("2048"));  // as typed
        QVERIFY(v.Slimit->toolTip().contains(QStringLiteral("2048 counts = 90.0 degrees")));
        QCOMPARE(v.DampingScale->accessibleDescription(), v.DampingScale->toolTip());

        QVERIFY(w.frameGeometry().top() >= 30 && w.frameGeometry().bottom() < 630);
        QScrollBar* bar = v.ClientScroll->verticalScrollBar();
        QVERIFY(bar->isVisible() && bar->maximum() > 0);
        QVERIFY(v.ClientScroll->viewport()->width() >= v.Client->width());  // nothing cut at the side by the bar
        // On a tall enough screen, no scrolling.
        WindowOnBoard tall(0x0107);
        tall.Load();
        QCOMPARE(tall.W().size(), QSize(tall.V().Client->width(),
                                        tall.V().Client->height() + tall.W().findChild<QMenuBar*>()->height()));
        QCoreApplication::processEvents();  // the scroll area lays its bars out later
        QVERIFY(!tall.V().ClientScroll->verticalScrollBar()->isVisible());
    }
};

QTEST_MAIN(TestWindowFiles)
#include "test_window_files.moc"
