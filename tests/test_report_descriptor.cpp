#include "board_model.h"
#include "report_descriptor.h"

#include <QByteArray>
#include <QtTest>

#include <initializer_list>

using namespace kx;

namespace {

QByteArray Bytes(std::initializer_list<std::uint8_t> bytes)
{
    QByteArray out;
    for (std::uint8_t b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

QByteArray Repeat(std::initializer_list<std::uint8_t> bytes, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out.append(Bytes(bytes));
    return out;
}

std::span<const std::uint8_t> View(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

// A vendor collection around the given body, as most of the cases below need one.
QByteArray InVendorCollection(const QByteArray& body)
{
    return Bytes({0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01}) + body + Bytes({0xC0});
}

}  // namespace

class TestReportDescriptor : public QObject {
    Q_OBJECT

private slots:
    void WellFormed_data();
    void WellFormed();
    void Malformed_data();
    void Malformed();
};

void TestReportDescriptor::WellFormed_data()
{
    QTest::addColumn<QByteArray>("descriptor");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("feature");
    QTest::addColumn<bool>("numbered");

    const auto board = BoardModel::StandardReportDescriptor();
    QTest::newRow("board")
        << QByteArray(reinterpret_cast<const char*>(board.data()), static_cast<qsizetype>(board.size()))
        << 4 << 0 << 64 << true;

    QTest::newRow("vendor 64-byte in/out, no report IDs") << Bytes({
        0x06, 0x00, 0xFF,        // Usage Page (Vendor 0xFF00)
        0x09, 0x01,              // Usage (1)
        0xA1, 0x01,              // Collection (Application)
        0x15, 0x00,              //   Logical Minimum (0)
        0x26, 0xFF, 0x00,        //   Logical Maximum (255)
        0x75, 0x08,              //   Report Size (8)
        0x97, 0x40, 0, 0, 0,     //   Report Count (64), four-byte item
        0x0B, 0x01, 0, 0xFF, 0,  //   Usage (0xFF000001), four-byte local item
        0x81, 0x02,              //   Input (Data, Variable, Absolute)
        0x09, 0x01,              //   Usage (1)
        0x91, 0x02,              //   Output (Data, Variable, Absolute)
        0xC0,                    // End Collection
    }) << 65 << 65 << 0 << false;

    QTest::newRow("boot keyboard") << Bytes({
        0x05, 0x01,  // Usage Page (Generic Desktop)
        0x09, 0x06,  // Usage (Keyboard)
        0xA1, 0x01,  // Collection (Application)
        0x05, 0x07,  //   Usage Page (Keyboard)
        0x19, 0xE0,  //   Usage Minimum (Left Control)
        0x29, 0xE7,  //   Usage Maximum (Right GUI)
        0x15, 0x00,  //   Logical Minimum (0)
        0x25, 0x01,  //   Logical Maximum (1)
        0x75, 0x01,  //   Report Size (1)
        0x95, 0x08,  //   Report Count (8)
        0x81, 0x02,  //   Input: modifiers
        0x95, 0x01,  //   Report Count (1)
        0x75, 0x08,  //   Report Size (8)
        0x81, 0x01,  //   Input (Constant): reserved
        0x95, 0x05,  //   Report Count (5)
        0x75, 0x01,  //   Report Size (1)
        0x05, 0x08,  //   Usage Page (LEDs)
        0x19, 0x01,  //   Usage Minimum (1)
        0x29, 0x05,  //   Usage Maximum (5)
        0x91, 0x02,  //   Output: LEDs
        0x95, 0x01,  //   Report Count (1)
        0x75, 0x03,  //   Report Size (3)
        0x91, 0x01,  //   Output (Constant): padding
        0x95, 0x06,  //   Report Count (6)
        0x75, 0x08,  //   Report Size (8)
        0x15, 0x00,  //   Logical Minimum (0)
        0x25, 0x65,  //   Logical Maximum (101)
        0x05, 0x07,  //   Usage Page (Keyboard)
        0x19, 0x00,  //   Usage Minimum (0)
        0x29, 0x65,  //   Usage Maximum (101)
        0x81, 0x00,  //   Input (Array): keys
        0xC0,        // End Collection
    }) << 9 << 2 << 0 << false;

    // Reports of one ID declared in two places add up; the longest ID wins.
    QTest::newRow("keyboard and consumer control, numbered") << Bytes({
        0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,  // Collection (Application): keyboard
        0x85, 0x01,                          //   Report ID (1)
        0x75, 0x08, 0x95, 0x01, 0x81, 0x02,  //   Input: 8 bits
        0xC0,                                // End Collection
        0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01,  // Collection (Application): consumer
        0x85, 0x02,                          //   Report ID (2)
        0x75, 0x10, 0x95, 0x01, 0x81, 0x00,  //   Input: 16 bits
        0xC0,                                // End Collection
        0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,  // Collection (Application): keyboard again
        0x85, 0x01,                          //   Report ID (1)
        0x75, 0x08, 0x95, 0x02, 0x81, 0x02,  //   Input: 16 more bits, 24 in all
        0x75, 0x01, 0x95, 0x05, 0x91, 0x02,  //   Output: 5 bits
        0xC0,                                // End Collection
    }) << 4 << 2 << 0 << true;

    QTest::newRow("push and pop restore report ID, size and count") << InVendorCollection(Bytes({
        0x85, 0x01,  // Report ID (1)
        0x75, 0x08,  // Report Size (8)
        0x95, 0x02,  // Report Count (2)
        0xA4,        // Push
        0x85, 0x02,  //   Report ID (2)
        0x75, 0x10,  //   Report Size (16)
        0x95, 0x04,  //   Report Count (4)
        0xB1, 0x02,  //   Feature: ID 2, 64 bits
        0xB4,        // Pop
        0x81, 0x02,  // Input: ID 1, 16 bits
        0xB1, 0x02,  // Feature: ID 1, 16 bits
    })) << 3 << 0 << 9 << true;

    QTest::newRow("push 16 deep") << InVendorCollection(
        Repeat({0xA4}, 16) + Repeat({0xB4}, 16) + Bytes({0x75, 0x08, 0x95, 0x01, 0x81, 0x02}))
        << 2 << 0 << 0 << false;

    QTest::newRow("longest report allowed") << InVendorCollection(Bytes({
        0x85, 0x01,              // Report ID (1)
        0x75, 0x08,              // Report Size (8)
        0x96, 0xFE, 0xFF,        // Report Count (65534)
        0xB1, 0x02,              // Feature: 65535 bytes with the ID
    })) << 0 << 0 << 65535 << true;

    QTest::newRow("odd bits round up") << InVendorCollection(Bytes({
        0x75, 0x01, 0x95, 0x09, 0x81, 0x02,  // Input: 9 bits
    })) << 3 << 0 << 0 << false;

    QTest::newRow("zero-count items declare nothing") << InVendorCollection(Bytes({
        0x75, 0x08, 0x94, 0x81, 0x02,  // Report Count with no data (0), Input
    })) << 0 << 0 << 0 << false;

    QTest::newRow("empty") << QByteArray() << 0 << 0 << 0 << false;
}

void TestReportDescriptor::WellFormed()
{
    QFETCH(QByteArray, descriptor);
    QFETCH(int, input);
    QFETCH(int, output);
    QFETCH(int, feature);
    QFETCH(bool, numbered);

    const auto lengths = ParseReportDescriptor(View(descriptor));
    QVERIFY(lengths.has_value());
    QCOMPARE(lengths->Input, input);
    QCOMPARE(lengths->Output, output);
    QCOMPARE(lengths->Feature, feature);
    QCOMPARE(lengths->NumberedReports, numbered);
}

void TestReportDescriptor::Malformed_data()
{
    QTest::addColumn<QByteArray>("descriptor");

    QTest::newRow("truncated two-byte item") << Bytes({0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x26, 0xFF});
    QTest::newRow("truncated four-byte item") << Bytes({0x05, 0x01, 0x97, 0x40, 0x00});
    QTest::newRow("long item") << InVendorCollection(Bytes({0xFE, 0x00, 0x00}));
    QTest::newRow("huge size times count") << InVendorCollection(Bytes({
        0x77, 0xFF, 0xFF, 0xFF, 0xFF,  // Report Size (0xFFFFFFFF)
        0x97, 0xFF, 0xFF, 0xFF, 0xFF,  // Report Count (0xFFFFFFFF)
        0x81, 0x02,
    }));
    QTest::newRow("one byte too long") << InVendorCollection(Bytes({
        0x85, 0x01, 0x75, 0x08, 0x96, 0xFF, 0xFF, 0xB1, 0x02,  // 65535 data bytes + ID
    }));
    QTest::newRow("too long in two parts") << InVendorCollection(Bytes({
        0x75, 0x08, 0x96, 0x00, 0x80, 0x81, 0x02,  // 32768 bytes
        0x81, 0x02,                                // and 32768 more
    }));
    QTest::newRow("pop without push") << InVendorCollection(Bytes({0xB4}));
    QTest::newRow("push 17 deep") << InVendorCollection(Repeat({0xA4}, 17) + Repeat({0xB4}, 17));
    QTest::newRow("push 100 deep") << InVendorCollection(Repeat({0xA4}, 100) + Repeat({0xB4}, 100));
    QTest::newRow("end collection without collection") << Bytes({0x75, 0x08, 0xC0});
    QTest::newRow("collection left open") << Bytes({0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x75, 0x08});
    QTest::newRow("collections 65 deep") << Repeat({0xA1, 0x02}, 65) + Repeat({0xC0}, 65);
    QTest::newRow("report ID 0") << InVendorCollection(Bytes({0x85, 0x00, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}));
    QTest::newRow("report ID above 255") << InVendorCollection(Bytes({0x86, 0x00, 0x01}));
    QTest::newRow("data before the first report ID") << InVendorCollection(Bytes({
        0x75, 0x08, 0x95, 0x01, 0x81, 0x02,  // Input with no report ID
        0x85, 0x01, 0x81, 0x02,              // then numbered reports
    }));
}

void TestReportDescriptor::Malformed()
{
    QFETCH(QByteArray, descriptor);
    QCOMPARE(ParseReportDescriptor(View(descriptor)).has_value(), false);
}

QTEST_APPLESS_MAIN(TestReportDescriptor)
#include "test_report_descriptor.moc"
