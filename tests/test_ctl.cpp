// kx5170ctl on the simulated board: the bytes the board gets, and the status a script sees.
#include "board_bytes.h"
#include "ctl.h"
#include "ctl_internal.h"
#include "restore_journal.h"
#include "settings_file.h"
#include "simulated_hid.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <csignal>
#include <fstream>
#include <sstream>

using namespace kx;
using Kind = decltype(BoardModel::FeatureRequest::Kind);
using std::chrono::milliseconds;

namespace {

struct Result {
    int Status;
    std::string Out, Err;
};

// Each test's own journal folder, made afresh by init().
std::filesystem::path Journal;

Result Ctl(SimulatedHidPlatform& platform, const QStringList& arguments, std::function<bool()> stop = {},
           const std::string& input = {}, std::function<void(CtlEnvironment&)> configure = {})
{
    std::ostringstream out, err;
    std::istringstream in(input);
    CtlEnvironment environment{out, err, in};
    environment.Doctor.Probe = false;
    environment.JournalFolder = Journal;
    if (stop)
        environment.StopRequested = std::move(stop);
    if (configure)
        configure(environment);
    const int status = RunCtl(QStringList{QStringLiteral("kx5170ctl")} + arguments, platform, environment);
    return {status, out.str(), err.str()};
}

// As a real board: it goes away 200 ms after it is asked to reset and comes back a
// second later under a new node; `onBack` runs as it returns.
void ResetLikeABoard(SimulatedHidPlatform& platform, SimulatedDevice& board, std::function<void()> onBack = [] {},
                     milliseconds away = milliseconds(1000))
{
    platform.OnPause = [&platform, &board, onBack, away, sinceReset = milliseconds(0)](milliseconds pause) mutable {
        if (board.Board->ResetRequests == 0)
            return;
        sinceReset += pause;
        if (board.Plugged() && sinceReset >= milliseconds(200) && sinceReset < milliseconds(200) + away) {
            platform.Unplug(board);
        } else if (!board.Plugged() && sinceReset >= milliseconds(200) + away) {
            platform.PlugIn(board);
            onBack();
        }
    };
}

QStringList Words(const char* line) { return QString::fromUtf8(line).split(u' '); }

// The run that made the journal's entries has ended without a word, as one killed does.
void EndTheRuns()
{
    for (const JournalItem& item : ReadJournal(Journal)) {
        RestoreEntry entry = std::get<RestoreEntry>(item.Entry);
        entry.ProcessID = 0x7FFFFFF0;  // beyond any process ID the kernel gives
        entry.ProcessStart.clear();
        QVERIFY(!SaveRestoreEntry(Journal, entry));
    }
}

Bytes FactorySettingsBytes()
{
    const auto factory = BoardModel::FactorySettings();
    return Bytes(factory.begin(), factory.end());
}

// Stops and centre offset in the read image, little-endian.
std::array<std::uint8_t, 4> StopsAndCentre(const BoardModel& board)
{
    return {board.Settings[15], board.Settings[16], board.Settings[17], board.Settings[18]};
}

}  // namespace

