#include "board_model.h"
#include "report_descriptor.h"

#include <QByteArray>
#include <QtTest>

#include <initializer_list>

using namespace kx;

namespace {

QByteArray Bytes(std::initializer_list<std::uint8_t> bytes, int times = 1)
{
    QByteArray once;
    for (std::uint8_t b : bytes)
        once.append(static_cast<char>(b));
    return once.repeated(times);
}

// A vendor collection around the given body.
QByteArray InVendorCollection(const QByteArray& body)
{
    return Bytes({0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01}) + body + Bytes({0xC0});
}

std::optional<ReportLengths> Parse(const QByteArray& descriptor)
{
    return ParseReportDescriptor(
        {reinterpret_cast<const std::uint8_t*>(descriptor.constData()), std::size_t(descriptor.size())});
}

}  // namespace

class TestReportDescriptor : public QObject {
    Q_OBJECT

private slots:
    // Expected: the longest input, output and feature reports, reports 8 and 32 (each at its
    // own length), and the ID of the longest input report, the first declared of several as long.
    void WellFormed_data()
    {
        QTest::addColumn<QByteArray>("descriptor");
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<bool>("numbered");

        const auto board = BoardModel::StandardReportDescriptor();
        QTest::newRow("board") << QByteArray(reinterpret_cast<const char*>(board.data()), qsizetype(board.size()))
                               << QList<int>{4, 0, 64, 64, 64, 1} << true;
        QTest::newRow("vendor 64-byte in/out, no report IDs") << InVendorCollection(Bytes({
            0x15, 0x00, 0x26, 0xFF, 0x00,        // Logical Minimum (0), Logical Maximum (255)
            0x75, 0x08, 0x97, 0x40, 0, 0, 0,     // Report Size (8), Report Count (64) as a four-byte item
            0x0B, 0x01, 0, 0xFF, 0,              // Usage (0xFF000001), four-byte local item
            0x81, 0x02, 0x09, 0x01, 0x91, 0x02,  // Input, Usage (1), Output
        })) << QList<int>{65, 65, 0, 0, 0, 0} << false;
        QTest::newRow("numbered") << InVendorCollection(Bytes({
            0x75, 0x08,                          // Report Size (8)
            0x85, 0x03, 0x95, 0x02, 0x81, 0x02,  // input 3: 2 bytes
            0x85, 0x05, 0x95, 0x03, 0x81, 0x02,  // input 5: 3 bytes
            0x85, 0x08, 0x95, 0x24, 0xB1, 0x02,  // feature 8: 36 bytes
            0x85, 0x07, 0x95, 0x03, 0x81, 0x02,  // input 7: 3 bytes, as long as 5 but later
            0x85, 0x20, 0x95, 0x3F, 0xB1, 0x02,  // feature 32: 63 bytes
            0x85, 0x08, 0x95, 0x01, 0xB1, 0x02,  // feature 8 again: 1 byte more
            0x85, 0x09, 0x95, 0x00, 0x81, 0x02,  // input 9 with no data: not declared
        })) << QList<int>{4, 0, 64, 38, 64, 5} << true;
        QTest::newRow("report 32 shorter") << InVendorCollection(Bytes({
            0x75, 0x08, 0x85, 0x20, 0x95, 0x01, 0xB1, 0x02,  // feature 32: 1 byte
            0x85, 0x08, 0x95, 0x24, 0xB1, 0x02,              // feature 8: 36 bytes
        })) << QList<int>{0, 0, 37, 37, 2, 0} << true;
        QTest::newRow("push and pop restore report ID, size and count") << InVendorCollection(Bytes({
            0x85, 0x01, 0x75, 0x08, 0x95, 0x02,        // Report ID (1), 8 bits, count 2
            0xA4, 0x85, 0x02, 0x75, 0x10, 0x95, 0x04,  // Push, Report ID (2), 16 bits, count 4
            0xB1, 0x02, 0xB4,                          //   Feature: ID 2, 64 bits, Pop
            0x81, 0x02, 0xB1, 0x02,                    // Input and Feature: ID 1, 16 bits each
        })) << QList<int>{3, 0, 9, 0, 0, 1} << true;
        QTest::newRow("push 16 deep") << InVendorCollection(Bytes({0xA4}, 16) + Bytes({0xB4}, 16)
                                                            + Bytes({0x75, 0x08, 0x95, 0x01, 0x81, 0x02}))
                                      << QList<int>{2, 0, 0, 0, 0, 0} << false;
        QTest::newRow("longest report allowed")  // Feature: 65534 bytes, 65535 with the ID
            << InVendorCollection(Bytes({0x85, 0x01, 0x75, 0x08, 0x96, 0xFE, 0xFF, 0xB1, 0x02}))
            << QList<int>{0, 0, 65535, 0, 0, 0} << true;
        QTest::newRow("odd bits round up") << InVendorCollection(Bytes({0x75, 0x01, 0x95, 0x09, 0x81, 0x02}))
                                           << QList<int>{3, 0, 0, 0, 0, 0} << false;
        QTest::newRow("zero-count items declare nothing")  // Report Count with no data (0)
            << InVendorCollection(Bytes({0x75, 0x08, 0x94, 0x81, 0x02})) << QList<int>{0, 0, 0, 0, 0, 0} << false;
        QTest::newRow("collections 64 deep") << Bytes({0xA1, 0x02}, 64) + Bytes({0xC0}, 64)
                                             << QList<int>{0, 0, 0, 0, 0, 0} << false;
        QTest::newRow("report ID 255") << InVendorCollection(Bytes({0x85, 0xFF, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}))
                                       << QList<int>{2, 0, 0, 0, 0, 255} << true;
        QTest::newRow("empty") << QByteArray() << QList<int>{0, 0, 0, 0, 0, 0} << false;
    }

