// Boards that misbehave or vanish at every step. Whatever they do, the window must not
// crash, must show the board or none, leak no handle and send nothing out of range.
#include "board_model.h"
#include "window_fixture.h"

using namespace kx;

namespace {

using Hostility = std::function<void(WindowOnBoard&)>;

// What the window shows of such a board: the boxes once loaded; the product, position and
// degrees once a tick has read the reports the test sends; whether it takes the settings.
// A board whose settings cannot be read shows empty boxes that take nothing: never the
// placeholders, nor another board's values, as its own.
const QStringList Empty(12, QString());
struct Expect {
    QStringList Loaded = FactoryTexts;
    QString Product = QStringLiteral(" KX5170 Wheel Controller");
    QString Position = QStringLiteral(" 1234");
    QString Degrees = QStringLiteral(" 44.4");
    bool TakesWrite = true;   // the board holds the typed settings
    bool Completes = true;    // the whole sequence went through: the window closed
    bool GoesAndComesBack = false;  // before the write
};
const Expect Unreadable = {.Loaded = Empty, .TakesWrite = false, .Completes = false};
const Expect ReadOnly = {.TakesWrite = false, .Completes = false};
const Expect NoPosition = {.Position = {}, .Degrees = {}};
const Expect Unknown = {.Loaded = Empty, .Position = {}, .Degrees = {}, .TakesWrite = false, .Completes = false};
const Expect GoneAtOpen = {.Loaded = Placeholders, .Product = {}, .Position = {}, .Degrees = {}, .GoesAndComesBack = true};
const Expect GoneAtLoad = {.Loaded = Empty, .Product = {}, .Position = {}, .Degrees = {}, .GoesAndComesBack = true};
const Expect BackAtOnce = {.Loaded = Empty, .Position = {}, .Degrees = {}, .GoesAndComesBack = true};

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
    WindowControls& w = f.V();
    const bool open = f.BoardOpen();
    QCOMPARE(f.Platform.OpenHandles(), open ? 2 : 0);
    QVERIFY(open || !w.Go->isEnabled());
    QCOMPARE(w.Go->isEnabled(), w.Homing->isEnabled());
    if (open)
        QVERIFY(w.Frame1->isEnabled());
    else
        for (QLabel* label : {w.lblManuf, w.lblProduct, w.lblSerialNumber, w.lblVersion, w.Position})
            QVERIFY(label->text().isEmpty());
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// Input report 1 and feature reports 8 and 32 of the given lengths, ID byte included.
Bytes BoardDescriptor(unsigned input, unsigned feature)
{
    auto size = [](unsigned n) { return Bytes{0x75, 0x08, 0x96, std::uint8_t(n - 1), std::uint8_t((n - 1) >> 8)}; };
    const Bytes reports = {0x85, 0x08, 0x09, 0x01, 0xB1, 0x02, 0x85, 0x20, 0x09, 0x02, 0xB1, 0x02};
    return Cat({{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01},
                input ? Cat({{0x85, 0x01, 0x09, 0x30}, size(input), {0x81, 0x02}}) : Bytes{},
                feature ? Cat({size(feature), reports}) : Bytes{}, {0xC0}});
}

Hostility Describes(const Bytes& descriptor, bool available = true)
{
    return [=](WindowOnBoard& f) {
        f.Board->Descriptor = descriptor;
        f.Board->DescriptorUnavailable = !available;
    };
}

// The load's read answers `count` (-1: it fails) with report `id`; the write's report-32
// request is answered as the board does.
Hostility Answers(int count, int id = 8)
{
    return [=](WindowOnBoard& f) {
        f.Board->FeatureAnswer = [&f, count, id, gets = 0](std::span<std::uint8_t> buffer) mutable {
            const int whole = f.Board->Board->AnswerGetFeature(buffer);
            if (gets++ > 0)
                return whole;
            buffer[0] = static_cast<std::uint8_t>(id);
            return count;
        };
    };
}

Hostility Strings(const std::u16string& held)
{
    return [=](WindowOnBoard& f) { f.Board->Manufacturer = f.Board->Product = f.Board->SerialNumber = held; };
}

// Unplugged at the nth operation of the kinds given, or with none given at the load's nth
// pause; plugged in again straight away if told.
Hostility Vanishes(std::vector<SimulatedOperation> kinds, int at, bool backAtOnce = false)
{
    return [=](WindowOnBoard& f) {
        f.Platform.ListEveryInterfaceTwice = true;  // one board all the same: two handles, never four
        auto count = [&f, at, backAtOnce, seen = std::make_shared<int>(0)](bool counts) {
            if (counts && ++*seen == at) {
                f.Unplug();
                if (backAtOnce)
                    f.PlugIn();
            }
        };
        f.Platform.OnPause = [=](auto) { count(kinds.empty()); };
        f.Board->BeforeOperation = [=](SimulatedOperation op) { count(std::ranges::count(kinds, op) > 0); };
    };
}

}  // namespace

Q_DECLARE_METATYPE(Hostility)
Q_DECLARE_METATYPE(Expect)

