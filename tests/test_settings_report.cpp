#include "board_model.h"
#include "device_link.h"
#include "settings_report.h"
#include "simulated_hid.h"

#include <QByteArray>
#include <QList>
#include <QtTest>

#include <algorithm>
#include <initializer_list>
#include <span>
#include <vector>

using namespace kx;

namespace kx {

// Readable failures: QCOMPARE prints both sides.
char* toString(const WheelSettings& s)
{
    return QTest::toString(QStringLiteral("Slimit %1 Homing %2 Stiff %3 Damp %4 TDamp %5 DampingScale %6 "
                                          "OverallScale %7 TInertia %8 TFriction %9 MotorFilter %10 "
                                          "InputFilter %11 Spring %12")
                               .arg(s.Slimit).arg(s.Homing).arg(s.Stiff).arg(s.Damp).arg(s.TDamp)
                               .arg(s.DampingScale).arg(s.OverallScale).arg(s.TInertia).arg(s.TFriction)
                               .arg(s.MotorFilter).arg(s.InputFilter).arg(s.Spring));
}

}  // namespace kx

Q_DECLARE_METATYPE(kx::WheelSettings)

namespace {

QByteArray Bytes(std::initializer_list<std::uint8_t> bytes)
{
    QByteArray out;
    for (std::uint8_t b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

QByteArray Bytes(std::span<const std::uint8_t> bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

std::span<const std::uint8_t> View(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

std::int32_t& Field(WheelSettings& s, const QByteArray& name)
{
    if (name == "Slimit") return s.Slimit;
    if (name == "Homing") return s.Homing;
    if (name == "Stiff") return s.Stiff;
    if (name == "Damp") return s.Damp;
    if (name == "TDamp") return s.TDamp;
    if (name == "DampingScale") return s.DampingScale;
    if (name == "OverallScale") return s.OverallScale;
    if (name == "TInertia") return s.TInertia;
    if (name == "TFriction") return s.TFriction;
    if (name == "MotorFilter") return s.MotorFilter;
    if (name == "InputFilter") return s.InputFilter;
    Q_ASSERT(name == "Spring");
    return s.Spring;
}

// Every field distinct, a negative offset, both percentages exact.
WheelSettings Typical()
{
    WheelSettings s;
    s.Slimit = 1234;
    s.Homing = -300;
    s.Stiff = 17;
    s.Damp = 18;
    s.TDamp = 19;
    s.DampingScale = 50;
    s.OverallScale = 25;
    s.TInertia = 21;
    s.TFriction = 22;
    s.MotorFilter = 23;
    s.InputFilter = 10000;
    s.Spring = 100;
    return s;
}

// Typical() as a write image with command 1, 64 bytes.
QByteArray TypicalWriteImage()
{
    return Bytes({
        0x08, 0x01,                                                                   // report ID, command
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 2 to 14
        0x80,              // 15: DampingScale 50 %
        0xD2, 0x04,        // 16, 17: Slimit 1234
        0xD4, 0xFE,        // 18, 19: Homing -300
        0x11, 0x12, 0x13,  // 20 to 22: Stiff, Damp, TDamp
        0x40,              // 23: OverallScale 25 %
        0x15, 0x16, 0x17,  // 24 to 26: TInertia, TFriction, MotorFilter
        0x10, 0x27,        // 27, 28: InputFilter 10000
        0x64,              // 29: Spring 100
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 30 to 63
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    });
}

// A connected board on a simulated platform.
struct Rig {
    Rig()
    {
        Device = &Platform.AddBoard();
        QVERIFY(FindTheHid(Link, Platform) == FlagTrue);
    }
    std::vector<BoardModel::FeatureRequest>& Log() { return Device->Board->Log; }

    SimulatedHidPlatform Platform;
    SimulatedDevice* Device = nullptr;
    DeviceLink Link;
};

// The requests as a list: a set as its command byte, a get as minus its report ID.
QList<int> Requests(const std::vector<BoardModel::FeatureRequest>& log)
{
    QList<int> out;
    for (const auto& request : log)
        out << (request.Kind == BoardModel::FeatureRequest::Kind::Set ? int(request.Bytes.at(1))
                                                                        : -int(request.Bytes.at(0)));
    return out;
}

}  // namespace

class TestSettingsReport : public QObject {
    Q_OBJECT

private slots:
    void DecodesReadImage_data();
    void DecodesReadImage();
    void SixteenBitFields_data();
    void SixteenBitFields();
    void EncodePercent_data();
    void EncodePercent();
    void DecodePercent_data();
    void DecodePercent();
    void EveryPercentAndByteSurvives();
    void WriteImageWhole();
    void EncodableDomain_data();
    void EncodableDomain();
    void ReportLength_data();
    void ReportLength();
    void SendsTheSequence();
    void LongFeatureReport_data();
    void LongFeatureReport();
    void BadAnswer_data();
    void BadAnswer();
    void FailedStep_data();
    void FailedStep();
};

void TestSettingsReport::DecodesReadImage_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<WheelSettings>("expected");

    QTest::newRow("shortest image") << Bytes({
        0x08, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
        0x80,        // 14: DampingScale
        0x34, 0x12,  // 15, 16: Slimit
        0x00, 0x80,  // 17, 18: Homing
        0x01, 0x02, 0x03,  // 19 to 21: Stiff, Damp, TDamp
        0xFF,              // 22: OverallScale
        0x07, 0x08, 0x09,  // 23 to 25: TInertia, TFriction, MotorFilter
        0x10, 0x27,        // 26, 27: InputFilter
        0x7F,              // 28: Spring
    }) << WheelSettings{4660, -32768, 1, 2, 3, 50, 100, 7, 8, 9, 10000, 127};

    QTest::newRow("high bytes") << Bytes({
        0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80,
        0x5A, 0x5A,
    }) << WheelSettings{65535, 32767, 255, 255, 255, 100, 0, 255, 255, 255, 0, 0};

    QTest::newRow("factory") << Bytes(BoardModel::FactorySettings())
                             << WheelSettings{5000, -100, 200, 50, 20, 75, 90, 10, 5, 4, 1000, 64};
}

void TestSettingsReport::DecodesReadImage()
{
    QFETCH(QByteArray, image);
    QFETCH(WheelSettings, expected);

    const auto decoded = DecodeSettingsReport(View(image));
    QVERIFY(decoded);
    QCOMPARE(*decoded, expected);
    QVERIFY(!DecodeSettingsReport(View(image.first(28))));
}

void TestSettingsReport::SixteenBitFields_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("readOffset");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("Homing -1") << QByteArray("Homing") << 17 << -1 << Bytes({0xFF, 0xFF});
    QTest::newRow("Homing -100") << QByteArray("Homing") << 17 << -100 << Bytes({0x9C, 0xFF});
    QTest::newRow("Homing -32768") << QByteArray("Homing") << 17 << -32768 << Bytes({0x00, 0x80});
    QTest::newRow("Homing 32767") << QByteArray("Homing") << 17 << 32767 << Bytes({0xFF, 0x7F});
    QTest::newRow("Homing 256") << QByteArray("Homing") << 17 << 256 << Bytes({0x00, 0x01});
    QTest::newRow("Slimit 65535") << QByteArray("Slimit") << 15 << 65535 << Bytes({0xFF, 0xFF});
    QTest::newRow("Slimit 32768") << QByteArray("Slimit") << 15 << 32768 << Bytes({0x00, 0x80});
    QTest::newRow("InputFilter 10000") << QByteArray("InputFilter") << 26 << 10000 << Bytes({0x10, 0x27});
    QTest::newRow("InputFilter 1") << QByteArray("InputFilter") << 26 << 1 << Bytes({0x01, 0x00});
}

void TestSettingsReport::SixteenBitFields()
{
    QFETCH(QByteArray, field);
    QFETCH(int, readOffset);
    QFETCH(int, value);
    QFETCH(QByteArray, bytes);

    WheelSettings settings;
    Field(settings, field) = value;
    const auto written = EncodeSettingsReport(settings, 1, 64);
    QVERIFY(written);
    QCOMPARE(Bytes(*written).mid(readOffset + 1, 2), bytes);

    QByteArray read(64, '\0');
    read[0] = 8;
    read.replace(readOffset, 2, bytes);
    auto decoded = DecodeSettingsReport(View(read));
    QVERIFY(decoded);
    QCOMPARE(Field(*decoded, field), value);
}

void TestSettingsReport::EncodePercent_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("byte");

    // 127.5, 25.5, 76.5, 178.5 and 229.5 go to the even neighbour.
    const int table[][2] = {{0, 0},    {1, 3},     {2, 5},     {10, 26},   {25, 64},   {30, 76},
                            {50, 128}, {70, 178},  {75, 191},  {90, 230},  {99, 252},  {100, 255}};
    for (const auto& row : table)
        QTest::addRow("%d %%", row[0]) << row[0] << row[1];
}

void TestSettingsReport::EncodePercent()
{
    QFETCH(int, percent);
    QFETCH(int, byte);
    QCOMPARE(int(kx::EncodePercent(percent)), byte);
}

void TestSettingsReport::DecodePercent_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("percent");

