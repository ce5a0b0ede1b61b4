// The record run keeps of a board's own settings: what is read back is what was
// saved, or nothing; one file a board; a run that still runs is not a leftover.
#include "restore_journal.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace kx;
namespace fs = std::filesystem;

namespace {

RestoreEntry Entry(const std::string& serial, const std::string& port)
{
    RestoreEntry entry;
    entry.SerialNumber = serial;
    entry.Port = port;
    entry.Node = "/dev/hidraw3";
    entry.ProductID = 0x5E11;
    entry.VersionNumber = 0x0307;
    entry.FileApplied = "/home/you/wheel/rally.kx5170";
    entry.Time = 1796666520;
    entry.ProcessID = 0x7FFFFFF0;
    entry.Image.assign(64, 0);
    entry.Image[0] = 0x08;
    entry.Image[14] = 0xC0;
    entry.Image[28] = 0xC8;
    return entry;
}

HidInterfaceInfo Interface(const std::string& serial, const std::string& port, const std::string& path = "/dev/hidraw5")
{
    return {path, 0x6C1B, 0x5E11, 0x0307, serial, port};
}

}  // namespace

class TestRestoreJournal : public QObject {
    Q_OBJECT

private slots:
    // Saved, it reads back whole; a second run on the same board replaces its file, a
    // board with the same serial number in another port has its own.
    void SavedEntriesReadBack()
    {
        QTemporaryDir dir;
        const fs::path folder = fs::path(dir.path().toStdString()) / "state" / "kx5170";
        RestoreEntry first = Entry("KX5170-000123", "usb:1-1");
        QVERIFY(!SaveRestoreEntry(folder, first));
        struct stat status {};
        QVERIFY(::stat(folder.c_str(), &status) == 0 && (status.st_mode & 0777) == 0700);
        first.FileApplied = "-";
        QVERIFY(!SaveRestoreEntry(folder, first));
        const RestoreEntry beside = Entry("KX5170-000123", "usb:1-2");
        QVERIFY(!SaveRestoreEntry(folder, beside));

        const std::vector<JournalItem> items = ReadJournal(folder);
        QCOMPARE(items.size(), std::size_t(2));
        std::vector<RestoreEntry> read;
        for (const JournalItem& item : items)
            read.push_back(std::get<RestoreEntry>(item.Entry));
        QVERIFY(std::find(read.begin(), read.end(), first) != read.end());
        QVERIFY(std::find(read.begin(), read.end(), beside) != read.end());
        // Nothing but the entries is left behind in the folder.
        QCOMPARE(QDir(QString::fromStdString(folder.string())).entryList(QDir::Files | QDir::Hidden).size(), 2);

        QVERIFY(!RemoveRestoreEntry(folder, first));
        QCOMPARE(ReadJournal(folder).size(), std::size_t(1));
        QVERIFY(!RemoveRestoreEntry(folder, first));  // already gone: done
    }