class TestHostileBoards : public QObject {
    Q_OBJECT

private slots:
    void hostileBoard_data()
    {
        QTest::addColumn<Hostility>("hostility");
        QTest::addColumn<Expect>("expect");
        auto row = [](const char* name, const Hostility& h, const Expect& e = {}) { QTest::newRow(name) << h << e; };
        const Bytes standard = BoardModel::StandardReportDescriptor();
        row("standard", Describes(standard));
        // The window sees every malformed descriptor alike; the parser's tests try the kinds.
        row("descriptor unavailable", Describes({}, false), Unknown);
        row("descriptor cut inside an item", Describes(Bytes(standard.begin(), standard.begin() + 11)), Unknown);
        // Around the settings' last byte read (28) and written (29), and past 16 bits.
        row("feature 0 bytes", Describes(BoardDescriptor(3, 0)), {.Loaded = Empty, .TakesWrite = false, .Completes = false});
        row("feature 29 bytes", Describes(BoardDescriptor(3, 29)), ReadOnly);
        row("feature 65536 bytes", Describes(BoardDescriptor(3, 65536)), Unknown);
        row("no input report", Describes(BoardDescriptor(0, 64)), NoPosition);
        row("input 2 bytes", Describes(BoardDescriptor(2, 64)), NoPosition);
        row("input 3 bytes", Describes(BoardDescriptor(3, 64)));

        row("settings read fails", Answers(-1), Unreadable);
        for (int count : {0, 28, 29})
            QTest::addRow("settings answer of %d bytes", count)
                << Answers(count) << (count < 29 ? Unreadable : Expect());
        row("settings answer longer than asked", Answers(1000));
        for (int id : {0, 9})
            QTest::addRow("settings answer of report %d", id) << Answers(64, id) << Unreadable;

        row("strings with control characters", Strings(u"A\nB\tC\x1b[2J\r"), {.Product = QString::fromUtf16(u" A\uFFFDB\uFFFDC\uFFFD[2J\uFFFD")});
        row("strings with markup, shown as text", Strings(u"<b>SN</b>&amp;"), {.Product = " <b>SN</b>&amp;"});

        using enum SimulatedOperation;
        row("gone between enumeration and open", Vanishes({Open}, 1), GoneAtOpen);
        row("gone between the two opens", Vanishes({Open}, 2), GoneAtOpen);
        for (int pause = 1; pause <= 3; ++pause)
            QTest::addRow("gone at the load's pause %d", pause) << Vanishes({}, pause) << GoneAtLoad;
        row("gone at the load's first pause, back at once", Vanishes({}, 1, true), BackAtOnce);
        // The load's read is the first feature request; the write sends commands 1 to 3,
        // then asks for report 32. Once command 1 is taken, the settings are on the board,
        // but only a whole sequence ends the program; a board gone at its reset request
        // has reset, however the request ended.
        for (int request = 2; request <= 5; ++request)
            QTest::addRow("gone at feature request %d", request)
                << Vanishes({SetFeature, GetFeature}, request)
                << Expect{.TakesWrite = request > 2, .Completes = request == 5};
    }

    void hostileBoard()
    {
        QFETCH(Hostility, hostility);
        QFETCH(Expect, expect);
        WindowOnBoard f;
        hostility(f);
        frmMain& w = f.Load();
        WindowControls& v = f.V();
        VerifySettled(f);
        QVERIFY(f.Board->OpensTotal <= 2);  // a board listed twice is opened once
        QCOMPARE(f.Texts(), expect.Loaded);
        // Only the settings are asked for, at their declared length; no more than 64 bytes.
        for (const auto& request : f.Board->Board->Log)
            QVERIFY(request.Length >= 29 && request.Length <= 64);

        // Position 1234 in a report longer than any read buffer, then reports too short.
        for (const Bytes& report : {Cat({{0x01, 0xD2, 0x04}, Bytes(4093, 0xEE)}), Bytes{0x01}, Bytes{0x01, 0x34}})
            f.Board->SendInputReport(report);
        f.Tick();
        VerifySettled(f);
        QCOMPARE(v.lblProduct->text(), expect.Product);
        QCOMPARE(v.lblProduct->textFormat(), Qt::PlainText);
        QCOMPARE(v.Position->text(), expect.Position);
        QCOMPARE(v.Degrees->text(), expect.Degrees);
        if (expect.GoesAndComesBack) {
            // Nothing read through the dying handles was shown as the board's.
            f.PlugIn();
            f.Tick();
            QCOMPARE(f.Texts(), FactoryTexts);
            VerifySettled(f);
        }

        // Valid values typed: either the board holds them all and the window closed, or it
        // stays open, says so, and keeps them. What reached the board is just those values.
        for (std::size_t i = 0; i < 12; ++i)
            v.Boxes[i]->setText(QString::number(Typed[i]));
        const QStringList typed = f.Texts();
        v.Go->click();
        for (const Bytes& sent : f.SetRequests()) {
            QVERIFY(sent.size() >= 30 && sent[1] >= 1 && sent[1] <= 3);
            QCOMPARE(sent, WriteImage(sent.size(), sent[1], TypedSettings));
        }
        const auto held = f.Board->Board->Settings.begin() + 14;
        QCOMPARE(std::equal(TypedSettings.begin(), TypedSettings.end(), held), expect.TakesWrite);
        QCOMPARE(!w.isVisible(), expect.Completes);
        QCOMPARE(f.Texts(), typed);
        if (w.isVisible()) {
            QVERIFY(!f.Status().isEmpty());
            f.Tick();
            VerifySettled(f);
        }
    }
};

QTEST_MAIN(TestHostileBoards)
#include "test_hostile_boards.moc"