    const int table[][2] = {{0, 0},    {1, 0},    {2, 1},     {3, 1},     {127, 50},
                            {128, 50}, {191, 75}, {254, 100}, {255, 100}};
    for (const auto& row : table)
        QTest::addRow("byte %d", row[0]) << row[0] << row[1];
}

void TestSettingsReport::DecodePercent()
{
    QFETCH(int, byte);
    QFETCH(int, percent);
    QCOMPARE(kx::DecodePercent(static_cast<std::uint8_t>(byte)), percent);
}

void TestSettingsReport::EveryPercentAndByteSurvives()
{
    for (int percent = 0; percent <= 100; ++percent)
        QCOMPARE(kx::DecodePercent(kx::EncodePercent(percent)), percent);

    // Whatever the board holds, it decodes to something the window can send back.
    for (int b = 0; b <= 255; ++b) {
        QByteArray image(64, static_cast<char>(b));
        image[0] = 8;
        const auto decoded = DecodeSettingsReport(View(image));
        QVERIFY(decoded);
        WheelSettings values = *decoded;
        for (const char* name : {"Stiff", "Damp", "TDamp", "TInertia", "TFriction", "MotorFilter"})
            QCOMPARE(Field(values, name), b);
        QCOMPARE(decoded->Spring, b <= 127 ? b : 0);
        QVERIFY(decoded->DampingScale >= 0 && decoded->DampingScale <= 100);
        QCOMPARE(decoded->OverallScale, decoded->DampingScale);
        QVERIFY(EncodeSettingsReport(*decoded, 1, 64));
    }
    QCOMPARE(DecodeSettingsReport(View(QByteArray(29, char(200))))->Spring, 0);
}

