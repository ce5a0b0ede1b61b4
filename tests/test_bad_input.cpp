// What the user can type into the twelve boxes against what reaches the board: each
// text is refused as a whole (nothing sent, no box rewritten) or read as the nearest
// whole number, halves to even, then brought into the field's range where it has one.
#include "window_fixture.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

using namespace kx;

namespace {

constexpr int Refused = std::numeric_limits<int>::min();
const QStringList BoxNames = {"Slimit",       "Homing",   "Stiff",     "Damp",        "TDamp",       "DampingScale",
                              "OverallScale", "TInertia", "TFriction", "MotorFilter", "InputFilter", "Spring"};
const int FactoryValues[12] = {5000, -100, 200, 50, 20, 75, 90, 10, 5, 4, 1000, 64};

std::array<int, 12> BoardValues(const WindowOnBoard& f)
{
    const std::optional<WheelSettings> held = DecodeSettingsReport(f.Board->Board->Settings);
    std::array<int, 12> values{};
    for (std::size_t i = 0; i < SettingsFields.size(); ++i)
        values[i] = (*held).*SettingsFields[i].Value;
    return values;
}

}  // namespace

class TestBadInput : public QObject {
    Q_OBJECT

    int Tried = 0;

private slots:
    void init() { ++Tried; }
    void cleanupTestCase() { qInfo("bad texts tried: %d", Tried); }

    void oneBox_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("comma");     // the locale's decimal separator is ","
        QTest::addColumn<int>("sent");       // Refused, or the value the board must hold
        QTest::addColumn<QString>("shown");  // the box's text after the write; null: as typed
        auto row = [](const char* box, const QString& typed, int sent, const QString& shown = {}, bool comma = false) {
            QString name = typed.left(24);
            name.replace(u'\n', QLatin1String("\\n")).replace(u'\t', QLatin1String("\\t")).replace(QChar(0), u'@');
            QTest::addRow("%s %s\"%s\"", box, comma ? "(de) " : "", qPrintable(name))
                << box << typed << comma << sent << shown;
        };
        const QString nul = QStringLiteral("1") + QChar(0) + QStringLiteral("2");
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
        row("Homing", "1,5", 2, {}, true);
        row("Homing", "1.5", 2, {}, true);
        row("Homing", "-2,5", -2, {}, true);
        row("Homing", nul, Refused);
        row("Homing", "12\n", Refused);
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
        row("TInertia", QString(10000, u'9'), Refused);
        row("TInertia", QString(10000, u'0') + u'7', 7);
        row("TInertia", "7.", 7);
        row("TFriction", "+-3", Refused);
        row("TFriction", " \t3\t ", 3);
        row("Spring", "128", 127, "127");
        row("Spring", "99999999999999999999", Refused);
        row("DampingScale", "0", 1, "1");
        row("DampingScale", "100.5", 100);
        row("DampingScale", "0,4", 1, "1", true);
        row("OverallScale", "150", 100, "100");
        row("OverallScale", "Scale", Refused);
        row("MotorFilter", "0", 1, "1");
        row("InputFilter", "20000", 10000, "10000");
        row("InputFilter", "1e4", Refused);
        row("InputFilter", "10000,5", 10000, {}, true);
        row("InputFilter", QString::fromUtf16(u"1\u066B5"), Refused);
    }

    void oneBox()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(bool, comma);
        QFETCH(int, sent);
        QFETCH(QString, shown);
        LocaleForTest locale(comma ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        WindowOnBoard f;
        frmMain& w = f.Load();
        const qsizetype at = BoxNames.indexOf(box);
        QLineEdit* target = f.Boxes()[at];
        // An edit the write would correct, here so that a refusal must leave it alone.
        QLineEdit* other = at == 2 ? w.TDamp : w.Stiff;
        other->setText(QStringLiteral("300"));
        target->setText(typed);
        QCOMPARE(target->text(), typed);  // NULs and newlines included
        const QStringList before = f.Texts();

        w.Go_Click();
        QCOMPARE(f.OutOfRangeSent(), QString());
        if (sent == Refused) {
            QVERIFY(w.isVisible());
            QVERIFY(f.SetRequests().empty());
            QCOMPARE(f.Texts(), before);
            QCOMPARE(w.focusWidget(), target);
            QVERIFY(!w.lblStatus->text().isEmpty());
            return;
        }
        QVERIFY2(!w.isVisible(), qPrintable(w.lblStatus->text()));
        std::array<int, 12> expected;
        std::copy(std::begin(FactoryValues), std::end(FactoryValues), expected.begin());
        expected[at] = sent;
        expected[at == 2 ? 4 : 2] = at == 2 ? 250 : 255;
        QCOMPARE(BoardValues(f), expected);
        QCOMPARE(target->text(), shown.isNull() ? typed : shown);
        QCOMPARE(other->text(), QString::number(expected[at == 2 ? 4 : 2]));
    }

    void everyBoxBeyondItsRange()
    {
        for (bool high : {true, false}) {
            WindowOnBoard f;
            frmMain& w = f.Load();
            for (QLineEdit* box : f.Boxes())
                box->setText(high ? "2147483647" : "-2147483648");
            f.Boxes()[0]->setText("65535");
            f.Boxes()[1]->setText("-32768");
            w.Go_Click();
            QVERIFY(!w.isVisible());
            const std::array<int, 12> held = BoardValues(f);
            QCOMPARE(held[0], 65535);
            QCOMPARE(held[1], -32768);
            for (std::size_t i = 2; i < 12; ++i) {
                const int bound = high ? Allowed[i].Highest : Allowed[i].Lowest;
                QCOMPARE(held[i], bound);
                QCOMPARE(f.Boxes()[i]->text(), QString::number(bound));
            }
        }
    }
};

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
