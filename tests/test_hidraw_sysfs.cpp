#include "hid_platform.h"
#include "hidraw_sysfs.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

using namespace kx;

Q_DECLARE_METATYPE(std::wstring)
Q_DECLARE_METATYPE(std::u16string)

namespace {

// A fake /sys holding one hidraw node, hidraw0.
class FakeSysfs {
public:
    std::filesystem::path Root() const { return Dir.path().toStdString(); }

    void Write(const QString& relative, const QByteArray& contents)
    {
        const QString file = Dir.path() + "/class/hidraw/hidraw0/device/" + relative;
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(contents), contents.size());
    }

private:
    QTemporaryDir Dir;
};

}  // namespace

class TestHidrawSysfs : public QObject {
    Q_OBJECT

private slots:
    void NodeName_data();
    void NodeName();
    void Version_data();
    void Version();
    void VersionSkipsInputsWithoutOne();
    void ReportDescriptor_data();
    void ReportDescriptor();
    void WideToUtf16_data();
    void WideToUtf16();
};

void TestHidrawSysfs::NodeName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("node");  // null: refused

    QTest::newRow("hidraw0") << "/dev/hidraw0" << "hidraw0";
    QTest::newRow("hidraw12") << "/dev/hidraw12" << "hidraw12";
    QTest::newRow("no number") << "/dev/hidraw" << QString();
    QTest::newRow("climbs out") << "/dev/hidraw1/../../etc/passwd" << QString();
    QTest::newRow("letters") << "/dev/hidrawx" << QString();
    QTest::newRow("relative") << "hidraw0" << QString();
    QTest::newRow("other kind of node") << "/dev/usb/hiddev0" << QString();
    QTest::newRow("empty") << "" << QString();
}

void TestHidrawSysfs::NodeName()
{
    QFETCH(QString, path);
    QFETCH(QString, node);

    const auto name = HidrawNodeName(path.toStdString());
    QCOMPARE(name.has_value(), !node.isNull());
    if (name)
        QCOMPARE(QString::fromStdString(*name), node);
}

void TestHidrawSysfs::Version_data()
{
    QTest::addColumn<QByteArray>("file");  // null: no input device at all
    QTest::addColumn<int>("version");      // -1: none

    QTest::newRow("as the kernel writes it") << QByteArray("0111\n") << 0x0111;
    QTest::newRow("upper-case hex") << QByteArray("ABCD\n") << 0xABCD;
    QTest::newRow("short") << QByteArray("1") << 0x0001;
    QTest::newRow("largest") << QByteArray("ffff\n") << 0xFFFF;
    QTest::newRow("too wide") << QByteArray("10000\n") << -1;
    QTest::newRow("not hex") << QByteArray("01g1\n") << -1;
    QTest::newRow("signed") << QByteArray("-1\n") << -1;
    QTest::newRow("empty file") << QByteArray("") << -1;
    QTest::newRow("no input device") << QByteArray() << -1;
}

void TestHidrawSysfs::Version()
{
    QFETCH(QByteArray, file);
    QFETCH(int, version);

    FakeSysfs sysfs;
    sysfs.Write("report_descriptor", QByteArray(1, '\xC0'));
    if (!file.isNull())
        sysfs.Write("input/input5/id/version", file);

    const auto read = ReadHidrawVersion(sysfs.Root(), "hidraw0");
    QCOMPARE(read.has_value(), version >= 0);
    if (read)
        QCOMPARE(*read, version);
    QVERIFY(!ReadHidrawVersion(sysfs.Root(), "hidraw1").has_value());
}

void TestHidrawSysfs::VersionSkipsInputsWithoutOne()
{
    FakeSysfs sysfs;
    sysfs.Write("input/input11/id/product", "5e11\n");
    sysfs.Write("input/input12/id/version", "0203\n");
    sysfs.Write("input/mouse0/id/version", "9999\n");  // not an input device directory

    const auto read = ReadHidrawVersion(sysfs.Root(), "hidraw0");
    QVERIFY(read.has_value());
    QCOMPARE(*read, 0x0203);
}

void TestHidrawSysfs::ReportDescriptor_data()
{
    QTest::addColumn<QByteArray>("file");  // null: no file
    QTest::addColumn<bool>("readable");

    QTest::newRow("short descriptor") << QByteArray("\x05\x01\x09\x04\xA1\x01\xC0", 7) << true;
    QTest::newRow("4096 bytes") << QByteArray(4096, '\xA4') << true;
    QTest::newRow("4097 bytes") << QByteArray(4097, '\xA4') << false;
    QTest::newRow("empty") << QByteArray("") << true;
    QTest::newRow("missing") << QByteArray() << false;
}

void TestHidrawSysfs::ReportDescriptor()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, readable);

    FakeSysfs sysfs;
    sysfs.Write("uevent", "HID_ID=0003:00006C1B:00005E11\n");
    if (!file.isNull())
        sysfs.Write("report_descriptor", file);

    const auto read = ReadHidrawReportDescriptor(sysfs.Root(), "hidraw0");
    QCOMPARE(read.has_value(), readable);
    if (read)
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(read->data()), static_cast<qsizetype>(read->size())), file);
}

void TestHidrawSysfs::WideToUtf16_data()
{
    QTest::addColumn<std::wstring>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<std::u16string>("expected");

    QTest::newRow("ascii") << std::wstring(L"KX5170") << 126 << std::u16string(u"KX5170");
    QTest::newRow("latin and cjk") << std::wstring{0x00E9, 0x4E2D} << 126 << std::u16string{0x00E9, 0x4E2D};
    QTest::newRow("beyond the BMP") << std::wstring{L'a', 0x1F600, 0x10FFFF} << 126
                                    << std::u16string{u'a', 0xD83D, 0xDE00, 0xDBFF, 0xDFFF};
    QTest::newRow("invalid code points dropped")
        << std::wstring{L'a', 0xD800, L'b', 0xDFFF, 0x110000, static_cast<wchar_t>(-1), L'c'} << 126
        << std::u16string(u"abc");
    QTest::newRow("cut at the limit") << std::wstring(200, L'x') << static_cast<int>(MaxDeviceStringLength)
                                      << std::u16string(MaxDeviceStringLength, u'x');
    QTest::newRow("pair that does not fit is left out") << std::wstring{L'a', L'b', 0x1F600, L'c'} << 3
                                                        << std::u16string(u"ab");
    QTest::newRow("pair that just fits") << std::wstring{L'a', 0x1F600} << 3
                                         << std::u16string{u'a', 0xD83D, 0xDE00};
    QTest::newRow("empty") << std::wstring() << 126 << std::u16string();
}

void TestHidrawSysfs::WideToUtf16()
{
    QFETCH(std::wstring, text);
    QFETCH(int, limit);
    QFETCH(std::u16string, expected);

    const std::u16string converted = kx::WideToUtf16(text, static_cast<std::size_t>(limit));
    QCOMPARE(QString::fromStdU16String(converted), QString::fromStdU16String(expected));
    QCOMPARE(converted.size(), expected.size());
}

QTEST_APPLESS_MAIN(TestHidrawSysfs)
#include "test_hidraw_sysfs.moc"
