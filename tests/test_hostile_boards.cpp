// Boards that misbehave or vanish at every step. Whatever they do, the window must not
// crash, must show the board or none, leak no handle and send nothing out of range.
#include "board_model.h"
#include "window_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace kx;
using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;
using OptionalText = std::optional<std::u16string>;
Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(OptionalText)

namespace {

const int Typed[12] = {1234, -56, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};  // valid, none the factory value
// Typed as the settings bytes of a read image (14 to 28), one byte higher in a write image.
const Bytes TypedSettings = {0x1A, 0xD2, 0x04, 0xC8, 0xFF, 0x07, 0x08, 0x09, 0x1C, 0x0C, 0x0D, 0x0E, 0x0F, 0x00, 0x10};

// A write image of `length` bytes: report 8, the command, zeros but for the settings.
Bytes WriteImage(std::size_t length, std::uint8_t command, const Bytes& settings)
{
    Bytes image(length, 0x00);
    image[0] = 0x08;
    image[1] = command;
    std::copy(settings.begin(), settings.end(), image.begin() + 15);
    return image;
}

// The board loaded with its two handles, or no board with none.
void VerifySettled(WindowOnBoard& f)
{
    frmMain& w = f.W();
    const bool open = w.Link.BoardOpen == FlagTrue;
    QCOMPARE(f.Platform.OpenHandles(), open ? 2 : 0);
    QCOMPARE(w.Go->isEnabled(), open);
    if (open) {
        QVERIFY(w.Frame1->isEnabled());
        QVERIFY2(f.Texts() == FactoryTexts || f.Texts() == Placeholders, qPrintable(f.Texts().join(u'|')));
    } else {
        for (QLabel* label : {w.lblManuf, w.lblProduct, w.lblSerialNumber, w.lblVersion, w.Position})
            QVERIFY(label->text().isEmpty());
    }
}

// The user writes valid values. Either the board holds exactly those and the window
// closed, or the window stays open, says so, and keeps what was typed. Whatever reached
// the board is the typed values at the board's feature length.
void VerifyWriteOutcome(WindowOnBoard& f)
{
    frmMain& w = f.W();
    for (std::size_t i = 0; i < 12; ++i)
        f.Boxes()[i]->setText(QString::number(Typed[i]));
    const QStringList typed = f.Texts();
    w.Go_Click();
    for (const Bytes& sent : f.SetRequests()) {
        QVERIFY(sent.size() >= 30 && sent[1] >= 1 && sent[1] <= 3);
        QCOMPARE(sent, WriteImage(sent.size(), sent[1], TypedSettings));
    }
    const auto& held = f.Board->Board->Settings;
    const bool holdsTyped = std::equal(TypedSettings.begin(), TypedSettings.end(), held.begin() + 14);
    QCOMPARE(holdsTyped, !w.isVisible());
    QCOMPARE(w.lblStatus->text().isEmpty(), !w.isVisible());
    QCOMPARE(w.Timer->isActive(), w.isVisible());
    QCOMPARE(f.Texts(), typed);
    if (!w.isVisible())
        QCOMPARE(f.Platform.OpenHandles(), 0);
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

const Bytes Open = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01}, End = {0xC0};

// Input report 1 and feature reports 8 and 32 of the given lengths, ID byte included.
Bytes BoardDescriptor(unsigned input, unsigned feature)
{
    auto size = [](unsigned n) { return Bytes{0x75, 0x08, 0x96, std::uint8_t(n - 1), std::uint8_t((n - 1) >> 8)}; };
    const Bytes reports = {0x85, 0x08, 0x09, 0x01, 0xB1, 0x02, 0x85, 0x20, 0x09, 0x02, 0xB1, 0x02};
    return Cat({Open, input ? Cat({{0x85, 0x01, 0x09, 0x30}, size(input), {0x81, 0x02}}) : Bytes{},
                feature ? Cat({size(feature), reports}) : Bytes{}, End});
}

enum class Phase { Opening, Loading, Writing };

}  // namespace

class TestHostileBoards : public QObject {
    Q_OBJECT

    int Tried = 0;

private slots:
    void init() { ++Tried; }
    void cleanupTestCase() { qInfo("hostile boards tried: %d", Tried); }

