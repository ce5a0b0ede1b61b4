#include "board_model.h"
#include "device_link.h"
#include "settings_transfer.h"
#include "simulated_hid.h"

#include <QtTest>

#include <algorithm>
#include <cstring>
#include <span>

using namespace kx;

namespace kx {

// Readable failures: QCOMPARE prints both sides.
char* toString(const WheelSettings& s)
{
    QString text;
    for (const SettingsField& field : SettingsFields)
        text += QStringLiteral("%1 %2 ").arg(QLatin1String(field.Name)).arg(s.*field.Value);
    return QTest::toString(text);
}

}  // namespace kx

Q_DECLARE_METATYPE(kx::WheelSettings)

namespace {

QByteArray Bytes(std::span<const std::uint8_t> bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

QByteArray Bytes(std::initializer_list<std::uint8_t> bytes) { return Bytes(std::span(bytes.begin(), bytes.size())); }

std::int32_t WheelSettings::*Field(const char* name)
{
    const auto* field = std::find_if(SettingsFields.begin(), SettingsFields.end(),
                                     [&](const SettingsField& f) { return std::strcmp(f.Name, name) == 0; });
    Q_ASSERT(field != SettingsFields.end());
    return field->Value;
}

// Every field distinct, a negative offset, both percentages exact.
const WheelSettings Typical{1234, -300, 17, 18, 19, 50, 25, 21, 22, 23, 10000, 100};

// Typical as a 64-byte write image with the given command.
QByteArray TypicalWriteImage(std::uint8_t command = 1)
{
    return Bytes({
        0x08, command, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // report ID, command, 2 to 14 zero
        0x80, 0xD2, 0x04, 0xD4, 0xFE,  // 15 DampingScale 50 %, 16 Slimit 1234, 18 Homing -300
        0x11, 0x12, 0x13, 0x40,        // 20 Stiff, Damp, TDamp, 23 OverallScale 25 %
        0x15, 0x16, 0x17,              // 24 TInertia, TFriction, MotorFilter
        0x10, 0x27, 0x64,              // 27 InputFilter 10000, 29 Spring 100
    }) + QByteArray(34, '\0');
}

// A connected board on a simulated platform.
struct Rig {
    explicit Rig(int featureLength = 64)
    {
        QVERIFY(FindTheHid(Link, Platform) == FlagTrue);
        Link.Capabilities.FeatureReportByteLength = static_cast<std::uint16_t>(featureLength);
    }
    std::vector<BoardModel::FeatureRequest>& Log() { return Device.Board->Log; }

    // The requests as a list: a set as its command byte, a get as minus its report ID.
    QList<int> Requests()
    {
        QList<int> out;
        for (const auto& r : Log())
            out << (r.Kind == BoardModel::FeatureRequest::Kind::Set ? int(r.Bytes.at(1)) : -int(r.Bytes.at(0)));
        return out;
    }

    SimulatedHidPlatform Platform;
    SimulatedDevice& Device = Platform.AddBoard();
    DeviceLink Link;
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
        QCOMPARE(DecodeSettingsReport(shortest),
                 std::optional(WheelSettings{4660, -32768, 1, 2, 3, 50, 100, 7, 8, 9, 10000, 127}));
        QVERIFY(!DecodeSettingsReport(std::span(shortest).first(28)));

        const std::vector<std::uint8_t> high{
            0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x5A, 0x5A,
        };
        QCOMPARE(DecodeSettingsReport(high),
                 std::optional(WheelSettings{65535, 32767, 255, 255, 255, 100, 0, 255, 255, 255, 0, 0}));
    }

    // Both directions at a hand-written offset: the write image has it one byte higher.
    void SixteenBitFields()
    {
        const struct { const char* Field; int ReadOffset; int Value; std::uint8_t Low, High; } cases[] = {
            {"Homing", 17, -1, 0xFF, 0xFF},          {"Homing", 17, -100, 0x9C, 0xFF},
            {"Homing", 17, -32768, 0x00, 0x80},      {"Slimit", 15, 65535, 0xFF, 0xFF},
            {"InputFilter", 26, 10000, 0x10, 0x27},
        };
        for (const auto& c : cases) {
            WheelSettings settings;
            settings.*Field(c.Field) = c.Value;
            const auto written = EncodeSettingsReport(settings, 1, 64);
            QVERIFY(written);
            QCOMPARE(Bytes(*written).mid(c.ReadOffset + 1, 2), Bytes({c.Low, c.High}));
            std::vector<std::uint8_t> read = *written;  // the read image: without the command byte
            read.erase(read.begin() + 1);
            QCOMPARE((*DecodeSettingsReport(read)).*Field(c.Field), c.Value);
        }
    }

    void Percent()
    {
        // 25.5, 76.5 and 127.5 go to the even neighbour.
        for (auto [percent, byte] : {std::pair{1, 3}, {10, 26}, {25, 64}, {30, 76}, {50, 128}, {99, 252}, {100, 255}})
            QCOMPARE(int(EncodePercent(percent)), byte);
        for (auto [byte, percent] : {std::pair{0, 0}, {1, 0}, {127, 50}, {128, 50}, {255, 100}})
            QCOMPARE(DecodePercent(static_cast<std::uint8_t>(byte)), percent);
        for (int percent = 0; percent <= 100; ++percent)
            QCOMPARE(DecodePercent(EncodePercent(percent)), percent);
    }

    // Whatever the board holds, it decodes to something the window can send back.
    void EveryByteDecodes()
    {
        for (int b = 0; b <= 255; ++b) {
            std::vector<std::uint8_t> image(64, std::uint8_t(b));
            image[0] = 8;
            auto decoded = DecodeSettingsReport(image);
            QVERIFY(decoded);
            for (const char* name : {"Stiff", "Damp", "TDamp", "TInertia", "TFriction", "MotorFilter"})
                QCOMPARE((*decoded).*Field(name), b);
            QCOMPARE(decoded->Spring, b <= 127 ? b : 0);
            QVERIFY(decoded->DampingScale >= 0 && decoded->DampingScale <= 100);
            QCOMPARE(decoded->OverallScale, decoded->DampingScale);
            QVERIFY(EncodeSettingsReport(*decoded, 1, 64));
        }
    }

    void EncodableDomain_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("accepted");

        auto row = [](const char* field, int value, bool accepted) {
            QTest::addRow("%s %d", field, value) << QByteArray(field) << value << accepted;
        };
        for (int value : {-1, 65536})
            row("Slimit", value, false), row("InputFilter", value, false);
        row("Slimit", 65535, true);
        // 32768 and above would come back from the board as negative.
        for (int value : {-32769, 32768, 40000, 65535})
            row("Homing", value, false);
        row("Homing", -32768, true), row("Homing", 32767, true);
        for (const char* field : {"Stiff", "Damp", "TDamp", "TInertia", "TFriction", "MotorFilter", "Spring"})
            row(field, -1, false), row(field, 255, true), row(field, 256, false);
        for (const char* field : {"DampingScale", "OverallScale"})
            row(field, -1, false), row(field, 100, true), row(field, 101, false);
    }

