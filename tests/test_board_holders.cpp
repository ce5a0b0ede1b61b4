// The board's device nodes, the programs that hold them, and what the doctor looks at,
// all on fake /sys, /proc and /run trees laid out as the kernel and systemd lay them out.
#include "board_doctor.h"
#include "board_holders.h"

#include <QtTest>

#include <unistd.h>

#include <filesystem>

using namespace kx;
namespace fs = std::filesystem;

namespace {

// Two boards on USB and one made through uhid, beside another uhid device:
//   1-1.2  board A, serial A1: interface 0 with hidraw3, event5, js0; interface 1 with
//          hidraw4, event6
//   1-1.3  board B: hidraw7, event9, js1
//   2-1    board C: a HID interface no driver took, so no node at all
//   uhid   hidraw9 and event11; beside it another device's hidraw10
struct FakeRoots {
    FakeRoots()
    {
        const std::string usb = "devices/pci0000:00/0000:00:14.0/usb1";
        Write(usb + "/idVendor", "1d6b\n");  // the root hub
        Write(usb + "/idProduct", "0002\n");
        Link("bus/usb/devices/usb1", usb);
        UsbDevice(usb + "/1-1", "05e3", "0610", "");  // a hub
        const std::string a = usb + "/1-1/1-1.2";
        UsbDevice(a, "6c1b", "5e11", "A1");
        HidDevice(a + "/1-1.2:1.0", "0003:6C1B:5E11.0005", "hidraw3", {"event5", "js0"}, "usb-0000:00:14.0-1.2/input0",
                  "A1");
        HidDevice(a + "/1-1.2:1.1", "0003:6C1B:5E11.0006", "hidraw4", {"event6"}, "usb-0000:00:14.0-1.2/input1", "A1");
        Write(a + "/1-1.2:1.2/bInterfaceClass", "01\n");  // not a HID interface
        Write(a + "/1-1.2:1.2/bInterfaceNumber", "02\n");
        const std::string b = usb + "/1-1/1-1.3";
        UsbDevice(b, "6c1b", "5e12", "");
        HidDevice(b + "/1-1.3:1.0", "0003:6C1B:5E12.0007", "hidraw7", {"event9", "js1"}, "usb-0000:00:14.0-1.3/input0",
                  "");
        const std::string c = "devices/pci0000:00/0000:00:14.0/usb2/2-1";
        UsbDevice(c, "6c1b", "5e13", "C3");
        Write(c + "/2-1:1.0/bInterfaceClass", "03\n");
        Write(c + "/2-1:1.0/bInterfaceNumber", "00\n");
        Link("bus/usb/devices/2-1:1.0", c + "/2-1:1.0");

        const std::string uhid = "devices/virtual/misc/uhid";
        HidDevice(uhid, "0003:6C1B:5E13.0009", "hidraw9", {"event11"}, "", "");
        HidDevice(uhid, "0003:046D:C52B.000A", "hidraw10", {"event12"}, "", "");
        Write(uhid + "/dev", "10:239\n");
    }

    fs::path Sys() const { return fs::path(Dir.path().toStdString()) / "sys"; }
    fs::path Proc() const { return fs::path(Dir.path().toStdString()) / "proc"; }

    void Write(const std::string& relative, const QByteArray& contents, const char* root = "sys")
    {
        const QString file = Dir.path() + '/' + root + '/' + QString::fromStdString(relative);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(contents), contents.size());
    }

    // A relative link at `from` to `to`, both relative to the root, as sysfs makes them.
    void Link(const std::string& from, const std::string& to, const char* root = "sys")
    {
        const fs::path base = fs::path(Dir.path().toStdString()) / root;
        fs::create_directories((base / from).parent_path());
        fs::create_directory_symlink(fs::relative(base / to, (base / from).parent_path()), base / from);
    }

    void UsbDevice(const std::string& path, const char* vendor, const char* product, const char* serial)
    {
        Write(path + "/idVendor", QByteArray(vendor) + '\n');
        Write(path + "/idProduct", QByteArray(product) + '\n');
        Write(path + "/bcdDevice", "0307\n");
        if (*serial)
            Write(path + "/serial", QByteArray(serial) + '\n');
        Link("bus/usb/devices/" + fs::path(path).filename().string(), path);
    }