    void WellFormed()
    {
        QFETCH(QByteArray, descriptor);
        QFETCH(QList<int>, lengths);
        QFETCH(bool, numbered);
        const auto parsed = Parse(descriptor);
        QVERIFY(parsed.has_value());
        QCOMPARE((QList<int>{parsed->Input, parsed->Output, parsed->Feature, parsed->FeatureByID[8],
                             parsed->FeatureByID[32], parsed->LongestInputID}),
                 lengths);
        QCOMPARE(parsed->NumberedReports, numbered);
    }

    void Malformed_data()
    {
        QTest::addColumn<QByteArray>("descriptor");

        QTest::newRow("truncated two-byte item") << Bytes({0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x26, 0xFF});
        QTest::newRow("truncated four-byte item") << Bytes({0x05, 0x01, 0x97, 0x40, 0x00});
        QTest::newRow("long item") << InVendorCollection(Bytes({0xFE, 0x00, 0x00}));
        QTest::newRow("huge size times count")  // Report Size and Count 0xFFFFFFFF
            << InVendorCollection(Bytes({0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02}));
        QTest::newRow("one byte too long")  // 65535 data bytes and the ID
            << InVendorCollection(Bytes({0x85, 0x01, 0x75, 0x08, 0x96, 0xFF, 0xFF, 0xB1, 0x02}));
        QTest::newRow("too long in two parts")  // 32768 bytes twice
            << InVendorCollection(Bytes({0x75, 0x08, 0x96, 0x00, 0x80, 0x81, 0x02, 0x81, 0x02}));
        QTest::newRow("pop without push") << InVendorCollection(Bytes({0xB4}));
        QTest::newRow("push 17 deep") << InVendorCollection(Bytes({0xA4}, 17) + Bytes({0xB4}, 17));
        QTest::newRow("end collection without collection") << Bytes({0x75, 0x08, 0xC0});
        QTest::newRow("collection left open") << Bytes({0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x75, 0x08});
        QTest::newRow("collections 65 deep") << Bytes({0xA1, 0x02}, 65) + Bytes({0xC0}, 65);
        QTest::newRow("report ID 0") << InVendorCollection(Bytes({0x85, 0x00}));
        QTest::newRow("report ID above 255") << InVendorCollection(Bytes({0x86, 0x00, 0x01}));
        QTest::newRow("data before the first report ID")
            << InVendorCollection(Bytes({0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0x85, 0x01, 0x81, 0x02}));
    }

    void Malformed()
    {
        QFETCH(QByteArray, descriptor);
        QVERIFY(!Parse(descriptor));
    }
};

QTEST_APPLESS_MAIN(TestReportDescriptor)
#include "test_report_descriptor.moc"