    void descriptors_data()
    {
        QTest::addColumn<Bytes>("descriptor");
        QTest::addColumn<bool>("available");
        const auto s = BoardModel::StandardReportDescriptor();
        const Bytes standard(s.begin(), s.end());
        QTest::newRow("standard") << standard << true;
        QTest::newRow("unavailable") << Bytes{} << false;
        // Malformed (the window sees every malformed descriptor alike; the parser's tests and
        // fuzzer try the kinds): truncated inside an item, and before the End Collection.
        for (std::size_t n : {std::size_t{11}, standard.size() - 1})
            QTest::addRow("truncated to %zu bytes", n) << Bytes(standard.begin(), standard.begin() + n) << true;
        // Around the settings' last byte read (28) and written (29), and past 16 bits.
        for (unsigned n : {0, 29, 30, 65, 65536})
            QTest::addRow("feature %u bytes", n) << BoardDescriptor(3, n) << true;
        for (unsigned n : {0, 2, 3})
            QTest::addRow("input %u bytes", n) << BoardDescriptor(n, 64) << true;
    }

    void descriptors()
    {
        QFETCH(Bytes, descriptor);
        QFETCH(bool, available);
        WindowOnBoard f;
        f.Board->Descriptor = descriptor;
        f.Board->DescriptorUnavailable = !available;
        frmMain& w = f.Load();
        // It answers strings: it is shown, whatever its descriptor.
        QCOMPARE(w.lblProduct->text(), QStringLiteral(" KX5170 Wheel Controller"));
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        VerifySettled(f);
        for (const auto& request : f.Board->Board->Log)
            QCOMPARE(request.Length, std::size_t{w.Link.Capabilities.FeatureReportByteLength});

        // Position 1234 in a report longer than any read buffer, then reports too short.
        const Bytes huge = Cat({{0x01, 0xD2, 0x04}, Bytes(4093, 0xEE)});
        for (const Bytes& report : {huge, Bytes{0x01}, Bytes{0x01, 0x34}, Bytes{}})
            f.Board->SendInputReport(report);
        w.Timer_Timer();
        const bool positionDeclared = w.Link.Capabilities.InputReportByteLength >= 3;
        QCOMPARE(w.Position->text(), positionDeclared ? QStringLiteral(" 1234") : QString());
        VerifySettled(f);
        VerifyWriteOutcome(f);
    }

