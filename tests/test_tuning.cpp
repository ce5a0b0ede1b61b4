// Tuning as a racer does: the rotation in degrees, values never lost without a
// question, a status line that shows its whole word, the boxes after a read-back, and
// profiles made with no board.
#include "window_fixture.h"

#include "board_session.h"
#include "restore_journal.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTextLayout>

using namespace kx;

namespace {

void Type(QLineEdit* box, const QString& text)
{
    box->selectAll();
    QTest::keyClicks(box, text);
}

// The label's text wrapped at its width takes no more than its height.
bool Fits(const QLabel* label)
{
    const QRect needed = QFontMetrics(label->font())
                             .boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap, label->text());
    return needed.height() <= label->height() && needed.width() <= label->width();
}

}  // namespace

class TestTuning : public QObject {
    Q_OBJECT

private slots:
    // 900 degrees on a type-1 board (8192 counts a turn) is 10240 counts each side, and
    // typing in Stops shows its rotation.
    void rotationSetsTheStops()
    {
        WindowOnBoard f(0x0107);
        f.Load();
        auto* rotation = f.W().findChild<QLineEdit*>(QStringLiteral("Rotation"));
        QVERIFY(rotation && rotation->isEnabled());
        QCOMPARE(rotation->text(), QStringLiteral("439.5"));  // 5000 counts each side
        Type(rotation, QStringLiteral("900"));
        QCOMPARE(f.V().Slimit->text(), QStringLiteral("10240"));
        f.V().Go->click();
        QCOMPARE(f.SetRequests().at(0)[16], std::uint8_t{0x00});  // stops 10240, 0x2800
        QCOMPARE(f.SetRequests().at(0)[17], std::uint8_t{0x28});
    }

    // Open, Quit and F5 ask before values typed and neither written nor saved go;
    // Cancel keeps them, Discard lets them go, Save saves them first.
    void editsAreAskedAbout()
    {
        QTemporaryDir dir;
        const QString rally = WriteFile(dir, "rally.kx5170", "kx5170-settings = 1\nstops = 4000\n");
        WindowOnBoard f;
        frmMain& w = f.Load();
        Type(f.V().Stiff, QStringLiteral("100"));
        f.Dialogs.OpenFile = rally;

        f.Dialogs.Choice = 2;  // Cancel
        f.V().actOpen->trigger();
        w.close();
        QCOMPARE(f.Dialogs.Questions.size(), 2);
        QVERIFY(w.isVisible());
        QCOMPARE(f.V().Stiff->text(), QStringLiteral("100"));

        f.Dialogs.Choice = 0;  // Save, then open
        f.Dialogs.SaveFile = dir.filePath("mine.kx5170");
        f.V().actOpen->trigger();
        QVERIFY(QFile::exists(f.Dialogs.SaveFile));
        QCOMPARE(f.V().Slimit->text(), QStringLiteral("4000"));

        Type(f.V().Stiff, QStringLiteral("90"));
        f.Dialogs.Choice = 1;  // Discard
        w.close();
        QVERIFY(!w.isVisible());
        QVERIFY(f.SetRequests().empty());
    }

    // "Write and keep open" shows what the board holds; a value rounded or brought into
    // range on its way is said, and a word about the boxes goes at the next edit.
    void theBoxesShowWhatTheBoardHolds()
    {
        WindowOnBoard f;
        f.Board->Resets = SimulatedDevice::ResetTiming{};
        f.Load();
        Type(f.V().TDamp, QStringLiteral("2.5"));
        Type(f.V().TInertia, QStringLiteral("300"));
        f.W().WriteKeepOpen_Click();
        QCOMPARE(f.Status(), QStringLiteral("Written and read back. Overall damping: 2.5 was written as 2; "
                                            "Overall inertia: 300 as 250."));
        QCOMPARE(f.V().TDamp->text(), QStringLiteral("2"));
        QCOMPARE(f.V().TInertia->text(), QStringLiteral("250"));
        Type(f.V().TDamp, QStringLiteral("3"));
        QCOMPARE(f.Status(), QStringLiteral("Board ready."));
    }

