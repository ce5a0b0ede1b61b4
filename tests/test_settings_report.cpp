#include "board_model.h"
#include "board_session.h"
#include "simulated_hid.h"

#include <QtTest>

#include <span>

using namespace kx;

namespace {

QByteArray Bytes(std::span<const std::uint8_t> bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// Every field distinct, a negative offset, both percentages exact.
const WheelSettings Typical{1234, -300, 17, 18, 19, 50, 25, 21, 22, 23, 10000, 100};

QByteArray TypicalWriteImage(std::uint8_t command = 1, int length = 64)
{
    std::vector<std::uint8_t> image{
        0x08, command, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // report ID, command, 2 to 14 zero
        0x80, 0xD2, 0x04, 0xD4, 0xFE,  // 15 DampingScale 50 %, 16 Slimit 1234, 18 Homing -300
        0x11, 0x12, 0x13, 0x40,        // 20 Stiff, Damp, TDamp, 23 OverallScale 25 %
        0x15, 0x16, 0x17,              // 24 TInertia, TFriction, MotorFilter
        0x10, 0x27, 0x64,              // 27 InputFilter 10000, 29 Spring 100
    };
    image.resize(std::size_t(length));
    return Bytes(image);
}

// A connected board on a simulated platform, its feature reports at the given lengths.
struct Rig {
    explicit Rig(BoardFeatureLengths lengths = {}) : Device(Platform.AddBoard(0x5E11, 0x0307, lengths))
    {
        QVERIFY(Session.Search().Found);
    }
    std::optional<std::vector<std::uint8_t>> Read()
    {
        auto read = Session.ReadSettings();
        if (auto* held = std::get_if<SettingsRead>(&read))
            return held->Image;
        return std::nullopt;
    }

    SimulatedHidPlatform Platform;
    SimulatedDevice& Device;
    BoardSession Session{Platform};
};

}  // namespace

class TestSettingsReport : public QObject {
    Q_OBJECT

private slots:
    void DecodesReadImage()
    {
        const std::vector<std::uint8_t> shortest{
            0x08, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
            0x80, 0x34, 0x12, 0x00, 0x80,  // 14 DampingScale, 15 Slimit, 17 Homing
            0x01, 0x02, 0x03, 0xFF,        // 19 Stiff, Damp, TDamp, 22 OverallScale
            0x07, 0x08, 0x09,              // 23 TInertia, TFriction, MotorFilter
            0x10, 0x27, 0x7F,              // 26 InputFilter, 28 Spring
        };
        QVERIFY(DecodeSettingsReport(shortest) ==
                WheelSettings({4660, -32768, 1, 2, 3, 50, 100, 7, 8, 9, 10000, 127}));
        QVERIFY(!DecodeSettingsReport(std::span(shortest).first(28)));

        // Spring above 127 reads as 0.
        const std::vector<std::uint8_t> high{
            0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x5A, 0x5A,
        };
        QVERIFY(DecodeSettingsReport(high) == WheelSettings({65535, 32767, 255, 255, 255, 100, 0, 255, 255, 255, 0, 0}));
    }

    // A change of some settings leaves every other byte as the board gave it, even one
    // that would not survive a decode and encode: DampingScale 1 (0 %), TDamp 251 and
    // MotorFilter 0 (outside the window's ranges), OverallScale 192 (75 %, written as 191),
    // Spring 200 (read as 0).
    void PartialWrite_data()
    {
        QTest::addColumn<QStringList>("named");
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("expected");  // hex, one field a group
        QTest::newRow("stops only") << QStringList{"stops=4000"} << 1
                                    << QByteArray("0801 00000000000000000000000000"
                                                  "01 a00f 9cff c8 32 fb c0 0a 05 00 e803 c8 0000");
        QTest::newRow("named ones encoded, the board's not read back")
            << QStringList{"all_effects_scale=75", "centering_spring=100", "centre_offset=-1"} << 2
            << QByteArray("0802 00000000000000000000000000"
                          "01 8813 ffff c8 32 fb bf 0a 05 00 e803 64 0000");
        QTest::newRow("none: the board's bytes moved up one")
            << QStringList{} << 3
            << QByteArray("0803 00000000000000000000000000"
                          "01 8813 9cff c8 32 fb c0 0a 05 00 e803 c8 0000");
    }

