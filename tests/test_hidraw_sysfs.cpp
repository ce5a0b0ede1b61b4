#include "hidraw_sysfs.h"
#include "wide_text.h"

#include <QtTest>

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

}  // namespace

class TestHidrawSysfs : public QObject {
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
};

QTEST_APPLESS_MAIN(TestHidrawSysfs)
#include "test_hidraw_sysfs.moc"
