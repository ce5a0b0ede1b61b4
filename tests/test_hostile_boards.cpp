// Boards that misbehave: broken report descriptors, short or foreign feature answers,
// odd strings and input reports, a doubled enumeration, and a board that disappears
// at every step of the search, the load and the write. Whatever the board does, the
// window must not crash or touch memory outside a buffer (the sanitizer build checks
// that), must end up either showing the board or showing none, must leak no handle,
// and must never send the board a value outside its field's range.
#include "board_identity.h"
#include "board_model.h"
#include "settings_report.h"
#include "window_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <random>

using namespace kx;
using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;
using Kind = decltype(BoardModel::FeatureRequest::Kind);

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(std::optional<std::u16string>)

namespace {

// What the user types before pressing "Write and reset": valid everywhere, and
// different from the factory settings in every field. In the order of SettingsFields.
const int Typed[12] = {1234, -56, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

// The window's ranges, in the order of SettingsFields: what may ever reach the board.
struct Range {
    int Lowest, Highest;
};
const Range Allowed[12] = {{0, 65535}, {-32768, 32767}, {0, 255}, {0, 255}, {0, 250}, {1, 100},
                           {1, 100},   {0, 250},        {0, 250}, {1, 255}, {1, 10000}, {0, 127}};

// The factory settings as the window shows them, in the order of SettingsFields.
const QStringList FactoryTexts = {"5000", "-100", "200", "50", "20", "75", "90", "10", "5", "4", "1000", "64"};
const QStringList Placeholders = {"Stops",  "Centre", "Stiffness", "Damping", "Damping", "Damping",
                                  "Scale",  "Inertia", "Friction", "",        "",        "Spring"};

QStringList Texts(WindowOnBoard& f)
{
    QStringList texts;
    for (QLineEdit* box : f.Boxes())
        texts << box->text();
    return texts;
}

// Every settings image the board was sent carries only values the window allows.
void VerifyNothingOutOfRangeSent(const WindowOnBoard& f)
{
    for (const Bytes& sent : f.SetRequests()) {
        if (sent.size() < MinimumWriteImage)
            continue;
        const std::optional<WheelSettings> values = DecodeSettingsReport(std::span(sent).subspan(1));
        QVERIFY(values);
        for (std::size_t i = 0; i < SettingsFields.size(); ++i) {
            const int v = (*values).*SettingsFields[i].Value;
            if (v < Allowed[i].Lowest || v > Allowed[i].Highest)
                QFAIL(qPrintable(QStringLiteral("%1 sent as %2").arg(SettingsFields[i].Name).arg(v)));
        }
    }
}

bool BoardStored(const WindowOnBoard& f)
{
    return std::any_of(f.Board->Board->Log.begin(), f.Board->Board->Log.end(), [](const auto& request) {
        return request.Kind == Kind::Set && request.Length == BoardModel::FeatureReportLength &&
               request.Bytes[0] == SettingsReportID && request.Bytes[1] == 1;
    });
}

// The window shows either the board, loaded, or no board at all, and holds exactly the
// handles that go with that.
void VerifySettled(WindowOnBoard& f)
{
    frmMain& w = f.W();
    if (w.Link.BoardOpen == FlagTrue) {
        QCOMPARE(f.Platform.OpenHandles(), 2);
        QVERIFY(w.Go->isEnabled());
        QVERIFY(w.Frame1->isEnabled());
        const QStringList texts = Texts(f);
        QVERIFY2(texts == FactoryTexts || texts == Placeholders, qPrintable(texts.join(u'|')));
    } else {
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
        QCOMPARE(f.Platform.OpenHandles(), 0);
        QVERIFY(!w.Go->isEnabled());
        for (QLabel* label : {w.lblManuf, w.lblProduct, w.lblSerialNumber, w.lblVersion, w.Position})
            QVERIFY(label->text().isEmpty());
    }
}

// The user types valid values everywhere and writes. Either the board stored exactly
// those values and the window closed, or nothing was stored, the window stays open
// with a message and keeps what the user typed.
void VerifyWriteOutcome(WindowOnBoard& f)
{
    frmMain& w = f.W();
    const auto boxes = f.Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(QString::number(Typed[i]));
    const QStringList typed = Texts(f);
    w.Go_Click();
    VerifyNothingOutOfRangeSent(f);

    const std::optional<WheelSettings> held = DecodeSettingsReport(f.Board->Board->Settings);
    QVERIFY(held);
    bool holdsTyped = true;
    for (std::size_t i = 0; i < SettingsFields.size(); ++i)
        holdsTyped = holdsTyped && (*held).*SettingsFields[i].Value == Typed[i];

    if (!w.isVisible()) {
        QVERIFY2(holdsTyped, "the window closed as if written, but the board does not hold the values");
        QCOMPARE(f.Platform.OpenHandles(), 0);
    } else {
        QVERIFY(!holdsTyped);
        QVERIFY(!BoardStored(f));
        QVERIFY(!w.lblStatus->text().isEmpty());
        QVERIFY(w.Timer->isActive());
        QCOMPARE(Texts(f), typed);
    }
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes Repeat(const Bytes& part, int times)
{
    Bytes out;
    for (int i = 0; i < times; ++i)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// Report Size and a two-byte Report Count declaring `bits` bits.
Bytes Field(std::uint32_t bits)
{
    const bool whole = bits % 8 == 0;
    const std::uint32_t count = whole ? bits / 8 : bits;
    return {0x75, static_cast<std::uint8_t>(whole ? 8 : 1), 0x96, static_cast<std::uint8_t>(count & 0xFF),
            static_cast<std::uint8_t>(count >> 8)};
}

const Bytes VendorCollection = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01};
const Bytes EndCollection = {0xC0};

// A board-like descriptor: input report 1 and feature reports 8 and 32, with the given
// numbers of data bits.
Bytes BoardDescriptor(std::uint32_t inputBits, std::uint32_t featureBits)
{
    Bytes body;
    if (inputBits > 0)
        body = Concat({{0x85, 0x01, 0x09, 0x30}, Field(inputBits), {0x81, 0x02}});
    if (featureBits > 0)
        body = Concat({body, {0x85, 0x08, 0x09, 0x01}, Field(featureBits), {0xB1, 0x02},
                       {0x85, 0x20, 0x09, 0x02, 0xB1, 0x02}});
    return Concat({VendorCollection, body, EndCollection});
}

Bytes Standard()
{
    const auto d = BoardModel::StandardReportDescriptor();
    return {d.begin(), d.end()};
}

}  // namespace

class TestHostileBoards : public QObject {
    Q_OBJECT

    int Tried = 0;

private slots:
    void cleanupTestCase() { qInfo("hostile boards tried: %d", Tried); }

    void descriptors_data();
    void descriptors();
    void featureAnswers_data();
    void featureAnswers();
    void strings_data();
    void strings();
    void samePathListedTwice();
    void boardIdentityWithoutFirmware();
    void vanishesWhileOpening_data();
    void vanishesWhileOpening();
    void vanishesWhileLoading_data();
    void vanishesWhileLoading();
    void vanishesWhileWriting_data();
    void vanishesWhileWriting();
};

void TestHostileBoards::descriptors_data()
{
    QTest::addColumn<Bytes>("descriptor");
    QTest::addColumn<bool>("available");

    QTest::newRow("standard") << Standard() << true;
    QTest::newRow("unavailable") << Bytes{} << false;
    QTest::newRow("empty") << Bytes{} << true;
    const Bytes standard = Standard();
    for (std::size_t n = 1; n < standard.size(); ++n)
        QTest::addRow("truncated to %zu bytes", n) << Bytes(standard.begin(), standard.begin() + n) << true;

    QTest::newRow("feature 2 bytes") << BoardDescriptor(16, 1) << true;
    QTest::newRow("feature 29 bytes") << BoardDescriptor(16, 28 * 8) << true;
    QTest::newRow("feature 30 bytes") << BoardDescriptor(16, 29 * 8) << true;
    QTest::newRow("feature 63 bytes") << BoardDescriptor(16, 62 * 8) << true;
    QTest::newRow("feature 65 bytes") << BoardDescriptor(16, 64 * 8) << true;
    QTest::newRow("feature 65535 bytes") << BoardDescriptor(16, 65534 * 8) << true;
    QTest::newRow("feature 65536 bytes") << BoardDescriptor(16, 65535 * 8) << true;
    QTest::newRow("no feature report") << BoardDescriptor(16, 0) << true;
    QTest::newRow("input 0 bytes") << BoardDescriptor(0, 63 * 8) << true;
    QTest::newRow("input 2 bytes") << BoardDescriptor(8, 63 * 8) << true;
    QTest::newRow("input 3 bytes") << BoardDescriptor(16, 63 * 8) << true;

    const Bytes push = {0xA4}, pop = {0xB4};
    QTest::newRow("push 100 deep") << Concat({Repeat(push, 100), Standard()}) << true;
    QTest::newRow("push and pop 100 deep") << Concat({Repeat(push, 100), Standard(), Repeat(pop, 100)}) << true;
    QTest::newRow("pop without push") << Concat({pop, Standard()}) << true;
    QTest::newRow("collections 100 deep")
        << Concat({Repeat({0xA1, 0x00}, 100), Standard(), Repeat(EndCollection, 100)}) << true;
    QTest::newRow("size x count of 2^64 bits")
        << Concat({VendorCollection,
                   {0x85, 0x08, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0xB1, 0x02},
                   EndCollection})
        << true;
    QTest::newRow("size x count of 2^32 bits")
        << Concat({VendorCollection,
                   {0x85, 0x08, 0x77, 0x00, 0x00, 0x01, 0x00, 0x97, 0x00, 0x00, 0x01, 0x00, 0xB1, 0x02},
                   EndCollection})
        << true;
    QTest::newRow("many small fields adding up past 64 KiB")
        << Concat({VendorCollection, {0x85, 0x08}, Field(0xFFFF * 8), Repeat({0xB1, 0x02}, 3), EndCollection})
        << true;
    QTest::newRow("long item") << Concat({{0xFE, 0x02, 0x00, 0x01, 0x02}, Standard()}) << true;
    QTest::newRow("report ID 0") << Concat({VendorCollection, {0x85, 0x00}, Field(63 * 8), {0xB1, 0x02}, EndCollection})
                                 << true;
    QTest::newRow("item claims 4 bytes at the end") << Concat({Standard(), {0x27}}) << true;

    // Noise of the kind a broken cable or firmware might hand over.
    std::mt19937 rng(5170);
    for (int i = 0; i < 8; ++i) {
        Bytes noise(std::uniform_int_distribution<int>(1, 4096)(rng));
        for (auto& b : noise)
            b = static_cast<std::uint8_t>(rng());
        QTest::addRow("noise %d", i) << noise << true;
    }
}

void TestHostileBoards::descriptors()
{
    QFETCH(Bytes, descriptor);
    QFETCH(bool, available);
    ++Tried;

    WindowOnBoard f;
    f.Board->Descriptor = descriptor;
    f.Board->DescriptorUnavailable = !available;
    frmMain& w = f.W();
    w.Form_Load();

    // The board is there and answers strings: it is shown, whatever its descriptor.
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(w.lblProduct->text(), QStringLiteral(" KX5170 Wheel Controller"));
    VerifySettled(f);
    for (const auto& request : f.Board->Board->Log)
        QCOMPARE(request.Length, std::size_t{w.Link.Capabilities.FeatureReportByteLength});

    // An input report far longer than any read buffer, then reports too short to hold
    // a position, which change nothing. A position is shown only where the descriptor
    // declares room for one.
    Bytes huge(4096, 0xEE);
    huge[0] = 0x01;
    huge[1] = 0xD2;  // 1234
    huge[2] = 0x04;
    f.Board->SendInputReport(huge);
    for (const Bytes& report : {Bytes{0x01}, Bytes{0x01, 0x34}, Bytes{}})
        f.Board->SendInputReport(report);
    w.DrainInput();
    w.Timer_Timer();
    const bool positionDeclared = w.Link.Capabilities.InputReportByteLength >= 3;
    QCOMPARE(w.Position->text(), positionDeclared ? QStringLiteral(" 1234") : QString());
    VerifySettled(f);

    VerifyWriteOutcome(f);
}

void TestHostileBoards::featureAnswers_data()
{
    QTest::addColumn<int>("count");         // what the answer claims, -1 for a failure
    QTest::addColumn<int>("reportID");      // the ID the answer carries
    QTest::addColumn<int>("fill");          // -1: the factory settings; else every byte
    QTest::addColumn<bool>("settingsShown");

    QTest::newRow("whole, as the board sends it") << 64 << 8 << -1 << true;
    QTest::newRow("failure") << -1 << 8 << -1 << false;
    QTest::newRow("nothing") << 0 << 8 << -1 << false;
    QTest::newRow("ID byte only") << 1 << 8 << -1 << false;
    QTest::newRow("one byte short of the last field") << 28 << 8 << -1 << false;
    QTest::newRow("every field, one byte short") << 63 << 8 << -1 << false;
    QTest::newRow("more than asked") << 1000 << 8 << -1 << true;
    QTest::newRow("another report ID") << 64 << 9 << -1 << false;
    QTest::newRow("report 32 instead") << 64 << 32 << -1 << false;
    QTest::newRow("ID 0") << 64 << 0 << -1 << false;
    QTest::newRow("every byte 0xFF") << 64 << 8 << 0xFF << true;
    QTest::newRow("every byte 0x00") << 64 << 8 << 0x00 << true;
    QTest::newRow("every byte 0x80") << 64 << 8 << 0x80 << true;
}

void TestHostileBoards::featureAnswers()
{
    QFETCH(int, count);
    QFETCH(int, reportID);
    QFETCH(int, fill);
    QFETCH(bool, settingsShown);
    ++Tried;

    WindowOnBoard f;
    BoardModel* board = f.Board->Board.get();
    int gets = 0;
    // Only the load's read misbehaves: the write sequence's report-32 request is
    // answered as the firmware does.
    f.Board->FeatureAnswer = [&](std::span<std::uint8_t> buffer) {
        if (gets++ > 0)
            return board->AnswerGetFeature(buffer);
        auto image = BoardModel::FactorySettings();
        if (fill >= 0)
            image.fill(static_cast<std::uint8_t>(fill));
        image[0] = static_cast<std::uint8_t>(reportID);
        std::copy_n(image.begin(), std::min(buffer.size(), image.size()), buffer.begin());
        return count;
    };
    frmMain& w = f.W();
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);

    const QStringList texts = Texts(f);
    if (!settingsShown) {
        QCOMPARE(texts, Placeholders);
    } else if (fill < 0) {
        QCOMPARE(texts, FactoryTexts);
    } else {
        // Whatever the bytes, each box shows a value its field can hold.
        const auto boxes = f.Boxes();
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            bool number = false;
            const int v = boxes[i]->text().toInt(&number);
            QVERIFY(number);
            QVERIFY2(v >= SettingsFields[i].EncodableMin && v <= SettingsFields[i].EncodableMax,
                     SettingsFields[i].Name);
        }
        // Written back untouched: corrected into the window's ranges on the way.
        w.Go_Click();
        QVERIFY(!w.isVisible());
        QVERIFY(BoardStored(f));
        VerifyNothingOutOfRangeSent(f);
        return;
    }
    VerifyWriteOutcome(f);
}

