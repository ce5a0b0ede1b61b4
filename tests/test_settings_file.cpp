// Settings files: what is refused (with its line and reason), what is taken, and a
// saved file read back.
#include "settings_file.h"

#include <QtTest>

using namespace kx;

namespace {

const WheelSettings Typical{1234, -300, 17, 18, 19, 50, 25, 21, 22, 23, 10000, 100};

SettingsFile Parsed(const QByteArray& text, OutOfRange outOfRange = OutOfRange::Refuse)
{
    auto result = ParseSettingsFile(std::string_view(text.constData(), text.size()), outOfRange);
    if (auto* error = std::get_if<SettingsFileError>(&result))
        qWarning("refused: line %d: %s", error->Line, error->Reason.c_str());
    return std::get<SettingsFile>(result);
}

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void RefusesWithLineAndReason_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        const QByteArray m = "kx5170-settings = 1\n";
        QTest::newRow("empty") << QByteArray() << 1 << "the first line must be";
        QTest::newRow("comments only") << QByteArray("# x\n\n# y\n") << 3 << "the first line must be";
        QTest::newRow("no marker") << QByteArray("# saved\nstops = 10\n") << 2 << "the first line must be";
        QTest::newRow("version 2") << QByteArray("kx5170-settings = 2\n") << 1 << "version \"2\" is not one";
        QTest::newRow("marker twice") << m + "kx5170-settings = 1\n" << 2 << "given twice";
        QTest::newRow("typo") << m + "stop = 10\n" << 2 << "unknown setting \"stop\"";
        QTest::newRow("caption, not key") << m + "Stops = 10\n" << 2 << "unknown setting";
        QTest::newRow("no equals") << m + "\nstops 10\n" << 3 << "expected \"key = value\"";
        QTest::newRow("no key") << m + "= 10\n" << 2 << "expected \"key = value\"";
        QTest::newRow("twice") << m + "stops = 1\r\nstops = 2\r\n" << 3 << "given twice (first on line 2)";
        QTest::newRow("fraction") << m + "stops = 12.5\n" << 2 << "must be a whole number, not \"12.5\"";
        QTest::newRow("empty value") << m + "stops =\n" << 2 << "must be a whole number";
        QTest::newRow("hex") << m + "stops = 0x10\n" << 2 << "must be a whole number";
        QTest::newRow("two numbers") << m + "stops = 1 2\n" << 2 << "must be a whole number";
        // Both sides of every kind of bound: refused settings, and clamped ones unless asked.
        QTest::newRow("stops below") << m + "stops = -1\n" << 2 << "outside its range, 0 to 65535";
        QTest::newRow("stops above") << m + "stops = 65536\n" << 2 << "outside its range";
        QTest::newRow("centre below") << m + "centre_offset = -32769\n" << 2 << "-32768 to 32767";
        QTest::newRow("centre above") << m + "centre_offset = 32768\n" << 2 << "outside its range";
        QTest::newRow("damping above") << m + "overall_damping = 251\n" << 2 << "0 to 250";
        QTest::newRow("scale below") << m + "all_effects_scale = 0\n" << 2 << "1 to 100";
        QTest::newRow("beyond 64 bits") << m + "stops = 99999999999999999999999\n" << 2 << "outside its range";
        QTest::newRow("board type") << m + "board_type = 256\n" << 2 << "board_type";
        QTest::newRow("NUL") << m + "stops = 1\n" + QByteArray(1, '\0') << 3 << "not UTF-8 text";
        QTest::newRow("Latin-1") << m + "# caf\xE9\n" << 2 << "not UTF-8 text";
        QTest::newRow("overlong") << QByteArray("\xC0\xAF") << 1 << "not UTF-8 text";
        QTest::newRow("too large") << m + QByteArray(64 * 1024, '#') << 0 << "larger than 64 KiB";
    }

    void RefusesWithLineAndReason()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(QString, reason);
        const auto result = ParseSettingsFile(std::string_view(text.constData(), text.size()));
        const auto* error = std::get_if<SettingsFileError>(&result);
        QVERIFY(error);
        QCOMPARE(error->Line, line);
        QVERIFY2(QString::fromStdString(error->Reason).contains(reason), error->Reason.c_str());
    }

    void ReadsWhatAPersonWrites()
    {
        // A byte-order mark, CRLF, blanks and comments everywhere, a sign, the bounds.
        const SettingsFile file = Parsed("\xEF\xBB\xBF# rally\r\n\r\n  kx5170-settings=1  # v1\r\n"
                                         "board_type = 3\r\n\tstops = 65535 # wide\r\ncentre_offset = -32768\r\n"
                                         "input_filter = +1\r\n");
        QCOMPARE(file.BoardType, std::optional<int>(3));
        QCOMPARE(ApplySettingsFile(Typical, file),
                 (WheelSettings{65535, -32768, 17, 18, 19, 50, 25, 21, 22, 23, 1, 100}));
    }

    void ClampsOnlyWhenAskedAndOnlyBoundedSettings()
    {
        const QByteArray text = "kx5170-settings = 1\noverall_damping = 300\ndamper_effect_scale = 0\n";
        QVERIFY(std::holds_alternative<SettingsFileError>(ParseSettingsFile(text.toStdString())));
        const SettingsFile file = Parsed(text, OutOfRange::Clamp);
        QCOMPARE(ApplySettingsFile(Typical, file).TDamp, 250);
        QCOMPARE(ApplySettingsFile(Typical, file).DampingScale, 1);
        const QByteArray stops = "kx5170-settings = 1\nstops = 70000\n";
        QVERIFY(std::holds_alternative<SettingsFileError>(ParseSettingsFile(stops.toStdString(), OutOfRange::Clamp)));
    }

    void PartialFileChangesOnlyItsSettings()
    {
        WheelSettings expected = Typical;
        expected.Spring = 7;
        QCOMPARE(ApplySettingsFile(Typical, Parsed("kx5170-settings = 1\ncentering_spring = 7\n")), expected);
    }

    void SavedFileIsReadBackWhole()
    {
        // Every value distinct, so that a key written against the wrong setting shows.
        const std::string text = FormatSettingsFile(Typical, {"KX5170 Wheel", "SN-1", "3.7", "2026-12-07", 3});
        const SettingsFile file = Parsed(QByteArray::fromStdString(text));
        QCOMPARE(ApplySettingsFile(WheelSettings{}, file), Typical);
        QCOMPARE(file.BoardType, std::optional<int>(3));
        QVERIFY(text.find("stops = 1234") != std::string::npos);
        QVERIFY(text.find("# counts, 0 to 65535\n") != std::string::npos);
        QVERIFY(text.find("# percent, 1 to 100\n") != std::string::npos);
    }

    void BoardStringsCannotAddSettings()
    {
        // A line break would end its comment; a byte that is not UTF-8 would make the
        // whole file unreadable.
        const std::string text =
            FormatSettingsFile(Typical, {"Wheel\nstops = 1", "\r\ncentering_spring = 0", "\xFF\xC3", "", {}});
        QCOMPARE(ApplySettingsFile(WheelSettings{}, Parsed(QByteArray::fromStdString(text))), Typical);
    }

    void CountsDifferBetweenBoardTypes()
    {
        SettingsFile file;
        QVERIFY(!SettingsFileCountsDiffer(file, 1));  // no type named: nothing to ask
        file.BoardType = 2;
        QVERIFY(!SettingsFileCountsDiffer(file, 3));  // 10000 counts a turn on both
        QVERIFY(SettingsFileCountsDiffer(file, 1));   // 10000 against 8192
        QVERIFY(SettingsFileCountsDiffer(file, std::nullopt));
    }

    void ErrorNamesFileAndLine()
    {
        QCOMPARE(DescribeSettingsFileError("rally.kx5170", {7, "unknown setting \"stop\""}),
                 std::string("rally.kx5170:7: unknown setting \"stop\""));
        QCOMPARE(DescribeSettingsFileError("big.kx5170", {0, "larger than 64 KiB"}),
                 std::string("big.kx5170: larger than 64 KiB"));
    }
};

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "test_settings_file.moc"
