// The Linux parts below hidapi: reading a hidraw node's details from sysfs, the board's
// strings as UTF-16, and the watcher on a directory standing in for /dev, whose queue is
// read without blocking, so each change made here is seen by the next call.
#include "hidraw_sysfs.h"
#include "hidraw_watcher.h"
#include "wide_text.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

using namespace kx;
Q_DECLARE_METATYPE(std::wstring)

namespace {

// A fake /sys holding one hidraw node, hidraw0.
struct FakeSysfs {
    std::filesystem::path Root() const { return Dir.path().toStdString(); }

    void Write(const QString& relative, const QByteArray& contents)
    {
        const QString file = Dir.path() + "/class/hidraw/hidraw0/device/" + relative;
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(contents), contents.size());
    }

    QTemporaryDir Dir;
};

void Touch(const QString& path) { QVERIFY2(QFile(path).open(QIODevice::WriteOnly), qPrintable(path)); }
void ChangeMode(const QString& path, mode_t mode) { QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0); }

}  // namespace

class TestHidraw : public QObject {
    Q_OBJECT

private slots:
    // Only a plain /dev/hidrawN names a node: nothing else reaches a sysfs path.
    void NodeName()
    {
        QCOMPARE(HidrawNodeName("/dev/hidraw12"), std::optional<std::string>("hidraw12"));
        for (const char* path : {"/dev/hidraw", "/dev/hidraw1/../../etc/passwd", "/dev/hidrawx", "hidraw0",
                                 "/dev/usb/hiddev0", ""})
            QVERIFY2(!HidrawNodeName(path), path);
    }

    // Four hex digits; only an inputN directory is an input device.
    void Version()
    {
        for (auto [file, version] : {std::pair{"0111\n", 0x0111}, {"ffff\n", 0xFFFF}, {"1", 1}, {"10000\n", -1},
                                     {"01g1\n", -1}, {"-1\n", -1}, {"", -1}}) {
            FakeSysfs sysfs;
            sysfs.Write("input/input5/id/version", file);
            const auto read = ReadHidrawVersion(sysfs.Root(), "hidraw0");
            QVERIFY2((read ? int(*read) : -1) == version, file);
        }
        FakeSysfs sysfs;
        sysfs.Write("report_descriptor", QByteArray(1, '\xC0'));
        QVERIFY(!ReadHidrawVersion(sysfs.Root(), "hidraw0"));  // no input device at all
        sysfs.Write("input/input11/id/product", "5e11\n");
        sysfs.Write("input/input12/id/version", "0203\n");
        sysfs.Write("input/event3/id/version", "9999\n");
        QCOMPARE(ReadHidrawVersion(sysfs.Root(), "hidraw0"), std::optional<std::uint16_t>(0x0203));
    }