    void PartialWrite()
    {
        QFETCH(QStringList, named);
        QFETCH(int, command);
        QFETCH(QByteArray, expected);
        const QByteArray read = QByteArray::fromHex("08 eeeeeeeeeeeeeeeeeeeeeeeeee"
                                                    "01 8813 9cff c8 32 fb c0 0a 05 00 e803 c8 5a5a5a");
        const auto readImage = std::span(reinterpret_cast<const std::uint8_t*>(read.constData()), 32);
        std::array<std::optional<std::int32_t>, SettingsCount> values{};
        for (const QString& setting : named) {
            const SettingsField* field = FindSettingByKey(setting.section('=', 0, 0).toStdString());
            values[std::size_t(field - SettingsFields.data())] = setting.section('=', 1).toInt();
        }
        const auto image = EncodeSettingsOver(readImage, values, std::uint8_t(command), 32);
        QVERIFY(image);
        QCOMPARE(Bytes(*image).toHex(), QByteArray::fromHex(expected).toHex());

        // Nothing to build on, no room for the settings, or a value the board cannot hold.
        QVERIFY(!EncodeSettingsOver(readImage.first(28), values, 1, 32));
        QVERIFY(!EncodeSettingsOver(readImage, values, 1, 29));
        values[0] = 65536;  // stops
        QVERIFY(!EncodeSettingsOver(readImage, values, 1, 32));
    }

    // Halves (25.5, 76.5, 127.5) go to the even neighbour.
    void Percent_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("percent");
        QTest::addColumn<bool>("encoded");  // the percent is written as that byte
        QTest::newRow("10 %: 25.5") << 26 << 10 << true;
        QTest::newRow("30 %: 76.5") << 76 << 30 << true;
        QTest::newRow("50 %: 127.5") << 128 << 50 << true;
        QTest::newRow("byte 127") << 127 << 50 << false;
        QTest::newRow("byte 1") << 1 << 0 << false;
    }

    void Percent()
    {
        QFETCH(int, byte);
        QFETCH(int, percent);
        QFETCH(bool, encoded);
        if (encoded)
            QCOMPARE(int(EncodePercent(percent)), byte);
        QCOMPARE(DecodePercent(static_cast<std::uint8_t>(byte)), percent);
    }

    void EncodableDomain_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("accepted");