class TestCtl : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        JournalDir = std::make_unique<QTemporaryDir>();
        Journal = std::filesystem::path(JournalDir->path().toStdString()) / "state" / "kx5170";
    }

    void saveThenApplySendsTheFileBytesAcrossTheReset()
    {
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("rally.kx5170"));
        QCOMPARE(Ctl(platform, {QStringLiteral("save"), file}).Status, int(ExitDone));

        // Other settings on the board now: the file must bring back the saved ones.
        for (std::size_t i = 14; i <= 28; ++i)
            board.Board->Settings[i] = 0x01;
        board.Board->Log.clear();
        ResetLikeABoard(platform, board);
        const Result applied = Ctl(platform, {QStringLiteral("apply"), file});
        QCOMPARE(applied.Status, int(ExitDone));
        QCOMPARE(applied.Err, std::string());
        QVERIFY(SetRequests(*board.Board) ==
                (std::vector<Bytes>{FactoryWriteImage(64, 1), FactoryWriteImage(64, 2), FactoryWriteImage(64, 3)}));
        // Read before, read back after the board returned under its new node.
        QCOMPARE(board.Board->Log.back().Kind, Kind::Get);
        QCOMPARE(board.Board->Log.back().Bytes, Bytes{0x08});
        QVERIFY(applied.Out.find(board.Info.Path) != std::string::npos);
        QCOMPARE(platform.OpenHandles(), 0);
    }

    // The settings not named keep the board's values; --clamp brings a value to its bound,
    // as the window does.
    void partialSettingsChangeOnlyThemselves()
    {
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        board.Resets = SimulatedDevice::ResetTiming{};
        QCOMPARE(Ctl(platform, Words("--clamp set centering_spring=300 stops=4000")).Status, int(ExitDone));
        Bytes expected = FactoryWriteImage();
        expected[15] = 0xC0;  // DampingScale as the board gave it (192), not re-rounded from 75 % (191)
        expected[16] = 0xA0;  // Slimit 4000
        expected[17] = 0x0F;
        expected[29] = 0x7F;  // Spring 127
        QCOMPARE(SetRequests(*board.Board).at(0), expected);
    }

    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("anythingSent");
        QTest::newRow("one bad value among good ones") << Words("set stops=4000 motor_filter=x") << "" << 1 << false;
        QTest::newRow("bad file") << Words("apply -") << "stops twice" << 1 << false;
        // A good file followed by more than a settings file may hold: refused whole, not
        // cut at the limit and taken.
        QTest::newRow("over-long standard input") << Words("apply -") << "too long" << 1 << false;
        QTest::newRow("missing file") << Words("apply /nonexistent/x.kx5170") << "" << 1 << false;
        QTest::newRow("option of another command") << Words("show --clamp") << "" << 1 << false;
        QTest::newRow("file of another board type") << Words("apply -") << "type 1" << 1 << false;
        QTest::newRow("another board type, forced") << Words("apply --force -") << "type 1" << 0 << true;
        QTest::newRow("no board") << Words("set stops=4000") << "no board" << 2 << false;
        QTest::newRow("denied") << Words("set stops=4000") << "denied" << 3 << false;
        QTest::newRow("denied list") << Words("list") << "denied" << 3 << false;
        QTest::newRow("refused, not checked") << Words("--no-verify set stops=4000") << "set fails" << 4 << true;
        QTest::newRow("other values after the reset") << Words("set stops=4000") << "forgets" << 4 << true;
        QTest::newRow("never back") << Words("set stops=4000") << "never back" << 4 << true;
        QTest::newRow("never back, not checked") << Words("--no-verify set stops=4000") << "never back" << 0 << true;
    }

    void exitStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fault);
        QFETCH(int, status);
        QFETCH(bool, anythingSent);
        SimulatedHidPlatform platform;
        platform.AddOtherInterface(0x046D, 0xC31C);
        SimulatedDevice* board = fault == QLatin1String("no board") ? nullptr : &platform.AddBoard();
        // The file that "apply -" reads; this board is type 3.
        const std::string input = fault == QLatin1String("type 1")     ? "kx5170-settings = 1\nboard_type = 1\nstops = 4096\n"
                                  : fault == QLatin1String("too long") ? "kx5170-settings = 1\nstops = 4000\n# " +
                                                                             std::string(MaxSettingsFileSize, 'x') + "\n"
                                                                       : "kx5170-settings = 1\nstops = 4000\nstops = 4000\n";
        if (board && fault != QLatin1String("forgets") && fault != QLatin1String("never back"))
            board->Resets = SimulatedDevice::ResetTiming{};
        if (fault == QLatin1String("denied"))
            board->RefuseOpen = HidFailure::AccessDenied;
        if (fault == QLatin1String("set fails"))
            board->BeforeOperation = [board, failed = false](SimulatedOperation operation) mutable {
                if (operation == SimulatedOperation::SetFeature && !failed)
                    board->FailFeatureRequests = failed = true;
            };
        if (fault == QLatin1String("forgets"))
            ResetLikeABoard(platform, *board, [board] {
                const auto factory = BoardModel::FactorySettings();
                board->Board->Settings.assign(factory.begin(), factory.end());
            });
        if (fault == QLatin1String("never back"))
            ResetLikeABoard(platform, *board, [] {}, milliseconds(60000));

        const Result result = Ctl(platform, arguments, {}, input);
        QCOMPARE(result.Status, status);
        if (status != ExitDone) {
            // One line on standard error, and it says what to do.
            QVERIFY2(result.Err.rfind("kx5170ctl: ", 0) == 0, result.Err.c_str());
            QCOMPARE(std::count(result.Err.begin(), result.Err.end(), '\n'), 1);
        }
        if (board)
            QCOMPARE(!SetRequests(*board->Board).empty(), anythingSent);
        QCOMPARE(platform.OpenHandles(), 0);
    }

    // A board's own texts cannot drive the terminal.
    void listShowsEachBoardAndItsAccess()
    {
        SimulatedHidPlatform platform;
        platform.AddBoard().SerialNumber = u"KX\x1B]0;owned\x07\nforged";
        platform.AddBoard(0x5E13, 0x0102).RefuseOpen = HidFailure::AccessDenied;
        const Result result = Ctl(platform, {QStringLiteral("list")});
        QCOMPARE(result.Status, int(ExitDone));  // one board can be opened
        QCOMPARE(result.Out, std::string("product 0x5E11  version 3.7  serial KX\uFFFD]0;owned\uFFFD\uFFFDforged  "
                                         "port usb-sim-1  nodes /dev/hidraw0 (ok)\n"
                                         "product 0x5E13  version 1.2  serial KX5170-000123  port usb-sim-2  "
                                         "nodes /dev/hidraw1 (denied)\n"));
        QVERIFY(result.Err.find("udev") != std::string::npos);
    }

    void watchFollowsTheWheelAcrossAnUnplug()
    {
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard(0x5E11, 0x0107);  // type 1: 8192 counts a turn
        milliseconds now{0};
        platform.OnPause = [&](milliseconds pause) {
            now += pause;
            const auto ms = now.count();
            if (ms <= 300)
                board.SendPosition(static_cast<std::int16_t>(ms));  // every 20 ms: a line a tick at most
            else if (ms == 400)
                platform.Unplug(board);
            else if (ms == 600)
                platform.PlugIn(board);
            else if (ms == 700)
                board.SendPosition(300);  // where it was: shown again, as news of the board
            else if (ms == 800)
                board.SendPosition(-2048);
            else if (ms == 900)
                board.SendInputReport(board.Board->MakeStateReport(0x01, 0x03));  // no position in it
        };
        const Result result = Ctl(platform, {QStringLiteral("watch")}, [&] { return now >= milliseconds(1000); });
        QCOMPARE(result.Status, int(ExitDone));
        // The board's type is asked first (its manufacturer string and the pause after
        // it), so the first line comes a tick later.
        QCOMPARE(result.Out, std::string("board at /dev/hidraw0 (Ctrl+C ends)\n"
                                         "200 counts  8.8 degrees\n"
                                         "300 counts  13.2 degrees\n"
                                         "board unplugged: waiting for it to come back\n"
                                         "board at /dev/hidraw1 (Ctrl+C ends)\n"
                                         "300 counts  13.2 degrees\n"
                                         "-2048 counts  -90 degrees\n"));
        QCOMPARE(platform.OpenHandles(), 0);
    }
    // The command runs with the file's settings on the board, and the board gets every
    // byte it held before back, whatever became of the command.
    void runAppliesThenRestores_data()
    {
        QTest::addColumn<int>("childStatus");
        QTest::addColumn<bool>("quiet");
        QTest::newRow("succeeds") << 0 << false;
        QTest::newRow("fails") << 3 << false;
        QTest::newRow("killed by SIGKILL, quiet") << 128 + 9 << true;
    }

    void runAppliesThenRestores()
    {
        QFETCH(int, childStatus);
        QFETCH(bool, quiet);
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        board.Resets = SimulatedDevice::ResetTiming{};
        board.Board->Settings[24] = 0x33;  // a byte no setting names: put back as it was
        Bytes before = FactorySettingsBytes();
        before[24] = 0x33;
        std::array<std::uint8_t, 4> during{};
        QStringList ran;
        std::string shown;
        const Result result = Ctl(platform, Words(quiet ? "run --quiet - -- game --fullscreen" : "run - -- game --fullscreen"), {}, "kx5170-settings = 1\nstops = 4000\n",
                                  [&](CtlEnvironment& env) {
                                      env.RunChild = [&](const QStringList& command) {
                                          ran = command;
                                          during = StopsAndCentre(*board.Board);
                                          // The command finds the board free: nothing of it held.
                                          shown = Ctl(platform, {QStringLiteral("show")}).Out;
                                          return childStatus;
                                      };
                                  });
        QCOMPARE(result.Status, childStatus);
        QCOMPARE(ran, Words("game --fullscreen"));
        QVERIFY((during == std::array<std::uint8_t, 4>{0xA0, 0x0F, 0x9C, 0xFF}));
        QVERIFY(shown.find("4000 counts") != std::string::npos);
        QCOMPARE(board.Board->Settings, before);
        QCOMPARE(result.Err, quiet ? std::string()
                                   : std::string("kx5170ctl: the settings from standard input applied to the board at "
                                                 "/dev/hidraw1; running game\n"
                                                 "kx5170ctl: the board's own settings are back\n"));
        QVERIFY(ReadJournal(Journal).empty());
        QCOMPARE(platform.OpenHandles(), 0);
    }

    // Nothing started, and nothing left saved when nothing of the file was taken: the
    // board still holds its own settings, and nobody should be told otherwise.
    void runStartsNothingWhenTheFileCannotBeApplied_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("status");
        QTest::newRow("a value out of range") << "stops = -1\n" << false << int(ExitUsage);
        QTest::newRow("the settings refused") << "stops = 4000\n" << true << int(ExitNotTaken);
    }

    void runStartsNothingWhenTheFileCannotBeApplied()
    {
        QFETCH(QString, file);
        QFETCH(bool, refused);
        QFETCH(int, status);
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        board.Resets = SimulatedDevice::ResetTiming{};
        if (refused)
            board.BeforeOperation = [&](SimulatedOperation operation) {
                if (operation == SimulatedOperation::SetFeature)
                    board.FailFeatureRequests = 1;
            };
        bool ran = false;
        const Result result = Ctl(platform, Words("run - -- game"), {}, "kx5170-settings = 1\n" + file.toStdString(),
                                  [&](CtlEnvironment& env) {
                                      env.RunChild = [&](const QStringList&) { return ran = true, 0; };
                                  });
        QCOMPARE(result.Status, status);
        QVERIFY(!ran);
        QVERIFY(ReadJournal(Journal).empty());
    }

    // A game's helpers may hold the board a moment after it ends: the restore waits for
    // them, up to its bound, and never resets the board under one that stays.
    void runWaitsForHoldersBeforeItRestores_data()
    {
        QTest::addColumn<int>("letGoAfterMs");
        QTest::addColumn<bool>("forced");
        QTest::addColumn<int>("status");
        QTest::newRow("lets go in time") << 2000 << false << 0;
        QTest::newRow("stays") << 60000 << false << int(ExitNotTaken);
        QTest::newRow("stays, forced") << 60000 << true << 0;
    }

    void runWaitsForHoldersBeforeItRestores()
    {
        QFETCH(int, letGoAfterMs);
        QFETCH(bool, forced);
        QFETCH(int, status);
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        board.Resets = SimulatedDevice::ResetTiming{};
        milliseconds sinceChild{-1};
        platform.OnPause = [&](milliseconds pause) {
            if (sinceChild < milliseconds(0))
                return;
            sinceChild += pause;
            if (sinceChild >= milliseconds(letGoAfterMs))
                board.Holders.clear();
        };
        const Result result = Ctl(platform, Words(forced ? "--force-in-use run - -- game" : "run - -- game"), {},
                                  "kx5170-settings = 1\nstops = 4000\n", [&](CtlEnvironment& env) {
                                      env.RunChild = [&](const QStringList&) {
                                          board.Holders = {{4242, "game-helper", board.Info.Path}};
                                          sinceChild = milliseconds(0);
                                          return 0;
                                      };
                                  });
        QCOMPARE(result.Status, status);
        const std::array<std::uint8_t, 4> stops = StopsAndCentre(*board.Board);
        if (status == ExitDone) {
            QVERIFY((stops == std::array<std::uint8_t, 4>{0x88, 0x13, 0x9C, 0xFF}));
        } else {
            QVERIFY((stops == std::array<std::uint8_t, 4>{0xA0, 0x0F, 0x9C, 0xFF}));
            QVERIFY2(result.Err.find("game-helper (4242)") != std::string::npos, result.Err.c_str());
            QVERIFY2(result.Err.find("to put its own back, run: kx5170ctl restore --board KX5170-000123") !=
                         std::string::npos,
                     result.Err.c_str());
            // What run saved stays until the board has its own settings back.
            QCOMPARE(ReadJournal(Journal).size(), std::size_t(1));
        }
    }

    void noWriteWhileAnotherProgramHoldsTheBoard_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("set") << Words("set stops=4000") << int(ExitInUse);
        QTest::newRow("run") << Words("run - -- game") << int(ExitInUse);
        QTest::newRow("set, forced") << Words("--force-in-use set stops=4000") << int(ExitDone);
    }

    void noWriteWhileAnotherProgramHoldsTheBoard()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        board.Resets = SimulatedDevice::ResetTiming{};
        // One program on two nodes is named once; a name is text from outside.
        board.Holders = {{31, "rally\x1B[2J", "/dev/hidraw0"}, {31, "rally\x1B[2J", "/dev/input/event7"}, {40, "", "/dev/hidraw0"}};
        bool ran = false;
        const Result result = Ctl(platform, arguments, {}, "kx5170-settings = 1\nstops = 4000\n",
                                  [&](CtlEnvironment& env) {
                                      env.RunChild = [&](const QStringList&) { return ran = true, 0; };
                                  });
        QCOMPARE(result.Status, status);
        QCOMPARE(SetRequests(*board.Board).empty(), status == ExitInUse);
        if (status == ExitInUse) {
            QVERIFY(!ran);
            QCOMPARE(result.Err, std::string("kx5170ctl: the board is in use by rally\\x1b[2J (31), a program (40): "
                                             "close it, or use --force-in-use to write anyway\n"));
        }
    }

    void boardChoiceNamesTheBoard_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("node");
        QTest::newRow("serial number") << "KX-SECOND" << 0 << "/dev/hidraw1";
        QTest::newRow("node") << "/dev/hidraw1" << 0 << "/dev/hidraw1";
        QTest::newRow("no such board") << "KX-THIRD" << int(ExitNoBoard) << "";
    }

    void boardChoiceNamesTheBoard()
    {
        QFETCH(QString, choice);
        QFETCH(int, status);
        QFETCH(QString, node);
        SimulatedHidPlatform platform;
        SimulatedDevice& first = platform.AddBoard();
        first.Resets = SimulatedDevice::ResetTiming{};
        SimulatedDevice& second = platform.AddBoard();
        second.SerialNumber = u"KX-SECOND";
        second.Resets = SimulatedDevice::ResetTiming{};
        const QStringList board{QStringLiteral("--board"), choice};
        const Result shown = Ctl(platform, board + Words("show"));
        QCOMPARE(shown.Status, status);
        QCOMPARE(Ctl(platform, board + Words("set stops=4000")).Status, status);
        QVERIFY(SetRequests(*first.Board).empty());
        QCOMPARE(SetRequests(*second.Board).empty(), status != ExitDone);
        if (status == ExitDone)
            QVERIFY(shown.Out.find("Node:            " + node.toStdString()) != std::string::npos);
    }

    // A type 1 board counts 8192 a turn, this type 3 board 10000.
    void convertKeepsTheAngle_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("stopsAndCentre");
        QTest::newRow("a half rounds up") << "stops = 4096\ncentre_offset = 256\n" << 0 << QByteArray("\x88\x13\x39\x01", 4);
        QTest::newRow("and down, negative") << "centre_offset = -2816\n" << 0 << QByteArray("\x88\x13\x92\xF2", 4);
        QTest::newRow("out of range") << "stops = 60000\n" << 1 << QByteArray();
    }

    void convertKeepsTheAngle()
    {
        QFETCH(QString, file);
        QFETCH(int, status);
        QFETCH(QByteArray, stopsAndCentre);
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        board.Resets = SimulatedDevice::ResetTiming{};
        const Result result =
            Ctl(platform, Words("apply --convert -"), {}, "kx5170-settings = 1\nboard_type = 1\n" + file.toStdString());
        QCOMPARE(result.Status, status);
        if (status != ExitDone) {
            QVERIFY(SetRequests(*board.Board).empty());
            QVERIFY2(result.Err.find("stops") != std::string::npos, result.Err.c_str());
            return;
        }
        const auto stored = StopsAndCentre(*board.Board);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(stored.data()), 4), stopsAndCentre);
    }

    // Rotation in degrees becomes the stops of this board, to the nearest count; show
    // gives it back beside the counts.
    void rotationInDegrees_data()
    {
        QTest::addColumn<int>("version");  // 0: the board never answers as a board
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("stops");   // little-endian, as stored
        QTest::addColumn<QString>("said");       // on standard error, or by show
        QTest::newRow("type 1") << 0x0107 << Words("set rotation=900") << 0 << QByteArray("\x00\x28", 2)
                                << "10240 counts (900 degrees lock to lock)";
        QTest::newRow("type 3") << 0x0307 << Words("set rotation=900") << 0 << QByteArray("\xD4\x30", 2)
                                << "12500 counts (900 degrees lock to lock)";
        // 1000 × 8192 / 720 = 11377.78; 11378 counts give 1000.02 degrees.
        QTest::newRow("not even") << 0x0107 << Words("set rotation=1000") << 0 << QByteArray("\x72\x2C", 2)
                                  << "11378 counts (1000 degrees lock to lock)";
        QTest::newRow("with stops") << 0x0107 << Words("set stops=4000 rotation=900") << 1 << QByteArray()
                                    << "set: stops and rotation say the same thing twice: give one of them";
        QTest::newRow("type unknown") << 0 << Words("set rotation=900") << 1 << QByteArray()
                                      << "rotation = 900 needs the board's type";
        QTest::newRow("past the stops") << 0x0107 << Words("set rotation=5760") << 1 << QByteArray()
                                        << "at most 5759.9 degrees";
    }

    void rotationInDegrees()
    {
        QFETCH(int, version);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, stops);
        QFETCH(QString, said);
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard(0x5E11, static_cast<std::uint16_t>(version ? version : 0x0107));
        if (!version)
            board.Manufacturer.reset();
        board.Resets = SimulatedDevice::ResetTiming{};
        const Result result = Ctl(platform, arguments);
        QCOMPARE(result.Status, status);
        if (status != ExitDone) {
            QVERIFY2(QString::fromStdString(result.Err).contains(said), result.Err.c_str());
            QVERIFY(SetRequests(*board.Board).empty());
            return;
        }
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(&board.Board->Settings[15]), 2), stops);
        const Result shown = Ctl(platform, Words("show"));
        QVERIFY2(QString::fromStdString(shown.Out).contains(said), shown.Out.c_str());
        const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(Ctl(platform, Words("show --json")).Out)).object();
        QCOMPARE(json.value("rotation").toDouble(), arguments.last().section(u'=', 1).toDouble());
    }

    // The check of a file from another board type rests on save writing it down.
    void savedFileNamesItsBoardType()
    {
        SimulatedHidPlatform platform;
        platform.AddBoard();
        const Result saved = Ctl(platform, Words("save -"));
        QCOMPARE(saved.Status, int(ExitDone));
        QVERIFY2(saved.Out.find("\nboard_type = 3\n") != std::string::npos, saved.Out.c_str());
    }

    void helpTellsOfEachCommand_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("help apply") << Words("help apply") << "Usage: kx5170ctl apply";
        QTest::newRow("apply --help") << Words("apply --help") << "Usage: kx5170ctl apply";
        QTest::newRow("the keys") << Words("--help") << "damper_effect_scale";
        QTest::newRow("run's wait") << Words("help run") << "10 s";
    }

    void helpTellsOfEachCommand()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        SimulatedHidPlatform platform;
        const Result result = Ctl(platform, arguments);
        QCOMPARE(result.Status, int(ExitDone));
        QVERIFY2(result.Out.find(expected.toStdString()) != std::string::npos, result.Out.c_str());
    }

    // What run saves is the board's own report exactly as read, saved before its first
    // byte reaches the board, kept while the board may hold the file, told to whoever
    // looks, and put back by restore byte for byte.
    void runKeepsTheBoardsOwnBytesUntilTheyAreBack()
    {
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        board.Resets = SimulatedDevice::ResetTiming{};
        board.Board->Settings[14] = 0xC0;  // damper scale 192: no percent encodes to it again
        board.Board->Settings[28] = 0xC8;  // spring 200: reads as 0
        const Bytes own = board.Board->Settings;
        bool savedFirst = false, refused = false;
        board.BeforeOperation = [&](SimulatedOperation operation) {
            if (operation != SimulatedOperation::SetFeature)
                return;
            if (SetRequests(*board.Board).empty()) {
                const std::vector<JournalItem> saved = ReadJournal(Journal);
                savedFirst = saved.size() == 1 && std::get<RestoreEntry>(saved[0].Entry).Image == own;
            } else if (!refused) {
                // The board took the settings, and refuses what follows: it never resets.
                board.FailFeatureRequests = 3;
                refused = true;
            }
        };
        bool ran = false;
        const Result run = Ctl(platform, Words("run - -- game"), {}, "kx5170-settings = 1\nstops = 4000\n",
                               [&](CtlEnvironment& env) {
                                   env.RunChild = [&](const QStringList&) { return ran = true, 0; };
                               });
        QVERIFY(savedFirst);
        QCOMPARE(run.Status, int(ExitNotTaken));
        QVERIFY(!ran);
        QVERIFY2(run.Err.find("run: kx5170ctl restore --board KX5170-000123\n") != std::string::npos, run.Err.c_str());
        board.BeforeOperation = {};

        // The run is gone; the board keeps the file and the journal says so.
        EndTheRuns();
        const std::string sentence = "The board still holds the settings from standard input (put on by run at ";
        const Result shown = Ctl(platform, Words("show"));
        QVERIFY2(shown.Out.find(sentence) != std::string::npos, (shown.Out + shown.Err).c_str());
        QVERIFY(shown.Out.find("which did not finish); kx5170ctl restore puts its own settings back.\n") !=
                std::string::npos);
        QVERIFY(Ctl(platform, Words("list")).Out.find("  " + sentence) != std::string::npos);
        QVERIFY(Ctl(platform, Words("restore --list")).Out.find("which did not finish") != std::string::npos);
        // As the window asks it of a board present.
        const std::optional<Leftover> leftover = FindLeftover(Journal, platform.EnumerateInterfaces().at(0));
        QVERIFY(leftover && leftover->Sentence.starts_with(sentence));

        board.Board->Log.clear();
        const Result restored = Ctl(platform, Words("restore"));
        QCOMPARE(restored.Status, int(ExitDone));
        Bytes expected = FactoryWriteImage();
        expected[15] = 0xC0;
        expected[29] = 0xC8;
        QCOMPARE(SetRequests(*board.Board).at(0), expected);
        QCOMPARE(board.Board->Settings, own);
        QVERIFY(ReadJournal(Journal).empty());
        QVERIFY(Ctl(platform, Words("show")).Out.find("still holds") == std::string::npos);
        QCOMPARE(Ctl(platform, Words("restore")).Out, std::string("Nothing to restore: no run left a board in a file's settings.\n"));
    }

    // A new run on a board a killed run left in its file: the board's own settings go
    // back first, and what the new run saves and restores are the board's own, not the
    // old file's.
    void runAfterAKilledRunStartsFromTheBoardsOwn()
    {
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        board.Resets = SimulatedDevice::ResetTiming{};
        const Bytes own = board.Board->Settings;
        try {
            Ctl(platform, Words("run - -- game"), {}, "kx5170-settings = 1\nstops = 4000\n", [&](CtlEnvironment& env) {
                // Killed while the game runs: nothing after the command happens.
                env.RunChild = [&](const QStringList&) -> int { throw 9; };
            });
        } catch (int) {
        }
        EndTheRuns();
        QVERIFY((StopsAndCentre(*board.Board) == std::array<std::uint8_t, 4>{0xA0, 0x0F, 0x9C, 0xFF}));

        Bytes during;
        const Result again = Ctl(platform, Words("run - -- game"), {}, "kx5170-settings = 1\ncentering_spring = 10\n",
                                 [&](CtlEnvironment& env) {
                                     env.RunChild = [&](const QStringList&) {
                                         during = board.Board->Settings;
                                         return 0;
                                     };
                                 });
        QCOMPARE(again.Status, 0);
        QVERIFY2(again.Err.find("putting its own settings back first") != std::string::npos, again.Err.c_str());
        Bytes expected = own;
        expected[28] = 10;
        QCOMPARE(during, expected);
        QCOMPARE(board.Board->Settings, own);
        QVERIFY(ReadJournal(Journal).empty());
    }

    // A stop signal at each stage of run, with the program's hold on signals as main
    // gives it: one that comes before anything is written ends the program at once;
    // from the record on it is held, the write is let finish, the command is not started
    // (or has ended), the board's own settings go back and run ends with 128 + N.
    void signalAtEachStageOfRun_data()
    {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("commandRuns");
        QTest::newRow("reading the board") << "reading" << -1 << false;
        QTest::newRow("writing the file") << "writing" << 128 + SIGTERM << false;
        QTest::newRow("back from the reset, before the spawn") << "read back" << 128 + SIGTERM << false;
        QTest::newRow("while the command runs: the command's") << "command" << 0 << true;
        QTest::newRow("putting the board's own back") << "restoring" << 128 + SIGTERM << true;
    }

    void signalAtEachStageOfRun()
    {
        QFETCH(QString, stage);
        QFETCH(int, status);
        QFETCH(bool, commandRuns);
        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        board.Resets = SimulatedDevice::ResetTiming{};
        const Bytes own = board.Board->Settings;

        // As main's hold: a signal sent while nothing is held ends the program then and
        // there (what the board and the journal hold at that moment is what is left); one
        // sent while held waits to be taken, and ends the program once released.
        bool held = false, commandDone = false;
        int pending = 0;
        std::optional<std::pair<Bytes, std::size_t>> endedWith;  // the board's bytes, the entries saved
        auto send = [&] {
            if (held)
                pending = SIGTERM;
            else if (!endedWith)
                endedWith = {board.Board->Settings, ReadJournal(Journal).size()};
        };
        int gets = 0, sets = 0;
        board.BeforeOperation = [&](SimulatedOperation operation) {
            gets += operation == SimulatedOperation::GetFeature ? 1 : 0;
            sets += operation == SimulatedOperation::SetFeature ? 1 : 0;
            if ((stage == QLatin1String("reading") && operation == SimulatedOperation::GetFeature && gets == 1) ||
                (stage == QLatin1String("writing") && operation == SimulatedOperation::SetFeature && sets == 1) ||
                (stage == QLatin1String("read back") && operation == SimulatedOperation::GetFeature && sets == 3 &&
                 gets == 3) ||
                (stage == QLatin1String("restoring") && operation == SimulatedOperation::SetFeature && commandDone &&
                 sets == 4))
                send();
        };
        bool ran = false;
        const Result result = Ctl(platform, Words("run - -- game"), {}, "kx5170-settings = 1\nstops = 4000\n",
                                  [&](CtlEnvironment& env) {
                                      env.HoldSignals = [&](bool hold) {
                                          held = hold;
                                          if (!hold && pending && !endedWith)
                                              endedWith = {board.Board->Settings, ReadJournal(Journal).size()};
                                      };
                                      env.TakeStopSignal = [&] { return std::exchange(pending, 0); };
                                      env.RunChild = [&](const QStringList&) {
                                          ran = held;
                                          // Main passes it on and takes it: it is the command's.
                                          if (stage == QLatin1String("command"))
                                              send(), pending = 0;
                                          commandDone = true;
                                          return 0;
                                      };
                                  });
        if (status < 0) {
            // Ended while reading: nothing was written, nothing saved.
            QVERIFY(endedWith);
            QCOMPARE(endedWith->first, own);
            QCOMPARE(endedWith->second, std::size_t(0));
            return;
        }
        QVERIFY2(!endedWith, "a held signal was let through before run was done");
        QCOMPARE(ran, commandRuns);
        QCOMPARE(result.Status, status);
        QCOMPARE(board.Board->Settings, own);
        QVERIFY(ReadJournal(Journal).empty());
        if (!commandRuns)
            QVERIFY2(result.Err.find("SIGTERM came during the write, so game was not started; the board's own "
                                     "settings are back") != std::string::npos,
                     result.Err.c_str());
    }

    void doctorSaysWhatStandsInTheWay_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("line");
        QTest::newRow("nothing") << "" << 0 << "ok       board version 3.7, type 3, 10000 counts a turn";
        QTest::newRow("in use") << "in use" << int(ExitInUse) << "PROBLEM  the board is in use by rally (31)";
        QTest::newRow("settings unreadable") << "unreadable" << int(ExitNotTaken) << "PROBLEM  the settings (report 8)";
        QTest::newRow("no board") << "no board" << int(ExitNoBoard) << "PROBLEM  no KX5170 board found";
        QTest::newRow("denied: the commands themselves") << "denied" << int(ExitNoAccess)
                                                        << "\n             sudo udevadm control --reload\n";
        QTest::newRow("processes not checked") << "unchecked" << 0
                                               << "note     no other program this user can see holds the board, but 3 "
                                                  "processes of other users could not be checked; run as root to check them\n";
    }

    void doctorSaysWhatStandsInTheWay()
    {
        QFETCH(QString, fault);
        QFETCH(int, status);
        QFETCH(QString, line);
        SimulatedHidPlatform platform;
        if (fault != QLatin1String("no board")) {
            SimulatedDevice& board = platform.AddBoard();
            if (fault == QLatin1String("in use"))
                board.Holders = {{31, "rally", board.Info.Path}};
            if (fault == QLatin1String("unreadable"))
                board.FailFeatureRequests = true;
            if (fault == QLatin1String("denied"))
                board.RefuseOpen = HidFailure::AccessDenied;
            board.Resets = SimulatedDevice::ResetTiming{};
        }
        if (fault == QLatin1String("unchecked")) {
            platform.UncheckedProcesses = 3;
            // A write goes ahead, and says what it could not check.
            const Result set = Ctl(platform, Words("set stops=4000"));
            QCOMPARE(set.Status, int(ExitDone));
            QCOMPARE(set.Err, "kx5170ctl: note: 3 processes of other users could not be checked; run as root to "
                              "check them\n");
        }
        const Result result = Ctl(platform, Words("doctor"));
        QCOMPARE(result.Status, status);
        QVERIFY2(result.Out.find(line.toStdString()) != std::string::npos, result.Out.c_str());
        QVERIFY2(result.Out.find("ok       no other program") == std::string::npos || fault != QLatin1String("unchecked"),
                 result.Out.c_str());
        // Each problem once.
        int problems = 0;
        for (std::size_t at = 0; (at = result.Out.find("PROBLEM", at)) != std::string::npos; ++at)
            ++problems;
        QCOMPARE(problems, status == ExitDone ? 0 : 1);
        QCOMPARE(platform.OpenHandles(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> JournalDir;
};

QTEST_GUILESS_MAIN(TestCtl)
#include "test_ctl.moc"