    void featureAnswers_data()
    {
        QTest::addColumn<int>("count");     // what the answer claims, -1 for a failure
        QTest::addColumn<int>("reportID");  // the ID the answer carries
        QTest::addColumn<int>("fill");      // -1: the factory settings; else every byte
        QTest::addColumn<bool>("shown");    // the settings reach the boxes
        QTest::addColumn<Bytes>("written");  // with a fill: the settings written back as loaded
        QTest::newRow("whole") << 64 << 8 << -1 << true << Bytes{};
        QTest::newRow("failure") << -1 << 8 << -1 << false << Bytes{};
        for (int count : {0, 28, 29})
            QTest::addRow("%d bytes", count) << count << 8 << -1 << (count >= 29) << Bytes{};
        QTest::newRow("more than asked") << 1000 << 8 << -1 << true << Bytes{};
        QTest::newRow("another report ID") << 64 << 9 << -1 << false << Bytes{};
        QTest::newRow("ID 0") << 64 << 0 << -1 << false << Bytes{};
        // Brought into the window's ranges: the damping, inertia and friction to 250, the
        // input filter to 10000, a spring byte above 127 read as 0; the scales to 1 %, the
        // motor and input filters to 1.
        QTest::newRow("every byte 0xFF")
            << 64 << 8 << 0xFF << true
            << Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFA, 0xFF, 0xFA, 0xFA, 0xFF, 0x10, 0x27, 0x00};
        QTest::newRow("every byte 0x00")
            << 64 << 8 << 0x00 << true
            << Bytes{0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00};
    }

    void featureAnswers()
    {
        QFETCH(int, count);
        QFETCH(int, reportID);
        QFETCH(int, fill);
        QFETCH(bool, shown);
        QFETCH(Bytes, written);
        WindowOnBoard f;
        BoardModel* board = f.Board->Board.get();
        int gets = 0;
        // Only the load's read misbehaves, not the write's report-32 request.
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
        frmMain& w = f.Load();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        if (fill < 0) {
            QCOMPARE(f.Texts(), shown ? FactoryTexts : Placeholders);
            return VerifyWriteOutcome(f);
        }
        // Extreme bytes, written back untouched.
        w.Go_Click();
        QVERIFY(!w.isVisible());
        QCOMPARE(f.SetRequests().size(), std::size_t{3});
        QCOMPARE(f.SetRequests()[0], WriteImage(64, 1, written));
    }

    void strings_data()
    {
        QTest::addColumn<OptionalText>("held");
        QTest::addColumn<QString>("shown");  // after the caption's leading space
        const std::u16string longest = std::u16string(125, u'a') + u'z';  // what a string descriptor holds
        QTest::newRow("empty") << OptionalText(u""s) << QString();
        QTest::newRow("longest") << OptionalText(longest) << QString::fromStdU16String(longest);
        QTest::newRow("control characters") << OptionalText(u"A\nB\tC\x1b[2J\r"s) << QStringLiteral("A B C [2J ");
        QTest::newRow("markup, shown as text") << OptionalText(u"<b>SN</b>&amp;"s) << QStringLiteral("<b>SN</b>&amp;");
        QTest::newRow("beyond Latin-1") << OptionalText(u"Руль ハンドル"s) << QString::fromUtf8("Руль ハンドル");
        QTest::newRow("request fails") << OptionalText() << QString();
    }

    void strings()
    {
        QFETCH(OptionalText, held);
        QFETCH(QString, shown);
        WindowOnBoard f(0x0107);
        f.Board->Manufacturer = f.Board->Product = f.Board->SerialNumber = held;
        frmMain& w = f.Load();
        QCOMPARE(f.Texts(), FactoryTexts);
        for (QLabel* label : {w.lblManuf, w.lblProduct, w.lblSerialNumber}) {
            QCOMPARE(label->text(), held ? QLatin1Char(' ') + shown : QString());
            QCOMPARE(label->textFormat(), Qt::PlainText);
        }
        // Without a manufacturer string the device type stays unknown: counts, no degrees.
        f.Tick(2048);
        QCOMPARE(w.Position->text(), QStringLiteral(" 2048"));
        QCOMPARE(w.Degrees->text(), held ? QStringLiteral(" 90") : QString());
        QCOMPARE(w.lblVersion->text(), held ? QStringLiteral(" 1.7") : QString());
    }

    void vanishes_data()
    {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<int>("at");           // the nth open, pause, or feature request
        QTest::addColumn<bool>("backAtOnce");  // plugged in again straight away
        QTest::newRow("between enumeration and open") << Phase::Opening << 1 << false;
        QTest::newRow("between the two opens") << Phase::Opening << 2 << false;
        for (int pause = 1; pause <= 3; ++pause)
            for (bool back : {false, true})
                QTest::addRow("loading, pause %d%s", pause, back ? ", back at once" : "")
                    << Phase::Loading << pause << back;
        for (int step = 1; step <= 4; ++step)  // commands 1 to 3, then the report-32 request
            QTest::addRow("writing, step %d", step) << Phase::Writing << step << false;
    }

    void vanishes()
    {
        QFETCH(Phase, phase);
        QFETCH(int, at);
        QFETCH(bool, backAtOnce);
        WindowOnBoard f;
        f.Platform.ListEveryInterfaceTwice = true;  // one board all the same: two handles, never four
        int seen = 0;
        f.Platform.OnPause = [&](auto) {
            if (phase == Phase::Loading && ++seen == at) {
                f.Unplug();
                if (backAtOnce)
                    f.PlugIn();
            }
        };
        bool armed = phase == Phase::Opening;  // for the write: only once loaded
        f.Board->BeforeOperation = [&](SimulatedOperation op) {
            const bool feature = op == SimulatedOperation::SetFeature || op == SimulatedOperation::GetFeature;
            if (armed && (phase == Phase::Opening ? op == SimulatedOperation::Open : feature) && ++seen == at)
                f.Unplug();
        };
        frmMain& w = f.Load();
        VerifySettled(f);
        QCOMPARE(f.Board->OpensTotal, phase == Phase::Opening ? at - 1 : 2);
        if (phase == Phase::Writing) {
            armed = true;
        } else {
            // Nothing read through the dying handles is shown as the board's.
            QCOMPARE(f.Texts(), Placeholders);
            w.Timer_Timer();
            VerifySettled(f);
            QCOMPARE(w.Link.BoardOpen, backAtOnce ? FlagTrue : FlagFalse);
            f.PlugIn();
            w.Timer_Timer();
            QCOMPARE(w.Link.BoardOpen, FlagTrue);
            QCOMPARE(f.Texts(), FactoryTexts);
            QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" KX5170-000123"));
            VerifySettled(f);
        }
        VerifyWriteOutcome(f);
        // Only a board that took the settings lets the window close as written.
        QCOMPARE(w.isVisible(), phase == Phase::Writing && at == 1);
        if (w.isVisible()) {
            w.Timer_Timer();
            QCOMPARE(w.Link.BoardOpen, FlagFalse);
            VerifySettled(f);
        }
        QCOMPARE(f.Board->OpenHandles(), 0);
    }
};

QTEST_MAIN(TestHostileBoards)
#include "test_hostile_boards.moc"