void TestHostileBoards::strings_data()
{
    QTest::addColumn<std::optional<std::u16string>>("held");
    QTest::addColumn<QString>("shown");  // the label's text after its leading space

    const std::u16string long500(500, u'x');
    const std::u16string full126 = std::u16string(125, u'a') + u'z';
    QTest::newRow("empty") << std::optional(std::u16string()) << QString();
    QTest::newRow("126, no terminator") << std::optional(full126) << QString::fromStdU16String(full126);
    QTest::newRow("126 and a terminator") << std::optional(full126 + u'\0') << QString::fromStdU16String(full126);
    QTest::newRow("500, no terminator") << std::optional(long500) << QString(126, u'x');
    QTest::newRow("500, terminated at 20")
        << std::optional(std::u16string(20, u'y') + u'\0' + long500) << QString(20, u'y');
    QTest::newRow("terminator first") << std::optional(u"\0KX Motion"s) << QString();
    QTest::newRow("control characters") << std::optional(u"A\nB\tC\x1b[2J\r"s) << QStringLiteral("A B C [2J ");
    QTest::newRow("lone surrogate") << std::optional(u"K\xD800X"s) << QString::fromStdU16String(u"K\xD800X");
    QTest::newRow("request fails") << std::optional<std::u16string>() << QString();
}