void TestSettingsReport::WriteImageWhole()
{
    const auto image = EncodeSettingsReport(Typical(), 1, 64);
    QVERIFY(image);
    QCOMPARE(Bytes(*image), TypicalWriteImage());
}

void TestSettingsReport::EncodableDomain_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("accepted");

    auto row = [](const char* field, int value, bool accepted) {
        QTest::addRow("%s %d", field, value) << QByteArray(field) << value << accepted;
    };
    row("Slimit", -1, false);
    row("Slimit", 0, true);
    row("Slimit", 65535, true);
    row("Slimit", 65536, false);
    row("InputFilter", -1, false);
    row("InputFilter", 65536, false);
    row("Homing", -32769, false);
    row("Homing", -32768, true);
    row("Homing", 32767, true);
    row("Homing", 32768, false);  // the board would hold it as negative
    row("Homing", 40000, false);
    row("Homing", 65535, false);
    for (const char* field : {"Stiff", "Damp", "TDamp", "TInertia", "TFriction", "MotorFilter", "Spring"}) {
        row(field, -1, false);
        row(field, 255, true);
        row(field, 256, false);
    }
    for (const char* field : {"DampingScale", "OverallScale"}) {
        row(field, -1, false);
        row(field, 0, true);
        row(field, 100, true);
        row(field, 101, false);
    }
}

