// The board's device nodes, the programs that hold them, and what the doctor looks at,
// on fake /sys, /proc and /run trees laid out as the kernel and systemd lay them out.
#include "board_doctor.h"
#include "board_holders.h"

#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace kx;
namespace fs = std::filesystem;

namespace {

// Three boards on USB and one made through uhid, beside another uhid device:
//   1-2  board A, serial A1: interface 0 with hidraw3, event5, js0; interface 1 with
//        hidraw4, event6; interface 2 not HID
//   1-3  board B: hidraw7, event9, js1
//   1-4  board C: a HID interface no driver took, so no node at all
//   uhid hidraw9 and event11; beside it another device's hidraw10 and event12
struct FakeRoots {
    FakeRoots()
    {
        const std::string a = "devices/usb1/1-2", b = "devices/usb1/1-3", c = "devices/usb1/1-4";
        UsbDevice(a, "5e11", "A1");
        HidDevice(a + "/1-2:1.0", "0003:6C1B:5E11.0005", "hidraw3", {"event5", "js0"}, "usb-0000:00:14.0-2/input0");
        HidDevice(a + "/1-2:1.1", "0003:6C1B:5E11.0006", "hidraw4", {"event6"}, "usb-0000:00:14.0-2/input1");
        Write(a + "/1-2:1.2/bInterfaceClass", "01\n");
        Write(a + "/1-2:1.0/usbmisc/hiddev0/dev", "180:0\n");
        Write(a + "/busnum", "1\n");
        Write(a + "/devnum", "12\n");
        Write(a + "/dev", "189:11\n");
        UsbDevice(b, "5e12", "");
        HidDevice(b + "/1-3:1.0", "0003:6C1B:5E12.0007", "hidraw7", {"event9", "js1"}, "usb-0000:00:14.0-3/input0");
        UsbDevice(c, "5e13", "C3");
        Write(c + "/1-4:1.0/bInterfaceClass", "03\n");
        Write("devices/usb1/1-5/idVendor", "046d\n");
        Write("devices/usb1/1-5/idProduct", "5e11\n");
        Link("bus/usb/devices/1-5", "devices/usb1/1-5");
        HidDevice("devices/virtual/misc/uhid", "0003:6C1B:5E13.0009", "hidraw9", {"event11"}, "");
        HidDevice("devices/virtual/misc/uhid", "0003:046D:C52B.000A", "hidraw10", {"event12"}, "");
    }

    fs::path Root(const char* name) const { return fs::path(Dir.path().toStdString()) / name; }

    void Write(const std::string& relative, const QByteArray& contents, const char* root = "sys")
    {
        const fs::path file = Root(root) / relative;
        fs::create_directories(file.parent_path());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(contents), contents.size());
    }

    // A relative link, as sysfs makes them.
    void Link(const std::string& from, const std::string& to)
    {
        fs::create_directories((Root("sys") / from).parent_path());
        fs::create_directory_symlink(fs::relative(Root("sys") / to, (Root("sys") / from).parent_path()),
                                     Root("sys") / from);
    }

    void UsbDevice(const std::string& path, const char* product, const char* serial)
    {
        Write(path + "/idVendor", "6c1b\n");
        Write(path + "/idProduct", QByteArray(product) + '\n');
        Write(path + "/bcdDevice", "0307\n");
        if (*serial)
            Write(path + "/serial", QByteArray(serial) + '\n');
        Link("bus/usb/devices/" + fs::path(path).filename().string(), path);
    }