void TestHostileBoards::strings()
{
    QFETCH(std::optional<std::u16string>, held);
    QFETCH(QString, shown);
    ++Tried;

    WindowOnBoard f(0x0107);
    f.Board->Manufacturer = held;
    f.Board->Product = held;
    f.Board->SerialNumber = held;
    frmMain& w = f.W();
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(Texts(f), FactoryTexts);

    const QString caption = held ? QLatin1Char(' ') + shown : QString();
    for (QLabel* label : {w.lblManuf, w.lblProduct, w.lblSerialNumber})
        QCOMPARE(label->text(), caption);

    // Without a manufacturer string the device type stays unknown: counts, no degrees.
    f.Board->SendPosition(2048);
    w.DrainInput();
    w.Timer_Timer();
    QCOMPARE(w.Position->text(), QStringLiteral(" 2048"));
    QCOMPARE(w.Degrees->text(), held ? QStringLiteral(" 90") : QString());
    QCOMPARE(w.lblVersion->text(), held ? QStringLiteral(" 1.7") : QString());
}

void TestHostileBoards::samePathListedTwice()
{
    ++Tried;
    WindowOnBoard f;
    f.Platform.ListEveryInterfaceTwice = true;
    frmMain& w = f.W();
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(f.Board->OpensTotal, 2);
    QCOMPARE(f.Platform.OpenHandles(), 2);
    QCOMPARE(Texts(f), FactoryTexts);

    // Gone and back, still listed twice: one board, two handles, never four.
    f.Platform.Unplug(*f.Board);
    w.Timer_Timer();
    VerifySettled(f);
    f.Platform.PlugIn(*f.Board);
    w.Timer_Timer();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(f.Platform.OpenHandles(), 2);
    w.close();
    QCOMPARE(f.Platform.OpenHandles(), 0);
}

