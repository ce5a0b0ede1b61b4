// A settings file from a board that counts another number of steps a turn: stops and
// centre offset scaled to keep their angle, figures worked out by hand.
#include "input_report.h"
#include "settings_conversion.h"

#include <QtTest>

using namespace kx;

class TestSettingsConversion : public QObject {
    Q_OBJECT

private slots:
    void Converts_data()
    {
        QTest::addColumn<int>("fileType");   // -1: the file names none
        QTest::addColumn<int>("boardType");  // -1: not read
        QTest::addColumn<QPoint>("file");    // stops, centre_offset
        QTest::addColumn<QPoint>("converted");
        QTest::addColumn<QString>("reason");  // empty: converted
        // 5000 × 10000 / 8192 = 6103.52; -100 × 10000 / 8192 = -122.07.
        QTest::newRow("8192 to 10000") << 1 << 2 << QPoint(5000, -100) << QPoint(6104, -122) << "";
        // 6104 × 8192 / 10000 = 5000.40.
        QTest::newRow("10000 to 8192") << 3 << 1 << QPoint(6104, 0) << QPoint(5000, 0) << "";
        // 256 × 10000 / 8192 = 312.5 exactly.
        QTest::newRow("halves away from zero") << 1 << 2 << QPoint(256, -256) << QPoint(313, -313) << "";
        // 53686 × 10000 / 8192 = 65534.67; -26843 × 10000 / 8192 = -32767.33.
        QTest::newRow("just inside the ranges") << 1 << 2 << QPoint(53686, -26843) << QPoint(65535, -32767) << "";
        // 53687 × 10000 / 8192 = 65535.89; -26844 × 10000 / 8192 = -32768.55.
        QTest::newRow("stops past 65535") << 1 << 2 << QPoint(53687, 0) << QPoint()
                                          << "stops = 53687 at 8192 counts a turn would be 65536 at this board's 10000, "
                                             "outside its range, 0 to 65535";
        QTest::newRow("centre offset below -32768")
            << 1 << 3 << QPoint(100, -26844) << QPoint()
            << "centre_offset = -26844 at 8192 counts a turn would be -32769 at this board's 10000, "
               "outside its range, -32768 to 32767";
        QTest::newRow("file without a board type") << -1 << 2 << QPoint(5000, 0) << QPoint() << "does not say which";
        QTest::newRow("file of an unknown type") << 4 << 2 << QPoint(5000, 0) << QPoint() << "saved from board type 4";
        QTest::newRow("board type not read") << 1 << -1 << QPoint(5000, 0) << QPoint() << "type could not be read";
    }

    void Converts()
    {
        QFETCH(int, fileType);
        QFETCH(int, boardType);
        QFETCH(QPoint, file);
        QFETCH(QPoint, converted);
        QFETCH(QString, reason);
        auto type = [](int t) { return t < 0 ? std::nullopt : std::optional<int>(t); };
        SettingsFile given;
        given.BoardType = type(fileType);
        given.Values[0] = file.x();   // stops
        given.Values[1] = file.y();   // centre_offset
        given.Values[9] = 4;          // motor_filter: the same on every board
        const auto result = ConvertSettingsFile(given, type(boardType));
        if (const auto* refused = std::get_if<SettingsFileError>(&result)) {
            QVERIFY2(!reason.isEmpty() && QString::fromStdString(refused->Reason).contains(reason), refused->Reason.c_str());
            return;
        }
        QVERIFY(reason.isEmpty());
        const SettingsFile& got = std::get<SettingsFile>(result);
        QCOMPARE(QPoint(*got.Values[0], *got.Values[1]), converted);
        QCOMPARE(got.Values[9], std::optional<std::int32_t>(4));
        QVERIFY(!got.Values[2]);
        QCOMPARE(got.BoardType, type(boardType));
    }

    // Rotation lock to lock in tenths of a degree and stops in counts, each way, rounded
    // as a file's counts are converted.
    void RotationAndStops_data()
    {
        QTest::addColumn<int>("type");            // -1: not read
        QTest::addColumn<QPoint>("stopsGive");    // stops, and the tenths they give
        QTest::addColumn<QPoint>("tenthsNeed");   // tenths, and the stops that give them
        QTest::newRow("900 on type 1") << 1 << QPoint(10240, 9000) << QPoint(9000, 10240);
        QTest::newRow("900 on type 2") << 2 << QPoint(12500, 9000) << QPoint(9000, 12500);
        QTest::newRow("nothing") << 1 << QPoint(0, 0) << QPoint(0, 0);
        // 1 × 7200 / 8192 = 0.88; 1 × 8192 / 7200 = 1.14.
        QTest::newRow("a count, type 1") << 1 << QPoint(1, 1) << QPoint(1, 1);
        // 1 × 7200 / 10000 = 0.72; 1 × 10000 / 7200 = 1.39.
        QTest::newRow("a count, type 3") << 3 << QPoint(1, 1) << QPoint(1, 1);
        QTest::newRow("4096 on type 1") << 1 << QPoint(4096, 3600) << QPoint(3600, 4096);
        // 4096 × 0.72 = 2949.12; 2949 / 0.72 = 4095.83.
        QTest::newRow("4096 on type 2") << 2 << QPoint(4096, 2949) << QPoint(2949, 4096);
        QTest::newRow("4096 on type 3") << 3 << QPoint(4096, 2949) << QPoint(2949, 4096);
        // 65535 × 7200 / 8192 = 57599.12; 57599 × 8192 / 7200 = 65534.86.
        QTest::newRow("65535 on type 1") << 1 << QPoint(65535, 57599) << QPoint(57599, 65535);
        // 65535 × 0.72 = 47185.2; 47185 / 0.72 = 65534.72.
        QTest::newRow("65535 on type 2") << 2 << QPoint(65535, 47185) << QPoint(47185, 65535);
        // 1000 degrees: 10000 × 8192 / 7200 = 11377.78; 11378 × 7200 / 8192 = 10000.20.
        QTest::newRow("1000 on type 1, not even") << 1 << QPoint(11378, 10000) << QPoint(10000, 11378);
        // Halves away from zero: 128 × 7200 / 8192 = 112.5 exactly; 9 × 10000 / 7200 = 12.5.
        QTest::newRow("a half tenth") << 1 << QPoint(128, 113) << QPoint(113, 129);
        QTest::newRow("a half count") << 2 << QPoint(13, 9) << QPoint(9, 13);
    }

    void RotationAndStops()
    {
        QFETCH(int, type);
        QFETCH(QPoint, stopsGive);
        QFETCH(QPoint, tenthsNeed);
        const std::optional<int> perTurn = CountsPerTurn(type);
        QCOMPARE(RotationTenths(stopsGive.x(), perTurn), std::optional<std::int64_t>(stopsGive.y()));
        QCOMPARE(StopsForRotation(tenthsNeed.x(), perTurn), std::optional<std::int64_t>(tenthsNeed.y()));
    }

    void NoRotationWithoutTheBoardsType()
    {
        QVERIFY(!RotationTenths(10240, CountsPerTurn(std::nullopt)));
        QVERIFY(!StopsForRotation(9000, CountsPerTurn(4)));
        // Shown whole where it is, never in exponent form.
        QCOMPARE(TenthsText(8999, ','), std::string("899,9"));
        QCOMPARE(TenthsText(10'000'000), std::string("1000000"));
    }
};

QTEST_APPLESS_MAIN(TestSettingsConversion)
#include "test_settings_conversion.moc"