void TestSettingsReport::EncodableDomain()
{
    QFETCH(QByteArray, field);
    QFETCH(int, value);
    QFETCH(bool, accepted);

    WheelSettings settings = Typical();
    Field(settings, field) = value;
    QCOMPARE(EncodeSettingsReport(settings, 1, 64).has_value(), accepted);

    Rig rig;
    QCOMPARE(SendSettingsSequence(rig.Link, settings), accepted);
    QCOMPARE(rig.Log().size(), accepted ? std::size_t{4} : std::size_t{0});
}

void TestSettingsReport::ReportLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<bool>("writable");

    QTest::newRow("unknown") << 0 << false << false;
    QTest::newRow("28") << 28 << false << false;
    QTest::newRow("29") << 29 << true << false;
    QTest::newRow("30") << 30 << true << true;
}

void TestSettingsReport::ReportLength()
{
    QFETCH(int, length);
    QFETCH(bool, readable);
    QFETCH(bool, writable);

    Rig rig;
    rig.Link.Capabilities.FeatureReportByteLength = static_cast<std::uint16_t>(length);

    const auto image = ReadSettingsReport(rig.Link);
    QCOMPARE(image.has_value(), readable);
    QCOMPARE(rig.Log().size(), readable ? std::size_t{1} : std::size_t{0});
    if (readable) {
        const auto decoded = DecodeSettingsReport(*image);
        QVERIFY(decoded);
        QCOMPARE(decoded->Spring, 64);  // the last byte the factory image decodes
    }

    rig.Log().clear();
    const auto written = EncodeSettingsReport(Typical(), 1, static_cast<std::size_t>(length));
    QCOMPARE(written.has_value(), writable);
    const bool taken = SendSettingsSequence(rig.Link, Typical());
    if (!writable) {
        QVERIFY(!taken);
        QVERIFY(rig.Log().empty());
    } else {
        QCOMPARE(written->size(), std::size_t(length));
        QCOMPARE(rig.Log().size(), std::size_t{4});
    }
}

void TestSettingsReport::SendsTheSequence()
{
    Rig rig;
    QVERIFY(SendSettingsSequence(rig.Link, Typical()));

    const auto& log = rig.Log();
    QCOMPARE(Requests(log), (QList<int>{1, 2, 3, -32}));
    // Bytes 1 to 13 of the board's own image never come back in a write.
    QCOMPARE(Bytes(log[0].Bytes), TypicalWriteImage());
    for (int i : {1, 2}) {
        QCOMPARE(log[i].Length, std::size_t{64});
        QByteArray expected = TypicalWriteImage();
        expected[1] = char(i + 1);
        QCOMPARE(Bytes(log[i].Bytes), expected);
    }
    QCOMPARE(log[3].Length, std::size_t{64});

    const QByteArray stored = Bytes({
        0x08, 0x01, 0x07, 0x03, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA,
        0x80, 0xD2, 0x04, 0xD4, 0xFE, 0x11, 0x12, 0x13, 0x40, 0x15, 0x16, 0x17, 0x10, 0x27, 0x64,
    });
    QCOMPARE(Bytes(rig.Device->Board->Settings).first(29), stored);

    const auto readBack = ReadSettingsReport(rig.Link);
    QVERIFY(readBack);
    QCOMPARE(DecodeSettingsReport(*readBack), std::optional(Typical()));
}

