// What the user can type into the twelve boxes, against what reaches the board. Each
// text is either refused as a whole (nothing sent, no box rewritten, the focus on the
// box, the window still open) or read by the write handler's rule: rounded to the
// nearest whole number, halves to even, and brought into the field's range where the
// field has one. Nothing outside a field's range ever reaches the board.
#include "board_model.h"
#include "settings_report.h"
#include "window_fixture.h"

#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <QtTest>

using namespace kx;

namespace {

constexpr int Refused = std::numeric_limits<int>::min();

// Box names in the order of SettingsFields.
const QStringList BoxNames = {"Slimit",       "Homing",   "Stiff",     "Damp",        "TDamp",       "DampingScale",
                              "OverallScale", "TInertia", "TFriction", "MotorFilter", "InputFilter", "Spring"};
const int FactoryValues[12] = {5000, -100, 200, 50, 20, 75, 90, 10, 5, 4, 1000, 64};

// The window's ranges, in the same order.
struct Range {
    int Lowest, Highest;
};
const Range Allowed[12] = {{0, 65535}, {-32768, 32767}, {0, 255}, {0, 255}, {0, 250}, {1, 100},
                           {1, 100},   {0, 250},        {0, 250}, {1, 255}, {1, 10000}, {0, 127}};

QStringList Texts(WindowOnBoard& f)
{
    QStringList texts;
    for (QLineEdit* box : f.Boxes())
        texts << box->text();
    return texts;
}

// The values the board holds now.
std::array<int, 12> BoardValues(const WindowOnBoard& f)
{
    const std::optional<WheelSettings> held = DecodeSettingsReport(f.Board->Board->Settings);
    std::array<int, 12> values{};
    for (std::size_t i = 0; i < SettingsFields.size(); ++i)
        values[i] = (*held).*SettingsFields[i].Value;
    return values;
}

void VerifyNothingOutOfRangeSent(const WindowOnBoard& f)
{
    for (const auto& sent : f.SetRequests()) {
        const std::optional<WheelSettings> values = DecodeSettingsReport(std::span(sent).subspan(1));
        QVERIFY(values);
        for (std::size_t i = 0; i < SettingsFields.size(); ++i) {
            const int v = (*values).*SettingsFields[i].Value;
            QVERIFY2(v >= Allowed[i].Lowest && v <= Allowed[i].Highest, SettingsFields[i].Name);
        }
    }
}

// Sets the default locale for one test and puts C back afterwards, also on failure.
struct LocaleForTest {
    explicit LocaleForTest(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleForTest() { QLocale::setDefault(QLocale::c()); }
};

QString WithNul()
{
    QString text = QStringLiteral("12");
    text.insert(1, QChar(u'\0'));
    return text;
}

}  // namespace

class TestBadInput : public QObject {
    Q_OBJECT

    int Tried = 0;

private slots:
    void cleanupTestCase() { qInfo("bad texts tried: %d", Tried); }

    void oneBox_data();
    void oneBox();
    void refusalComesBeforeAnyCorrection();
    void everyBoxBeyondItsRangeAtOnce();
    void refusedThenCorrected();
};

void TestBadInput::oneBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("german");  // the locale's decimal separator is ","
    QTest::addColumn<int>("sent");     // Refused, or the value the board must hold
    QTest::addColumn<QString>("shown");  // the box's text after the write; null: as typed

    const QString asTyped;
    auto row = [&](const char* box, const QString& typed, int sent, const QString& shown = QString(),
                   bool german = false) {
        QTest::addRow("%s %s\"%s\"", box, german ? "(de) " : "",
                      qPrintable(typed.left(24).replace(u'\n', QStringLiteral("\\n")).replace(u'\t', QStringLiteral("\\t")).replace(QChar(0), QStringLiteral("\\0"))))
            << box << typed << german << sent << shown;
    };
    const QString nines(10000, u'9');
    const QString zerosThenSeven = QString(10000, u'0') + u'7';

