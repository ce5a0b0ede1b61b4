#include "board_model.h"
#include "report_descriptor.h"

#include <QtTest>

using namespace kx;

namespace {

// Bytes written as hex digits, spaces skipped; the second in a vendor collection.
QByteArray Bytes(const QByteArray& hex, int times = 1) { return QByteArray::fromHex(hex).repeated(times); }
QByteArray InVendorCollection(const QByteArray& hex) { return Bytes("06 00 FF 09 01 A1 01 " + hex + " C0"); }

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
        QTest::newRow("vendor 64-byte in/out, no report IDs") << InVendorCollection(
            "15 00 26 FF 00"        // Logical Minimum (0), Logical Maximum (255)
            "75 08 97 40 00 00 00"  // Report Size (8), Report Count (64) as a four-byte item
            "0B 01 00 FF 00"        // Usage (0xFF000001), four-byte local item
            "81 02 09 01 91 02"     // Input, Usage (1), Output
            ) << QList<int>{65, 65, 0, 0, 0, 0} << false;
        QTest::newRow("numbered") << InVendorCollection(
            "75 08"              // Report Size (8)
            "85 03 95 02 81 02"  // input 3: 2 bytes
            "85 05 95 03 81 02"  // input 5: 3 bytes
            "85 08 95 24 B1 02"  // feature 8: 36 bytes
            "85 07 95 03 81 02"  // input 7: 3 bytes, as long as 5 but later
            "85 20 95 3F B1 02"  // feature 32: 63 bytes
            "85 08 95 01 B1 02"  // feature 8 again: 1 byte more
            "85 09 95 00 81 02"  // input 9 with no data: not declared
            ) << QList<int>{4, 0, 64, 38, 64, 5} << true;
        QTest::newRow("push and pop restore report ID, size and count") << InVendorCollection(
            "85 01 75 08 95 02"     // Report ID (1), 8 bits, count 2
            "A4 85 02 75 10 95 04"  // Push, Report ID (2), 16 bits, count 4
            "B1 02 B4"              //   Feature: ID 2, 64 bits, Pop
            "81 02 B1 02"           // Input and Feature: ID 1, 16 bits each
            ) << QList<int>{3, 0, 9, 0, 0, 1} << true;
        QTest::newRow("push 16 deep")
            << InVendorCollection(QByteArray("A4").repeated(16) + QByteArray("B4").repeated(16) + "75 08 95 01 81 02")
            << QList<int>{2, 0, 0, 0, 0, 0} << false;
        QTest::newRow("longest report allowed")  // Feature: 65534 bytes, 65535 with the ID
            << InVendorCollection("85 01 75 08 96 FE FF B1 02") << QList<int>{0, 0, 65535, 0, 0, 0} << true;
        QTest::newRow("odd bits round up")
            << InVendorCollection("75 01 95 09 81 02") << QList<int>{3, 0, 0, 0, 0, 0} << false;
        QTest::newRow("zero-count items declare nothing")  // Report Count with no data (0)
            << InVendorCollection("75 08 94 81 02") << QList<int>{0, 0, 0, 0, 0, 0} << false;
        QTest::newRow("collections 64 deep")
            << Bytes("A1 02", 64) + Bytes("C0", 64) << QList<int>{0, 0, 0, 0, 0, 0} << false;
        QTest::newRow("report ID 255")
            << InVendorCollection("85 FF 75 08 95 01 81 02") << QList<int>{2, 0, 0, 0, 0, 255} << true;
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

        QTest::newRow("truncated two-byte item") << Bytes("05 01 09 04 A1 01 26 FF");
        QTest::newRow("truncated four-byte item") << Bytes("05 01 97 40 00");
        QTest::newRow("long item") << InVendorCollection("FE 00 00");
        QTest::newRow("size and count 0xFFFFFFFF") << InVendorCollection("77 FF FF FF FF 97 FF FF FF FF 81 02");
        QTest::newRow("one byte too long: 65535 and the ID") << InVendorCollection("85 01 75 08 96 FF FF B1 02");
        QTest::newRow("too long: 32768 bytes twice") << InVendorCollection("75 08 96 00 80 81 02 81 02");
        QTest::newRow("pop without push") << InVendorCollection("B4");
        QTest::newRow("push 17 deep")
            << InVendorCollection(QByteArray("A4").repeated(17) + QByteArray("B4").repeated(17));
        QTest::newRow("end collection without collection") << Bytes("75 08 C0");
        QTest::newRow("collection left open") << Bytes("05 01 09 04 A1 01 75 08");
        QTest::newRow("collections 65 deep") << Bytes("A1 02", 65) + Bytes("C0", 65);
        QTest::newRow("report ID 0") << InVendorCollection("85 00");
        QTest::newRow("report ID above 255") << InVendorCollection("86 00 01");
        QTest::newRow("data before the first report ID") << InVendorCollection("75 08 95 01 81 02 85 01 81 02");
    }

    void Malformed()
    {
        QFETCH(QByteArray, descriptor);
        QVERIFY(!Parse(descriptor));
    }
};

QTEST_APPLESS_MAIN(TestReportDescriptor)
#include "test_report_descriptor.moc"