    void ReportDescriptor_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("read");
        QTest::newRow("empty") << QByteArray("") << true;
        QTest::newRow("4096 bytes") << QByteArray(4096, '\xA4') << true;
        QTest::newRow("4097 bytes: longer than the kernel allows") << QByteArray(4097, '\xA4') << false;
    }

    void ReportDescriptor()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, read);
        FakeSysfs sysfs;
        QVERIFY(!ReadHidrawReportDescriptor(sysfs.Root(), "hidraw0"));  // missing
        sysfs.Write("report_descriptor", file);
        const auto bytes = ReadHidrawReportDescriptor(sysfs.Root(), "hidraw0");
        QCOMPARE(bytes.has_value(), read);
        if (bytes)
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(bytes->data()), qsizetype(bytes->size())), file);
    }

    // The port is the name of the USB device above the node's interface, however many
    // hubs lie between; a device with no USB device above it keeps the HID_PHYS it was
    // made with.
    void Port_data()
    {
        QTest::addColumn<QString>("hidDevice");
        QTest::addColumn<QString>("port");
        QTest::newRow("root port") << "devices/platform/dummy_hcd.0/usb1/1-1/1-1:1.0/0003:6C1B:5E11.0001"
                                   << "usb:1-1";
        QTest::newRow("behind a hub") << "devices/pci0000:00/0000:00:14.0/usb3/3-2/3-2.4/3-2.4:1.2/0003:6C1B:5E13.000A"
                                      << "usb:3-2.4";
        QTest::newRow("uhid") << "devices/virtual/misc/uhid/0003:6C1B:5E11.0003" << "kx5170-virtual-board-7/input0";
        // An interface without a USB device above it is not on a USB bus.
        QTest::newRow("no idVendor above") << "devices/platform/other/1-1:1.0/0003:6C1B:5E11.0004"
                                           << "kx5170-virtual-board-7/input0";
    }

    void Port()
    {
        QFETCH(QString, hidDevice);
        QFETCH(QString, port);
        QTemporaryDir dir;
        const auto write = [&](const QString& relative, const QByteArray& contents) {
            QVERIFY(QDir().mkpath(QFileInfo(dir.filePath(relative)).path()));
            QFile out(dir.filePath(relative));
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(contents) == contents.size());
        };
        write(hidDevice + "/uevent", "DRIVER=hid-generic\nHID_ID=0003:00006C1B:00005E11\n"
                                     "HID_PHYS=kx5170-virtual-board-7/input0\nHID_UNIQ=SAME-1\n");
        write(hidDevice + "/hidraw/hidraw0/dev", "243:0\n");
        const QStringList parts = hidDevice.split('/');
        const QString interface = parts.mid(0, parts.size() - 1).join('/');
        const QString usbDevice = parts.mid(0, parts.size() - 2).join('/');
        if (interface.contains(':') && !interface.endsWith("uhid")) {
            write(interface + "/bInterfaceNumber", "00\n");
            if (!usbDevice.endsWith("other"))
                write(usbDevice + "/idVendor", "6c1b\n");
        }
        QVERIFY(QDir().mkpath(dir.filePath("class/hidraw/hidraw0")));
        QVERIFY(QFile::link(dir.filePath(hidDevice), dir.filePath("class/hidraw/hidraw0/device")));

        const auto read = ReadHidrawPort(dir.path().toStdString(), "hidraw0");
        QVERIFY(read);
        QCOMPARE(QString::fromStdString(*read), port);
        QVERIFY(!ReadHidrawPort(dir.path().toStdString(), "hidraw1"));
    }

    void WideToUtf16_data()
    {
        QTest::addColumn<std::wstring>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("pairs") << std::wstring{L'a', 0x00E9, 0x1F600, 0x10FFFF} << 126
                               << QString::fromUtf16(u"a\u00E9\xD83D\xDE00\xDBFF\xDFFF");
        QTest::newRow("invalid dropped") << std::wstring{L'a', 0xD800, L'b', 0xDFFF, 0x110000, wchar_t(-1), L'c'}
                                         << 126 << QString("abc");
        QTest::newRow("cut at the limit") << std::wstring(200, L'x') << 126 << QString(126, u'x');
        QTest::newRow("a pair left out, not split") << std::wstring{L'a', L'b', 0x1F600, L'c'} << 3 << QString("ab");
        QTest::newRow("a pair just fits") << std::wstring{L'a', 0x1F600} << 3 << QString::fromUtf16(u"a\xD83D\xDE00");
    }

    void WideToUtf16()
    {
        QFETCH(std::wstring, text);
        QFETCH(int, limit);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdU16String(kx::WideToUtf16(text, std::size_t(limit))), expected);
    }

    void reportsEachChangeToAHidrawNodeOnce()
    {
        QTemporaryDir dev;
        const QString d = dev.path();
        Touch(d + "/tty5");
        HidrawWatcher watcher(d.toStdString());
        auto news = [&](bool expected, const char* change) {
            QVERIFY2(watcher.ChangedSinceLastCall() == expected, change);
            QVERIFY2(!watcher.ChangedSinceLastCall(), change);
        };
        news(false, "nothing yet");
        Touch(d + "/hidraw3");
        news(true, "node appears");
        // udev opens an existing node to the logged-in user after the kernel made it.
        ChangeMode(d + "/hidraw3", 0666);
        news(true, "permissions change");
        QVERIFY(QFile::rename(d + "/hidraw3", d + "/.old-node"));
        news(true, "renamed away");
        QVERIFY(QFile::rename(d + "/.old-node", d + "/hidraw7"));
        news(true, "renamed into place");
        QVERIFY(QFile::remove(d + "/hidraw7"));
        news(true, "node removed");
        Touch(d + "/event12");
        ChangeMode(d + "/tty5", 0600);
        QVERIFY(QFile::remove(d + "/tty5"));
        QVERIFY(QDir(d).mkpath(QStringLiteral("input")));
        Touch(d + "/input/hidraw0");
        news(false, "other nodes, and below the directory");
    }

    void overflowedQueueCountsAsAChange()
    {
        int limit = -1;
        std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
        if (limit <= 0 || limit > 200000)
            QSKIP("the kernel's inotify queue limit is unknown or too large to fill here");
        QTemporaryDir dev;
        Touch(dev.path() + "/a");
        Touch(dev.path() + "/b");
        HidrawWatcher watcher(dev.path().toStdString());
        // Alternating, so the kernel cannot merge the events; then the one that matters,
        // which the full queue drops.
        for (int i = 0; i <= limit; ++i)
            ChangeMode(dev.path() + (i % 2 ? "/a" : "/b"), i % 4 < 2 ? 0600 : 0644);
        Touch(dev.path() + "/hidraw0");
        QVERIFY(watcher.ChangedSinceLastCall());
        QVERIFY(!watcher.ChangedSinceLastCall());
    }

    // Without a watch nothing can be ruled out: every call is a change.
    void withoutAWatchEveryCallIsAChange()
    {
        QTemporaryDir parent;
        Touch(parent.path() + "/file");
        for (const char* name : {"/missing", "/file"}) {
            HidrawWatcher watcher((parent.path() + name).toStdString());
            QVERIFY2(!watcher.Watching(), name);
            QVERIFY(watcher.ChangedSinceLastCall());
            QVERIFY(watcher.ChangedSinceLastCall());
        }

        // A watch lost later (the directory removed) is no better, even with it back again.
        const QString dev = parent.path() + "/dev";
        QVERIFY(QDir().mkpath(dev));
        HidrawWatcher later(dev.toStdString());
        QVERIFY(!later.ChangedSinceLastCall());
        const int watched = later.Descriptor();
        QVERIFY(QDir(dev).removeRecursively());
        QVERIFY(QDir().mkpath(dev));
        QVERIFY(later.ChangedSinceLastCall());
        QVERIFY(later.ChangedSinceLastCall());
        QVERIFY(!later.Watching());
        // No longer offered, but not closed under a caller that may still watch it.
        QCOMPARE(later.Descriptor(), -1);
        QVERIFY(::fcntl(watched, F_GETFD) != -1);
    }
};

QTEST_APPLESS_MAIN(TestHidraw)
#include "test_hidraw.moc"