    // A damaged file is told, never taken for settings: bytes that are not a settings
    // report would be written to the board.
    void DamagedEntriesAreRefused_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("not JSON") << "{" << "(";
        QTest::newRow("a field missing") << "\"port\"" << "\"gate\"";
        QTest::newRow("a stray letter among the bytes") << "08 00 00" << "08 0g 00";
        QTest::newRow("bytes not in pairs") << "08 00 00" << "08 000 0";
        QTest::newRow("too short for the settings") << "c8 00 00 00" << "c8";
        QTest::newRow("a process ID that cannot be") << "\"process\": \"2147483632\"" << "\"process\": \"-4\"";
    }

    void DamagedEntriesAreRefused()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        std::string text = FormatRestoreEntry(Entry("KX5170-000123", "usb:1-1"));
        QVERIFY(std::holds_alternative<RestoreEntry>(ParseRestoreEntry(text)));
        const std::size_t at = text.find(from.toStdString());
        QVERIFY2(at != std::string::npos, text.c_str());
        if (from == QLatin1String("c8 00 00 00"))
            text = text.substr(0, text.find("\"settings\"")) + "\"settings\": \"08 00 c8\"\n}\n";
        else
            text.replace(at, from.size(), to.toStdString());
        QVERIFY(std::holds_alternative<std::string>(ParseRestoreEntry(text)));
    }

    // The board an entry is for: its serial number and port; a port one side cannot tell
    // does not keep them apart; a board with neither is known by its node.
    void EntryNamesItsBoard_data()
    {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("same");
        QTest::newRow("the same board under a new node") << "KX5170-000123" << "usb:1-1" << "/dev/hidraw9" << true;
        QTest::newRow("same serial, another port") << "KX5170-000123" << "usb:1-2" << "/dev/hidraw3" << false;
        QTest::newRow("another serial, same port") << "KX5170-000999" << "usb:1-1" << "/dev/hidraw3" << false;
        QTest::newRow("port not known now") << "KX5170-000123" << "" << "/dev/hidraw9" << true;
    }

    void EntryNamesItsBoard()
    {
        QFETCH(QString, serial);
        QFETCH(QString, port);
        QFETCH(QString, path);
        QFETCH(bool, same);
        const RestoreEntry entry = Entry("KX5170-000123", "usb:1-1");
        QCOMPARE(EntryIsFor(entry, Interface(serial.toStdString(), port.toStdString(), path.toStdString())), same);
        const RestoreEntry nameless = Entry("", "");
        QVERIFY(EntryIsFor(nameless, Interface("", "", "/dev/hidraw3")));
        QVERIFY(!EntryIsFor(nameless, Interface("", "", "/dev/hidraw4")));
        QCOMPARE(BoardArgument(entry), std::string("usb:1-1"));
        QCOMPARE(BoardArgument(Entry("usb:odd", "")), std::string("/dev/hidraw3"));
    }

    // This process's own entry is its run, still running; one whose process has ended,
    // or whose ID another process has taken since, is a leftover.
    void OnlyAnEndedRunLeavesALeftover()
    {
        QTemporaryDir dir;
        const fs::path folder = dir.path().toStdString();
        const RestoreEntry mine =
            EntryForRun({"/dev/hidraw3", 0x5E11, 0x0307, "KX5170-000123", "usb:1-1"}, {{}, Entry("", "").Image}, "-");
        QVERIFY(RunStillAlive(mine));
        QVERIFY(!SaveRestoreEntry(folder, mine));
        QVERIFY(!FindLeftover(folder, Interface("KX5170-000123", "usb:1-1")));

        RestoreEntry reused = mine;
        reused.ProcessStart = "1";  // the same ID, started at another time
        QVERIFY(!RunStillAlive(reused));
        QVERIFY(!SaveRestoreEntry(folder, reused));
        const std::optional<Leftover> leftover = FindLeftover(folder, Interface("KX5170-000123", "usb:1-1"));
        QVERIFY(leftover);
        QVERIFY2(leftover->Sentence.starts_with("The board still holds the settings from standard input (put on by run at ") &&
                     leftover->Sentence.ends_with(", which did not finish); kx5170ctl restore puts its own settings back."),
                 leftover->Sentence.c_str());
        QVERIFY(!FindLeftover(folder, Interface("KX5170-000123", "usb:1-2")));
        QVERIFY(!RunStillAlive(Entry("", "")));
    }

    void FolderFollowsXdg()
    {
        const QByteArray state = qgetenv("XDG_STATE_HOME"), home = qgetenv("HOME");
        qputenv("XDG_STATE_HOME", "/var/tmp/state");
        qputenv("HOME", "/home/you");
        QCOMPARE(DefaultJournalFolder(), fs::path("/var/tmp/state/kx5170"));
        qputenv("XDG_STATE_HOME", "relative/state");  // not absolute: ignored
        QCOMPARE(DefaultJournalFolder(), fs::path("/home/you/.local/state/kx5170"));
        qputenv("XDG_STATE_HOME", state);
        qputenv("HOME", home);
    }
};

QTEST_GUILESS_MAIN(TestRestoreJournal)
#include "test_restore_journal.moc"