void TestHostileBoards::boardIdentityWithoutFirmware()
{
    // Something that carries the board's USB identity but answers no feature request
    // and sends no descriptor worth the name.
    ++Tried;
    WindowOnBoard f(0x0307, false);
    SimulatedDevice& impostor = f.Platform.AddOtherInterface(0x6C1B, 0x5E12);
    impostor.Descriptor = {0x05};
    frmMain& w = f.W();
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(Texts(f), Placeholders);
    w.Go_Click();
    QVERIFY(w.isVisible());
    QVERIFY(!w.lblStatus->text().isEmpty());
    w.close();
    QCOMPARE(f.Platform.OpenHandles(), 0);
}

void TestHostileBoards::vanishesWhileOpening_data()
{
    QTest::addColumn<int>("atOpen");
    QTest::newRow("between enumeration and open") << 1;
    QTest::newRow("between the two opens") << 2;
}

void TestHostileBoards::vanishesWhileOpening()
{
    QFETCH(int, atOpen);
    ++Tried;

    WindowOnBoard f;
    int opens = 0;
    f.Board->BeforeOperation = [&](SimulatedOperation operation) {
        if (operation == SimulatedOperation::Open && ++opens == atOpen)
            f.Platform.Unplug(*f.Board);
    };
    frmMain& w = f.W();
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagFalse);
    VerifySettled(f);
    QVERIFY(!w.Link.FeatureHandle && !w.Link.InputHandle);

    // Back again: the next tick takes it as if nothing had happened.
    f.Platform.PlugIn(*f.Board);
    w.Timer_Timer();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(Texts(f), FactoryTexts);
    VerifySettled(f);
}