    // On a USB interface (bound to usbhid) or on uhid: one hidraw node and one input
    // device with the given nodes beside an entry that is none.
    void HidDevice(const std::string& parent, const std::string& name, const std::string& hidraw,
                   std::initializer_list<std::string> inputNodes, const QByteArray& phys)
    {
        if (!parent.ends_with("uhid")) {
            Write(parent + "/bInterfaceClass", "03\n");
            Write(parent + "/bInterfaceNumber", "00\n");
            Link(parent + "/driver", "bus/usb/drivers/usbhid");
        }
        const std::string device = parent + '/' + name;
        Write(device + "/uevent", "DRIVER=hid-generic\nHID_PHYS=" + phys + "\nHID_UNIQ=" +
                                      (phys.isEmpty() ? "" : "A1") + "\nHID_NAME=KX5170\n");
        Link(device + "/hidraw/" + hidraw + "/device", device);
        Link("class/hidraw/" + hidraw, device + "/hidraw/" + hidraw);
        const std::string input = device + "/input/input" + std::to_string(40 + Count++);
        Write(input + "/id/version", "0307\n");
        Write(device + "/hidraw/" + hidraw + "/dev", Number());
        for (const std::string& node : inputNodes)
            Write(input + '/' + node + "/dev", Number());
    }

    // Each node its own number, as the kernel gives them; the board's first node and
    // its joystick node have those of two nodes every system has, so that a fake process
    // can hold them through a link of another name.
    QByteArray Number()
    {
        ++Numbered;
        if (Numbered == 1)
            return Text(DeviceOf("/dev/null"));  // hidraw3
        if (Numbered == 3)
            return Text(DeviceOf("/dev/zero"));  // js0
        if (Numbered == 7)
            return Text(DeviceOf("/dev/full"));  // event9: the other board's
        return "250:" + QByteArray::number(Numbered) + "\n";
    }

    static dev_t DeviceOf(const char* node)
    {
        struct stat status {};
        ::stat(node, &status);
        return status.st_rdev;
    }

    static QByteArray Text(dev_t number)
    {
        return QByteArray::number(major(number)) + ':' + QByteArray::number(minor(number)) + '\n';
    }

    void Process(int pid, const QByteArray& program, std::initializer_list<std::string> links)
    {
        Write(std::to_string(pid) + "/comm", program + '\n', "proc");
        fs::create_directories(Root("proc") / std::to_string(pid) / "fd");
        int fd = 0;
        for (const std::string& link : links)
            fs::create_symlink(link, Root("proc") / std::to_string(pid) / "fd" / std::to_string(fd++));
    }

    QTemporaryDir Dir;
    int Count = 0;
    int Numbered = 0;
};

QString Joined(const std::vector<BoardNode>& nodes)
{
    QStringList strings;
    for (const BoardNode& node : nodes)
        strings << QString::fromStdString(node.Path);
    return strings.join(' ');
}

QString Joined(const std::vector<std::string>& list)
{
    QStringList strings;
    for (const std::string& s : list)
        strings << QString::fromStdString(s);
    return strings.join(' ');
}

}  // namespace

class TestBoardHolders : public QObject {
    Q_OBJECT

    // One tree for every test: each reads it, or adds what only it reads.
    std::unique_ptr<FakeRoots> Fake;

private slots:
    void initTestCase() { Fake = std::make_unique<FakeRoots>(); }