    void EncodableDomain()
    {
        QFETCH(QByteArray, field);
        QFETCH(int, value);
        QFETCH(bool, accepted);

        WheelSettings settings = Typical;
        settings.*Field(field.constData()) = value;
        QCOMPARE(EncodeSettingsReport(settings, 1, 64).has_value(), accepted);
        Rig rig;
        QCOMPARE(SendSettingsSequence(rig.Link, settings), accepted);
        QCOMPARE(rig.Log().size(), accepted ? std::size_t{4} : std::size_t{0});
    }

    // The feature length decides the buffers. Too short to hold the settings: refused
    // before anything is sent. Longer than usual: read and written at full length.
    void FeatureLength()
    {
        for (auto [length, readable, writable] : {std::tuple{0, false, false}, {28, false, false}, {29, true, false},
                                                  {30, true, true}, {102, true, true}, {4096, true, true}}) {
            Rig rig(length);
            QList<int> asked;  // every get request: report ID, buffer size
            rig.Device.FeatureAnswer = [&](std::span<std::uint8_t> buffer) {
                asked << buffer[0] << int(buffer.size());
                std::fill(buffer.begin() + 1, buffer.end(), std::uint8_t{0xA5});
                return int(buffer.size());
            };
            const auto image = ReadSettingsReport(rig.Link);
            QCOMPARE(image ? int(image->size()) : -1, readable ? length : -1);
            SendSettingsSequence(rig.Link, Typical);
            QCOMPARE(rig.Requests(), (writable ? QList<int>{1, 2, 3} : QList<int>{}));
            for (const auto& request : rig.Log()) {
                QCOMPARE(request.Length, std::size_t(length));
                QVERIFY(std::all_of(request.Bytes.begin() + 30, request.Bytes.end(), [](auto b) { return !b; }));
            }
            QCOMPARE(asked, (readable ? QList<int>{8, length} : QList<int>{})
                                + (writable ? QList<int>{32, length} : QList<int>{}));
        }
    }

    // A short answer, a failed request or another report's answer is a failed read.
    void BadAnswer()
    {
        for (auto [count, reportID] : {std::pair{63, 8}, {-1, 8}, {64, 32}}) {
            Rig rig;
            rig.Device.FeatureAnswer = [count, reportID](std::span<std::uint8_t> buffer) {
                std::fill(buffer.begin(), buffer.end(), std::uint8_t{0x11});
                buffer[0] = static_cast<std::uint8_t>(reportID);
                return count;
            };
            QVERIFY(!ReadSettingsReport(rig.Link));
        }
    }

    // Three images that differ only in the command byte, then the report-32 request.
    // Every step is sent whatever the one before did; only command 1 decides the outcome.
    void SendsTheSequence()
    {
        for (int failing : {-1, 0, 1, 2, 3}) {  // which of the four requests fails
            Rig rig;
            int request = 0;
            rig.Device.BeforeOperation = [&](SimulatedOperation operation) {
                if ((operation == SimulatedOperation::GetFeature || operation == SimulatedOperation::SetFeature)
                    && request++ == failing)
                    rig.Device.FailFeatureRequests = 1;
            };
            QCOMPARE(SendSettingsSequence(rig.Link, Typical), failing != 0);
            QList<int> expected{1, 2, 3, -32};
            if (failing >= 0)
                expected.removeAt(failing);
            QCOMPARE(rig.Requests(), expected);
            for (const auto& r : rig.Log())
                QCOMPARE(Bytes(r.Bytes), r.Bytes.size() > 1 ? TypicalWriteImage(r.Bytes[1]) : Bytes({32}));
            QCOMPARE(*DecodeSettingsReport(rig.Device.Board->Settings) == Typical, failing != 0);
        }
    }
};

QTEST_APPLESS_MAIN(TestSettingsReport)
#include "test_settings_report.moc"