    // The line wraps across the window: "Settings not written" and its reason are whole;
    // a text longer than the line's room ends in "..." with the whole in its tooltip.
    // (A 150 % screen scales logical pixels and fonts alike: the layout is the same.)
    void theStatusLineIsWhole()
    {
        WindowOnBoard f;
        f.Load();
        f.Board->FailFeatureRequests = 1;
        f.V().Go->click();
        QVERIFY2(f.Status().startsWith(QStringLiteral("Settings not written: the board at ")), qPrintable(f.Status()));
        QCOMPARE(f.Status(), f.V().lblStatus->accessibleDescription());
        QVERIFY(Fits(f.V().lblStatus));

        f.Board->SerialNumber = std::u16string(400, u'x');
        f.W().OpenWhenLoaded(QStringLiteral("/nonexistent/") + QString(300, u'y'));
        QVERIFY(Fits(f.V().lblStatus));
    }

    // With no board a profile is opened, changed and saved for the type the user names;
    // once a board of another type is loaded, converting its counts is offered.
    void profilesWithoutTheBoard()
    {
        QTemporaryDir dir;
        const QString rally = WriteFile(dir, "rally.kx5170",
                                        "kx5170-settings = 1\nstops = 4096\ncentre_offset = 0\nstops_stiffness = 200\n"
                                        "stops_damping = 50\noverall_damping = 20\ndamper_effect_scale = 75\n"
                                        "all_effects_scale = 90\noverall_inertia = 10\noverall_friction = 5\n"
                                        "motor_filter = 4\ninput_filter = 1000\ncentering_spring = 64\n");
        WindowOnBoard f(0x0307);  // type 3 once plugged in
        f.Unplug();
        f.Load();
        QVERIFY(f.V().actOpen->isEnabled());
        f.Dialogs.OpenFile = rally;
        f.Dialogs.Choice = 0;  // a type-1 board
        f.V().actOpen->trigger();
        QVERIFY(f.V().Slimit->isEnabled() && !f.V().Go->isEnabled());
        QCOMPARE(f.W().findChild<QLineEdit*>(QStringLiteral("Rotation"))->text(), QStringLiteral("360"));
        Type(f.V().Stiff, QStringLiteral("150"));
        f.Dialogs.SaveFile = dir.filePath("saved.kx5170");
        QVERIFY(f.V().actSave->isEnabled());
        f.V().actSave->trigger();
        QFile saved(f.Dialogs.SaveFile);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray text = saved.readAll();
        QVERIFY(text.contains("board_type = 1\n") && text.contains("stops_stiffness = 150"));

        f.Tick();  // still no board: the profile stays open
        QVERIFY(f.V().Slimit->isEnabled());
        const qsizetype asked = f.Dialogs.Questions.size();
        f.Dialogs.Choice = 0;  // Convert
        f.PlugIn();
        f.Tick();
        QCOMPARE(f.Dialogs.Questions.size(), asked + 1);
        QVERIFY(f.V().Go->isEnabled());
        QCOMPARE(f.V().Stiff->text(), QStringLiteral("150"));
        QVERIFY(f.V().Slimit->text() != QStringLiteral("4096"));  // in this board's counts
    }

    // A run that did not finish left a file on the board: the line says so, and File >
    // Restore puts the board's own bytes back, every one as it was read.
    void aLeftoverIsToldAndRestored()
    {
        QTemporaryDir journal;
        WindowOnBoard f;
        f.Board->Resets = SimulatedDevice::ResetTiming{};
        f.Board->Board->Settings[22] = 0xC0;  // all effects scale: 192, which reads as 75 %
        const std::vector<std::uint8_t> own = f.Board->Board->Settings;
        {
            BoardSession session(f.Platform);
            QVERIFY(session.Search().Found);
            RestoreEntry entry = EntryForRun(session.Identity(), std::get<SettingsRead>(session.ReadSettings()),
                                             "/home/racer/rally.kx5170");
            entry.ProcessID = 0x7FFFFFF0;  // a run long gone
            QVERIFY(!SaveRestoreEntry(journal.path().toStdString(), entry));
        }
        f.Board->Board->Settings[15] = 0x00;  // what the run's file put there
        f.W().Session().SetJournalFolder(journal.path().toStdString());
        f.Load();
        QVERIFY2(f.Status().startsWith(QStringLiteral("The board still holds rally.kx5170")), qPrintable(f.Status()));
        QAction* restore = f.W().findChild<QAction*>(QStringLiteral("actRestore"));
        QVERIFY(restore->isVisible() && restore->isEnabled());
        restore->trigger();
        QCOMPARE(f.Status(), QStringLiteral("The board's own settings are back."));
        QCOMPARE(f.Board->Board->Settings, own);
        QVERIFY(!restore->isVisible());
    }
};

QTEST_MAIN(TestTuning)
#include "test_tuning.moc"