    void BoardNodes_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("nodes");
        const QString a = "/dev/bus/usb/001/012 /dev/hidraw3 /dev/hidraw4 /dev/input/event5 /dev/input/event6 "
                          "/dev/input/js0 /dev/usb/hiddev0";
        QTest::newRow("both interfaces of a board, from the first") << "hidraw3" << a;
        QTest::newRow("from the second") << "hidraw4" << a;
        QTest::newRow("the other board") << "hidraw7" << "/dev/hidraw7 /dev/input/event9 /dev/input/js1";
        QTest::newRow("without USB, not its neighbours") << "hidraw9" << "/dev/hidraw9 /dev/input/event11";
        QTest::newRow("unknown to sysfs, still itself") << "hidraw5" << "/dev/hidraw5";
        QTest::newRow("not a node name") << "hidraw3/../../hidraw7" << "";
    }

    void BoardNodes()
    {
        QFETCH(QString, node);
        QFETCH(QString, nodes);
        FakeRoots& roots = *Fake;
        QCOMPARE(Joined(kx::BoardNodes(roots.Root("sys"), node.toStdString())), nodes);
    }

    // A game holds board A through its joystick node and a launcher through its first,
    // each opened under another name (a sandbox's own /dev): they are known by the
    // number of what they hold. The caller's own handle is not in the way, another
    // board's holder is not this board's, a link that reads like the board's node but
    // is something else is not the board, and what cannot be read is counted.
    void Holders()
    {
        FakeRoots& roots = *Fake;
        // Unreadable: to root as a file where the directory should be, to anyone else as a
        // directory without permissions. Numbered first, so that giving up there misses the rest.
        roots.Write("100/fd", "", "proc");
        roots.Process(101, "locked", {});
        fs::permissions(roots.Root("proc") / "101" / "fd", fs::perms::none);
        const std::string sandbox = roots.Root("sandbox").string();
        fs::create_directories(sandbox);
        fs::create_symlink("/dev/zero", sandbox + "/js0");
        roots.Process(200, "rallygame", {"/dev/pts/1", sandbox + "/js0", "/dev/zero", "/dev/input/js01"});
        roots.Process(300, "kx5170ctl", {"/dev/null"});
        roots.Process(400, "other", {"/dev/full"});
        roots.Process(500, "steam", {"socket:[4242]", "/dev/./null", roots.Root("sys").string() + "/fake-hidraw3"});
        roots.Write("fake-hidraw3", "", "sys");  // a file, not the device
        roots.Write("600/comm", "ended\n", "proc");
        fs::create_directory_symlink("300", roots.Root("proc") / "self");

        const auto nodes = kx::BoardNodes(roots.Root("sys"), "hidraw3");
        const NodeHolders found = FindNodeHolders(roots.Root("proc"), nodes, 300);
        QVERIFY(found.Holders == (std::vector<NodeHolder>{{200, "rallygame", "/dev/input/js0"},
                                                          {500, "steam", "/dev/hidraw3"}}));
        QCOMPARE(found.Unchecked, ::geteuid() == 0 ? 1 : 2);
        QCOMPARE(FindNodeHolders(roots.Root("proc"), nodes, 200).Holders.front(),
                 (NodeHolder{300, "kx5170ctl", "/dev/hidraw3"}));
        fs::permissions(roots.Root("proc") / "101" / "fd", fs::perms::owner_all);
    }

    // Only the proc file system at /proc, and only when it hides other users' processes
    // altogether: hidepid=1 lets them be counted.
    void HiddenProcesses_data()
    {
        QTest::addColumn<QByteArray>("mountinfo");
        QTest::addColumn<bool>("hidden");
        const QByteArray root = "1 0 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n";
        QTest::newRow("hidepid=2") << root + "22 1 0:20 / /proc rw,nosuid shared:13 - proc proc rw,hidepid=2\n" << true;
        QTest::newRow("invisible") << root + "22 1 0:20 / /proc rw - proc proc rw,gid=4,hidepid=invisible\n" << true;
        QTest::newRow("hidepid=1") << root + "22 1 0:20 / /proc rw - proc proc rw,hidepid=1\n" << false;
        QTest::newRow("another mount") << root + "40 1 0:44 / /srv/proc rw - proc proc rw,hidepid=2\n" << false;
        QTest::newRow("none") << root + "22 1 0:20 / /proc rw,nosuid - proc proc rw\n" << false;
    }

    void HiddenProcesses()
    {
        QFETCH(QByteArray, mountinfo);
        QFETCH(bool, hidden);
        FakeRoots& roots = *Fake;
        roots.Write("self/mountinfo", mountinfo, "mounts");
        QCOMPARE(ProcHidesOtherUsers(roots.Root("mounts") / "self" / "mountinfo"), hidden);
    }

    // What the doctor starts from: the board's hidraw nodes, on USB or on no bus at all;
    // another vendor's node beside the virtual board is none of them.
    void HidrawBoards()
    {
        FakeRoots& roots = *Fake;
        QStringList found;
        for (const HidrawBoard& board : FindHidrawBoards(roots.Root("sys")))
            found << QStringLiteral("%1 %2 %3").arg(QString::fromStdString(board.Node)).arg(board.ProductID, 0, 16)
                         .arg(QString::fromStdString(board.UsbPort));
        QCOMPARE(found, (QStringList{"/dev/hidraw3 5e11 1-2", "/dev/hidraw4 5e11 1-2", "/dev/hidraw7 5e12 1-3",
                                     "/dev/hidraw9 5e13 "}));
    }

    // What tells the same board after its reset; a board without USB has no port.
    void Identity()
    {
        FakeRoots& roots = *Fake;
        QVERIFY(ReadHidrawIdentity(roots.Root("sys"), "hidraw4") ==
                (HidrawIdentity{"A1", "usb-0000:00:14.0-2/input1", "1-2"}));
        QVERIFY(ReadHidrawIdentity(roots.Root("sys"), "hidraw9") == (HidrawIdentity{"", "", ""}));
        QVERIFY(!ReadHidrawIdentity(roots.Root("sys"), "hidraw5"));
    }

    // Every board on the bus, even one with no node; only its HID interfaces.
    void UsbBoards()
    {
        FakeRoots& roots = *Fake;
        QStringList found;
        for (const UsbBoard& board : FindUsbBoards(roots.Root("sys"))) {
            QString line = QStringLiteral("%1 %2 %3 \"%4\":").arg(QString::fromStdString(board.Port))
                               .arg(board.ProductID, 0, 16).arg(board.Version.value_or(0), 0, 16)
                               .arg(QString::fromStdString(board.SerialNumber));
            for (const UsbHidInterface& interface : board.Interfaces)
                line += QStringLiteral(" [%1 %2: %3 | %4]").arg(QString::fromStdString(interface.Name),
                                                                QString::fromStdString(interface.Driver),
                                                                Joined(interface.HidrawNodes), Joined(interface.InputNodes));
            found << line;
        }
        QCOMPARE(found, (QStringList{"1-2 5e11 307 \"A1\": [1-2:1.0 usbhid: /dev/hidraw3 | /dev/input/event5 /dev/input/js0]"
                                     " [1-2:1.1 usbhid: /dev/hidraw4 | /dev/input/event6]",
                                     "1-3 5e12 307 \"\": [1-3:1.0 usbhid: /dev/hidraw7 | /dev/input/event9 /dev/input/js1]",
                                     "1-4 5e13 307 \"C3\": [1-4:1.0 :  | ]"}));
    }

    void Session_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("kind");
        const QByteArray local = "# This is private data. Do not parse.\nUID=1000\nACTIVE=1\nREMOTE=0\nSEAT=seat0\n";
        QTest::newRow("at the seat, in front") << "2" << local << int(SessionKind::LocalActive);
        QTest::newRow("switched away") << "2" << QByteArray(local).replace("ACTIVE=1", "ACTIVE=0")
                                       << int(SessionKind::LocalInactive);
        QTest::newRow("remote") << "7" << QByteArray("ACTIVE=1\nREMOTE=1\nREMOTE_HOST=10.0.0.2\n") << int(SessionKind::Remote);
        QTest::newRow("no seat") << "c1" << QByteArray("ACTIVE=1\nREMOTE=0\nSEAT=\n") << int(SessionKind::NoSeat);
        QTest::newRow("says nothing of ACTIVE") << "2" << QByteArray("SEAT=seat0\n") << int(SessionKind::Unknown);
        QTest::newRow("an ID that is a path") << "../sessions/2" << local << int(SessionKind::Unknown);
    }

    void Session()
    {
        QFETCH(QString, id);
        QFETCH(QByteArray, record);
        QFETCH(int, kind);
        FakeRoots& roots = *Fake;
        roots.Write("systemd/sessions/" + id.section('/', -1).toStdString(), record, "run");
        QCOMPARE(int(ReadLoginSession(roots.Root("run"), id.toStdString()).Kind), kind);
    }
};

QTEST_APPLESS_MAIN(TestBoardHolders)
#include "test_board_holders.moc"