    // A HID device on `parent` (a USB interface, or uhid) with one hidraw node and one input
    // device holding the given event and js nodes beside the entries every input device has.
    void HidDevice(const std::string& parent, const std::string& name, const std::string& hidraw,
                   std::initializer_list<std::string> inputNodes, const QByteArray& phys, const QByteArray& uniq)
    {
        if (!parent.ends_with("uhid")) {
            Write(parent + "/bInterfaceClass", "03\n");
            Write(parent + "/bInterfaceNumber", "00\n");
            Link(parent + "/driver", "bus/usb/drivers/usbhid");
            Link("bus/usb/devices/" + fs::path(parent).filename().string(), parent);
        }
        const std::string device = parent + '/' + name;
        Write(device + "/uevent", "DRIVER=hid-generic\nHID_ID=0003:00006C1B:00005E11\nHID_NAME=KX5170\nHID_PHYS=" +
                                      phys + "\nHID_UNIQ=" + uniq + "\nMODALIAS=hid:b0003g0001v00006C1Bp00005E11\n");
        Write(device + "/hidraw/" + hidraw + "/dev", "243:3\n");
        Link(device + "/hidraw/" + hidraw + "/device", device);
        Link("class/hidraw/" + hidraw, device + "/hidraw/" + hidraw);
        const std::string input = device + "/input/input" + std::to_string(40 + Count++);
        Write(input + "/name", "KX5170\n");
        Write(input + "/id/version", "0307\n");
        for (const std::string& node : inputNodes)
            Write(input + '/' + node + "/dev", "13:64\n");
    }

    // A process: its program name and its descriptors' links.
    void Process(int pid, const QByteArray& program, std::initializer_list<std::string> links)
    {
        const std::string process = std::to_string(pid);
        Write(process + "/comm", program + '\n', "proc");
        fs::create_directories(Proc() / process / "fd");
        int fd = 0;
        for (const std::string& link : links)
            fs::create_symlink(link, Proc() / process / "fd" / std::to_string(fd++));
    }

    QTemporaryDir Dir;
    int Count = 0;
};

QStringList Strings(const std::vector<std::string>& list)
{
    QStringList strings;
    for (const std::string& s : list)
        strings << QString::fromStdString(s);
    return strings;
}

}  // namespace