    row("Slimit", "", Refused);
    row("Slimit", "   ", Refused);
    row("Slimit", "abc", Refused);
    row("Slimit", "1e3", Refused);
    row("Slimit", "0x10", Refused);
    row("Slimit", " 42\t", 42);
    row("Slimit", "65535.4", 65535);
    row("Slimit", "65535.5", Refused);
    row("Slimit", "-0.5", 0);
    row("Slimit", "4294967296", Refused);
    row("Homing", "--5", Refused);
    row("Homing", "5-", Refused);
    row("Homing", "-32768.5", -32768);
    row("Homing", "+32767", 32767);
    row("Homing", "1,5", Refused);
    row("Homing", "1,5", 2, asTyped, true);
    row("Homing", "1.5", 2, asTyped, true);
    row("Homing", "-2,5", -2, asTyped, true);
    row("Homing", WithNul(), Refused);
    row("Homing", "12\n", Refused);
    row("Stiff", "300", 255, "255");
    row("Stiff", "-7", 0, "0");
    row("Stiff", "255.5", 255, "255");
    row("Stiff", "2147483647", 255, "255");
    row("Stiff", "2147483648", Refused);
    row("Stiff", "-2147483648", 0, "0");
    row("Stiff", "-2147483649", Refused);
    row("Damp", QString::fromUtf16(u"\uFF11\uFF12"), Refused);
    row("Damp", QString::fromUtf16(u"\u0663"), Refused);
    row("Damp", QString::fromUtf16(u"\u00A012"), Refused);
    row("Damp", "12 3", Refused);
    row("Damp", ".", Refused);
    row("Damp", ".5", 0);
    row("TDamp", "250.5", 250);
    row("TDamp", "250.6", 250, "250");
    row("TDamp", "1.2.3", Refused);
    row("TInertia", nines, Refused);
    row("TInertia", zerosThenSeven, 7);
    row("TInertia", "7.", 7);
    row("TFriction", "1,5", Refused);
    row("TFriction", "+-3", Refused);
    row("TFriction", " \t3\t ", 3);
    row("Spring", "128", 127, "127");
    row("Spring", "127.5", 127, "127");
    row("Spring", "99999999999999999999", Refused);
    row("DampingScale", "0", 1, "1");
    row("DampingScale", "100.5", 100);
    row("DampingScale", "0,4", 1, "1", true);
    row("OverallScale", "150", 100, "100");
    row("OverallScale", "Scale", Refused);
    row("MotorFilter", "0", 1, "1");
    row("MotorFilter", "", Refused);
    row("InputFilter", "20000", 10000, "10000");
    row("InputFilter", "1e4", Refused);
    row("InputFilter", "10000,5", 10000, asTyped, true);
    row("InputFilter", QString::fromUtf16(u"1\u066B5"), Refused);
}

void TestBadInput::oneBox()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(bool, german);
    QFETCH(int, sent);
    QFETCH(QString, shown);
    ++Tried;

    LocaleForTest locale(german ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    const qsizetype at = BoxNames.indexOf(box);
    QLineEdit* target = f.Boxes()[at];
    target->setText(typed);
    // The box holds the text exactly as typed: NULs and newlines included.
    QCOMPARE(target->text(), typed);
    const QStringList before = Texts(f);

    w.Go_Click();
    VerifyNothingOutOfRangeSent(f);

    if (sent == Refused) {
        QVERIFY(w.isVisible());
        QVERIFY(f.SetRequests().empty());
        QCOMPARE(Texts(f), before);
        QCOMPARE(w.focusWidget(), target);
        QVERIFY(!w.lblStatus->text().isEmpty());
        QVERIFY(w.Timer->isActive());
        return;
    }

    QVERIFY2(!w.isVisible(), qPrintable(w.lblStatus->text()));
    std::array<int, 12> expected;
    std::copy(std::begin(FactoryValues), std::end(FactoryValues), expected.begin());
    expected[at] = sent;
    const std::array<int, 12> held = BoardValues(f);
    for (std::size_t i = 0; i < held.size(); ++i)
        QCOMPARE(held[i], expected[i]);
    QCOMPARE(target->text(), shown.isNull() ? typed : shown);
}

void TestBadInput::refusalComesBeforeAnyCorrection()
{
    // A box that needs correcting, then a box that cannot be read: the refusal leaves
    // the first as typed, so the user sees exactly what they wrote.
    ++Tried;
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    w.Stiff->setText("300");
    w.InputFilter->setText("20000");
    w.Spring->setText("1e2");
    w.Go_Click();
    QVERIFY(w.isVisible());
    QVERIFY(f.SetRequests().empty());
    QCOMPARE(w.Stiff->text(), QStringLiteral("300"));
    QCOMPARE(w.InputFilter->text(), QStringLiteral("20000"));
    QCOMPARE(w.focusWidget(), w.Spring);
}

void TestBadInput::everyBoxBeyondItsRangeAtOnce()
{
    ++Tried;
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    const auto boxes = f.Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setText("2147483647");
    boxes[0]->setText("65535");
    boxes[1]->setText("-32768");
    w.Go_Click();
    QVERIFY(!w.isVisible());
    VerifyNothingOutOfRangeSent(f);
    const std::array<int, 12> held = BoardValues(f);
    QCOMPARE(held[0], 65535);
    QCOMPARE(held[1], -32768);
    for (std::size_t i = 2; i < held.size(); ++i) {
        QCOMPARE(held[i], Allowed[i].Highest);
        QCOMPARE(boxes[i]->text(), QString::number(Allowed[i].Highest));
    }
}

void TestBadInput::refusedThenCorrected()
{
    // Refused, corrected, written: the refusal leaves the window ready for a retry.
    ++Tried;
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    w.Homing->setText("40000");
    w.Go_Click();
    QVERIFY(w.isVisible());
    QVERIFY(f.SetRequests().empty());

    f.Board->SendPosition(77);
    w.Timer_Timer();
    QCOMPARE(w.Position->text(), QStringLiteral(" 77"));

    w.Homing->setText("-40");
    w.Go_Click();
    QVERIFY(!w.isVisible());
    QCOMPARE(BoardValues(f)[1], -40);
}

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