void TestSettingsReport::LongFeatureReport_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("101") << 101;
    QTest::newRow("102") << 102;
    QTest::newRow("200") << 200;
    QTest::newRow("4096") << 4096;
}

void TestSettingsReport::LongFeatureReport()
{
    QFETCH(int, length);

    Rig rig;
    rig.Link.Capabilities.FeatureReportByteLength = static_cast<std::uint16_t>(length);
    // A board with reports this long answers at full length, filling the buffer.
    QList<int> asked;
    rig.Device->FeatureAnswer = [&](std::span<std::uint8_t> buffer) {
        asked << buffer[0] << int(buffer.size());
        std::fill(buffer.begin() + 1, buffer.end(), std::uint8_t{0xA5});
        return int(buffer.size());
    };
    SendSettingsSequence(rig.Link, Typical());

    const auto& log = rig.Log();
    QCOMPARE(Requests(log), (QList<int>{1, 2, 3}));
    for (const auto& request : log)
        QCOMPARE(request.Length, std::size_t(length));
    QVERIFY(std::all_of(log[0].Bytes.begin() + 30, log[0].Bytes.end(), [](auto b) { return b == 0; }));
    QCOMPARE(asked, (QList<int>{32, length}));

    asked.clear();
    const auto image = ReadSettingsReport(rig.Link);
    QVERIFY(image);
    QCOMPARE(image->size(), std::size_t(length));
    QCOMPARE(asked, (QList<int>{8, length}));
}

void TestSettingsReport::BadAnswer_data()
{
    QTest::addColumn<int>("count");   // what the answer claims, -1 for a failed request
    QTest::addColumn<int>("reportID");

    QTest::newRow("one byte short") << 63 << 8;
    QTest::newRow("report ID alone") << 1 << 8;
    QTest::newRow("nothing") << 0 << 8;
    QTest::newRow("request fails") << -1 << 8;
    QTest::newRow("another report") << 64 << 32;
    QTest::newRow("report ID 0") << 64 << 0;
}

void TestSettingsReport::BadAnswer()
{
    QFETCH(int, count);
    QFETCH(int, reportID);

    Rig rig;
    rig.Device->FeatureAnswer = [&](std::span<std::uint8_t> buffer) {
        std::fill(buffer.begin(), buffer.end(), std::uint8_t{0x11});
        buffer[0] = static_cast<std::uint8_t>(reportID);
        return count;
    };
    QVERIFY(!ReadSettingsReport(rig.Link));

    count = 64;
    reportID = 8;
    QVERIFY(ReadSettingsReport(rig.Link));  // the same rig reads a whole answer
}

void TestSettingsReport::FailedStep_data()
{
    QTest::addColumn<int>("failing");  // which of the four requests fails
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QList<int>>("received");

    QTest::newRow("command 1") << 0 << false << QList<int>{2, 3, -32};
    QTest::newRow("command 2") << 1 << true << QList<int>{1, 3, -32};
    QTest::newRow("command 3") << 2 << true << QList<int>{1, 2, -32};
    QTest::newRow("report 32") << 3 << true << QList<int>{1, 2, 3};
}

void TestSettingsReport::FailedStep()
{
    QFETCH(int, failing);
    QFETCH(bool, taken);
    QFETCH(QList<int>, received);

    Rig rig;
    int request = 0;
    rig.Device->BeforeOperation = [&](SimulatedOperation operation) {
        if (operation == SimulatedOperation::GetFeature || operation == SimulatedOperation::SetFeature) {
            if (request++ == failing)
                rig.Device->FailFeatureRequests = 1;
        }
    };
    QCOMPARE(SendSettingsSequence(rig.Link, Typical()), taken);
    QCOMPARE(request, 4);
    QCOMPARE(Requests(rig.Log()), received);

    const auto stored = DecodeSettingsReport(rig.Device->Board->Settings);
    QCOMPARE(*stored == Typical(), taken);
}

QTEST_APPLESS_MAIN(TestSettingsReport)
#include "test_settings_report.moc"