void TestHostileBoards::vanishesWhileLoading_data()
{
    QTest::addColumn<int>("atPause");
    QTest::addColumn<bool>("backAtOnce");  // plugged in again before the load goes on
    for (int pause = 1; pause <= 3; ++pause) {
        QTest::addRow("at pause %d", pause) << pause << false;
        QTest::addRow("at pause %d, back at once", pause) << pause << true;
    }
}

void TestHostileBoards::vanishesWhileLoading()
{
    QFETCH(int, atPause);
    QFETCH(bool, backAtOnce);
    ++Tried;

    WindowOnBoard f;
    int pauses = 0;
    f.Platform.OnPause = [&](std::chrono::milliseconds) {
        if (++pauses != atPause)
            return;
        f.Platform.Unplug(*f.Board);
        if (backAtOnce)
            f.Platform.PlugIn(*f.Board);
    };
    frmMain& w = f.W();
    w.Form_Load();
    // The load went on through handles that had died: nothing from it is shown as
    // the board's settings.
    QCOMPARE(Texts(f), Placeholders);

    // The next tick finds out, lets the dead handles go and takes the board again if
    // it is back.
    w.Timer_Timer();
    VerifySettled(f);
    QCOMPARE(w.Link.BoardOpen, backAtOnce ? FlagTrue : FlagFalse);
    if (!backAtOnce) {
        f.Platform.PlugIn(*f.Board);
        w.Timer_Timer();
    }
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(Texts(f), FactoryTexts);
    QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" KX5170-000123"));
    VerifySettled(f);
    VerifyWriteOutcome(f);
    QVERIFY(!w.isVisible());
}