class TestBoardHolders : public QObject {
    Q_OBJECT

private slots:
    void BoardNodes_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QStringList>("nodes");
        const QStringList a{"/dev/hidraw3", "/dev/hidraw4", "/dev/input/event5", "/dev/input/event6", "/dev/input/js0"};
        QTest::newRow("both interfaces of a board, from the first") << "hidraw3" << a;
        QTest::newRow("from the second") << "hidraw4" << a;
        QTest::newRow("the other board") << "hidraw7" << QStringList{"/dev/hidraw7", "/dev/input/event9", "/dev/input/js1"};
        QTest::newRow("without USB, not its neighbours") << "hidraw9" << QStringList{"/dev/hidraw9", "/dev/input/event11"};
        QTest::newRow("unknown to sysfs, still itself") << "hidraw5" << QStringList{"/dev/hidraw5"};
        QTest::newRow("not a node name") << "hidraw3/../../hidraw7" << QStringList{};
    }

    void BoardNodes()
    {
        QFETCH(QString, node);
        QFETCH(QStringList, nodes);
        FakeRoots roots;
        QCOMPARE(Strings(BoardDeviceNodes(roots.Sys(), node.toStdString())), nodes);
    }

    // A game holds board A through its joystick node, a launcher its second hidraw node;
    // the caller's own handle is not in the way, another board's holder is not this
    // board's, and processes that cannot be read are passed over.
    void Holders()
    {
        FakeRoots roots;
        // Unreadable: to root only as a file where the directory should be, to anyone else
        // as a directory without permissions. Numbered first, so that giving up there would
        // miss the rest.
        roots.Write("100/comm", "locked\n", "proc");
        roots.Write("100/fd", "", "proc");
        roots.Process(101, "locked", {});
        fs::permissions(roots.Proc() / "101" / "fd", fs::perms::none);
        roots.Process(200, "rallygame", {"/dev/pts/1", "/dev/input/js0", "/dev/input/js0", "/dev/input/js0x"});
        roots.Process(300, "kx5170ctl", {"/dev/hidraw3", "/dev/null"});
        roots.Process(400, "other", {"/dev/hidraw7"});
        roots.Process(500, "steam", {"socket:[4242]", "/dev/hidraw4", "/dev/input/event6"});
        roots.Write("600/comm", "gone\n", "proc");  // ended: no descriptors left to read
        fs::create_directory_symlink("300", roots.Proc() / "self");

        const auto nodes = BoardDeviceNodes(roots.Sys(), "hidraw3");
        QVERIFY(FindNodeHolders(roots.Proc(), nodes, 300) ==
                (std::vector<NodeHolder>{{200, "rallygame", "/dev/input/js0"},
                                         {500, "steam", "/dev/hidraw4"},
                                         {500, "steam", "/dev/input/event6"}}));
        QVERIFY(FindNodeHolders(roots.Proc(), nodes, 200) ==
                (std::vector<NodeHolder>{{300, "kx5170ctl", "/dev/hidraw3"},
                                         {500, "steam", "/dev/hidraw4"},
                                         {500, "steam", "/dev/input/event6"}}));
        fs::permissions(roots.Proc() / "101" / "fd", fs::perms::owner_all);
    }

    // The same board across its reset: serial, physical path and USB port; a board
    // without USB has no port.
    void Identity()
    {
        FakeRoots roots;
        QVERIFY(ReadHidrawIdentity(roots.Sys(), "hidraw4") ==
                (HidrawIdentity{"A1", "usb-0000:00:14.0-1.2/input1", "1-1.2"}));
        QVERIFY(ReadHidrawIdentity(roots.Sys(), "hidraw9") == (HidrawIdentity{"", "", ""}));
        QVERIFY(!ReadHidrawIdentity(roots.Sys(), "hidraw5"));
    }

    // Every board on the bus, even one with no node; only its HID interfaces.
    void UsbBoards()
    {
        FakeRoots roots;
        const auto boards = FindUsbBoards(roots.Sys());
        QCOMPARE(boards.size(), std::size_t(3));
        QCOMPARE(boards[0].Port, "1-1.2");
        QCOMPARE(boards[0].ProductID, 0x5E11);
        QCOMPARE(boards[0].Version, std::optional<std::uint16_t>(0x0307));
        QCOMPARE(boards[0].SerialNumber, "A1");
        QCOMPARE(boards[0].Interfaces.size(), std::size_t(2));
        QCOMPARE(boards[0].Interfaces[0].Name, "1-1.2:1.0");
        QCOMPARE(boards[0].Interfaces[0].Driver, "usbhid");
        QCOMPARE(Strings(boards[0].Interfaces[0].HidrawNodes), QStringList{"/dev/hidraw3"});
        QCOMPARE(Strings(boards[0].Interfaces[0].InputNodes), (QStringList{"/dev/input/event5", "/dev/input/js0"}));
        QCOMPARE(Strings(boards[0].Interfaces[1].HidrawNodes), QStringList{"/dev/hidraw4"});
        QCOMPARE(boards[1].Port, "1-1.3");
        QCOMPARE(boards[1].SerialNumber, "");
        QCOMPARE(boards[2].Port, "2-1");
        QCOMPARE(boards[2].Interfaces.size(), std::size_t(1));
        QCOMPARE(boards[2].Interfaces[0].Driver, "");
        QVERIFY(boards[2].Interfaces[0].HidrawNodes.empty() && boards[2].Interfaces[0].InputNodes.empty());
    }

    void Access()
    {
        QTemporaryDir dir;
        const QString node = dir.filePath("hidraw0");
        QVERIFY(QFile(node).open(QIODevice::WriteOnly));
        QCOMPARE(CheckNodeAccess(node.toStdString()), NodeAccess::ReadWrite);
        QCOMPARE(CheckNodeAccess(dir.filePath("hidraw1").toStdString()), NodeAccess::Missing);
        if (::geteuid() == 0)
            QSKIP("root may open a node whatever its permissions");
        QVERIFY(QFile::setPermissions(node, QFile::ReadOwner));
        QCOMPARE(CheckNodeAccess(node.toStdString()), NodeAccess::Denied);
    }

    void Session_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QByteArray>("record");  // empty: none
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("seat");
        const QByteArray local = "# This is private data. Do not parse.\nUID=1000\nUSER=ana\nACTIVE=1\nSTATE=active\n"
                                 "REMOTE=0\nTYPE=wayland\nSEAT=seat0\nVTNR=2\n";
        QTest::newRow("at the seat, in front") << "2" << local << int(SessionKind::LocalActive) << "seat0";
        QTest::newRow("switched away") << "2" << QByteArray(local).replace("ACTIVE=1", "ACTIVE=0")
                                       << int(SessionKind::LocalInactive) << "seat0";
        QTest::newRow("remote") << "7" << QByteArray("UID=1000\nACTIVE=1\nREMOTE=1\nREMOTE_HOST=10.0.0.2\nTYPE=tty\n")
                                << int(SessionKind::Remote) << "";
        QTest::newRow("no seat") << "c1" << QByteArray("UID=1000\nACTIVE=1\nREMOTE=0\nTYPE=unspecified\nSEAT=\n")
                                 << int(SessionKind::NoSeat) << "";
        QTest::newRow("says nothing of ACTIVE") << "2" << QByteArray("SEAT=seat0\nREMOTE=0\n")
                                                << int(SessionKind::Unknown) << "seat0";
        QTest::newRow("no session ID") << "" << local << int(SessionKind::Unknown) << "";
        QTest::newRow("no record") << "3" << QByteArray() << int(SessionKind::Unknown) << "";
        QTest::newRow("an ID that is a path") << "../sessions/2" << local << int(SessionKind::Unknown) << "";
    }

    void Session()
    {
        QFETCH(QString, id);
        QFETCH(QByteArray, record);
        QFETCH(int, kind);
        QFETCH(QString, seat);
        FakeRoots roots;
        if (!record.isEmpty())
            roots.Write("systemd/sessions/2", record, "run");
        if (!record.isEmpty() && !id.isEmpty() && !id.contains('/'))
            roots.Write("systemd/sessions/" + id.toStdString(), record, "run");
        const auto session = ReadLoginSession(fs::path(roots.Dir.path().toStdString()) / "run", id.toStdString());
        QCOMPARE(int(session.Kind), kind);
        QCOMPARE(QString::fromStdString(session.Seat), seat);
    }
};

QTEST_APPLESS_MAIN(TestBoardHolders)
#include "test_board_holders.moc"