        auto row = [](const char* key, int value, bool accepted) {
            QTest::addRow("%s %d", key, value) << QByteArray(key) << value << accepted;
        };
        row("stops", -1, false), row("stops", 65535, true), row("stops", 65536, false);
        row("input_filter", -1, false), row("input_filter", 65536, false);
        // 32768 and above would come back from the board as negative.
        row("centre_offset", -32769, false), row("centre_offset", -32768, true), row("centre_offset", 32767, true);
        row("centre_offset", 32768, false), row("centre_offset", 65535, false);
        for (const char* key : {"stops_stiffness", "stops_damping", "overall_damping", "overall_inertia",
                                "overall_friction", "motor_filter", "centering_spring"})
            row(key, -1, false), row(key, 255, true), row(key, 256, false);
        for (const char* key : {"damper_effect_scale", "all_effects_scale"})
            row(key, -1, false), row(key, 100, true), row(key, 101, false);
    }

    // Refused before anything is sent.
    void EncodableDomain()
    {
        QFETCH(QByteArray, key);
        QFETCH(int, value);
        QFETCH(bool, accepted);
        WheelSettings settings = Typical;
        settings.*FindSettingByKey(key.toStdString())->Value = value;
        Rig rig;
        QCOMPARE(rig.Session.Write(settings).SettingsTaken(), accepted);
        QCOMPARE(rig.Device.Board->Log.empty(), !accepted);
    }

    // A read, three images that differ only in the command byte, and the report-32 request,
    // each at its own declared length (else the longest feature's). Every step is sent
    // whatever the one before did; only command 1 decides the outcome.
    void SendsTheSequence_data()
    {
        QTest::addColumn<int>("settingsLength");  // report 8, ID byte included; 0: not declared
        QTest::addColumn<int>("resetLength");     // report 32
        QTest::addColumn<int>("failing");         // which request after the read fails, -1: none
        QTest::addColumn<QStringList>("requests");
        const QStringList sets37{"get 8 37", "set 1 37", "set 2 37", "set 3 37"};
        const QStringList sets64{"get 8 64", "set 1 64", "set 2 64", "set 3 64", "get 32 64"};
        QTest::newRow("32 shorter than 8") << 37 << 2 << -1 << sets37 + QStringList{"get 32 2"};
        QTest::newRow("no report 32") << 37 << 0 << -1 << sets37 + QStringList{"get 32 37"};
        QTest::newRow("8 longer than the 101-byte buffer")
            << 200 << 300 << -1 << QStringList{"get 8 200", "set 1 200", "set 2 200", "set 3 200", "get 32 300"};
        QTest::newRow("8 of 30") << 30 << 64 << -1
                                 << QStringList{"get 8 30", "set 1 30", "set 2 30", "set 3 30", "get 32 64"};
        QTest::newRow("8 of 29: read only") << 29 << 64 << -1 << QStringList{"get 8 29"};
        QTest::newRow("8 of 28: nothing") << 28 << 64 << -1 << QStringList{};
        // The request that fails is not logged.
        auto failed = [&](int i) { return QStringList(sets64.mid(0, i + 1)) + sets64.mid(i + 2); };
        QTest::newRow("settings refused") << 64 << 64 << 0 << failed(0);
        QTest::newRow("command 2 fails") << 64 << 64 << 1 << failed(1);
        QTest::newRow("command 3 fails") << 64 << 64 << 2 << failed(2);
        QTest::newRow("report 32 fails") << 64 << 64 << 3 << failed(3);
    }

    void SendsTheSequence()
    {
        QFETCH(int, settingsLength);
        QFETCH(int, resetLength);
        QFETCH(int, failing);
        QFETCH(QStringList, requests);
        Rig rig({std::size_t(settingsLength), std::size_t(resetLength)});
        const auto image = rig.Read();
        QCOMPARE(image ? int(image->size()) : 0, requests.isEmpty() ? 0 : settingsLength);
        int request = 0;
        rig.Device.BeforeOperation = [&](SimulatedOperation operation) {
            if ((operation == SimulatedOperation::GetFeature || operation == SimulatedOperation::SetFeature)
                && request++ == failing)
                rig.Device.FailFeatureRequests = 1;
        };
        // Whether the settings went: command 1 was taken.
        const bool sent = requests.contains(QStringLiteral("set 1 %1").arg(settingsLength));
        QCOMPARE(rig.Session.Write(Typical).SettingsTaken(), sent);

        QStringList made;
        for (const auto& r : rig.Device.Board->Log) {
            const bool set = r.Kind == BoardModel::FeatureRequest::Kind::Set;
            made << QStringLiteral("%1 %2 %3").arg(set ? "set" : "get").arg(r.Bytes.at(set ? 1 : 0)).arg(r.Length);
            if (set)
                QCOMPARE(Bytes(r.Bytes), TypicalWriteImage(r.Bytes[1], settingsLength));
        }
        QCOMPARE(made, requests);
        // A read answers the settings one byte lower than the write image, without the command.
        QCOMPARE(Bytes(rig.Device.Board->Settings).mid(14, 15) == TypicalWriteImage().mid(15, 15), sent);
    }

    // A failed request, another report's answer or one too short for the settings is a
    // failed read; an answer shorter than asked that holds them all is the read image.
    void Answers_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("reportID");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("short, holding the settings") << 29 << 8 << true;
        QTest::newRow("one byte short of the settings") << 28 << 8 << false;
        QTest::newRow("failure") << -1 << 8 << false;
        QTest::newRow("report 32's answer") << 64 << 32 << false;
    }

    void Answers()
    {
        QFETCH(int, count);
        QFETCH(int, reportID);
        QFETCH(bool, accepted);
        Rig rig;
        rig.Device.FeatureAnswer = [&](std::span<std::uint8_t> buffer) {
            buffer[0] = static_cast<std::uint8_t>(reportID);
            return count;
        };
        const auto image = rig.Read();
        QCOMPARE(image ? int(image->size()) : -1, accepted ? count : -1);
    }
};

QTEST_APPLESS_MAIN(TestSettingsReport)
#include "test_settings_report.moc"