void TestHostileBoards::vanishesWhileWriting_data()
{
    // The operation of the write sequence before which the board disappears:
    // sets 1 to 3 (commands 1 to 3), then 4 for the report-32 request.
    QTest::addColumn<int>("atStep");
    QTest::newRow("before command 1") << 1;
    QTest::newRow("before command 2") << 2;
    QTest::newRow("before command 3") << 3;
    QTest::newRow("before the report-32 request") << 4;
}

void TestHostileBoards::vanishesWhileWriting()
{
    QFETCH(int, atStep);
    ++Tried;

    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    QCOMPARE(Texts(f), FactoryTexts);

    int steps = 0;
    f.Board->BeforeOperation = [&](SimulatedOperation operation) {
        if ((operation == SimulatedOperation::SetFeature || operation == SimulatedOperation::GetFeature) &&
            ++steps == atStep)
            f.Platform.Unplug(*f.Board);
    };
    VerifyWriteOutcome(f);
    // Only a board that took the settings lets the window close as written.
    QCOMPARE(!w.isVisible(), atStep > 1);
    if (w.isVisible()) {
        w.Timer_Timer();
        VerifySettled(f);
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
        // The user's values wait in their boxes for the board to come back.
        QCOMPARE(f.Boxes()[0]->text(), QString::number(Typed[0]));
    }
    QCOMPARE(f.Board->OpenHandles(), 0);
}

QTEST_MAIN(TestHostileBoards)
#include "test_hostile_boards.moc"
