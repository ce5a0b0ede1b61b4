// What the user can type into the twelve boxes against the bytes that reach the board:
// each text is refused as a whole (nothing sent, no box rewritten) or read as the
// nearest whole number, halves to even, then brought into the field's range where it
// has one. Every bound is tried from both sides.
#include "setting_bounds.h"
#include "window_fixture.h"

using namespace kx;
Q_DECLARE_METATYPE(Bytes)

namespace {

// Where each box's value lies in the write image.
const QHash<QString, int> WriteOffset = {
    {"DampingScale", 15}, {"Slimit", 16},       {"Homing", 18},   {"Stiff", 20},     {"Damp", 21},
    {"TDamp", 22},        {"OverallScale", 23}, {"TInertia", 24}, {"TFriction", 25}, {"MotorFilter", 26},
    {"InputFilter", 27},  {"Spring", 29}};

const Bytes Refused;

}  // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private slots:
    void typed_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("comma");     // the locale's decimal separator is ","
        QTest::addColumn<Bytes>("sent");     // the field's bytes in the write image; empty: refused
        QTest::addColumn<QString>("shown");  // the box's text after the write; null: as typed
        auto row = [](const char* box, const QString& typed, const Bytes& sent, const QString& shown = {},
                      bool comma = false) {
            QString name = typed.left(24);
            name.replace(u'\n', QLatin1String("\\n")).replace(u'\t', QLatin1String("\\t")).replace(QChar(0), u'@');
            QTest::addRow("%s %s\"%s\"", box, comma ? "(de) " : "", qPrintable(name))
                << box << typed << comma << sent << shown;
        };
        for (const SettingBound& b : SettingBounds) {
            const QString on = QString::number(b.On);
            row(b.Box, on, b.Bytes);
            row(b.Box, QString::number(b.Beyond), b.Clamped ? b.Bytes : Refused, b.Clamped ? on : QString());
        }
        // Rounded first, then held against the bound.
        row("Slimit", "65535.4", {0xFF, 0xFF});
        row("Slimit", "65535.5", Refused);
        row("Homing", "-32768.5", {0x00, 0x80});
        row("TDamp", "250.5", {0xFA});
        row("TDamp", "250.6", {0xFA}, "250");
        // The ends of 32 bits.
        row("Stiff", "2147483647", {0xFF}, "255");
        row("Stiff", "2147483648", Refused);
        row("Stiff", "-2147483648", {0x00}, "0");
        row("Stiff", "-2147483649", Refused);
        row("Homing", QString(10000, u'9'), Refused);
        row("Homing", QString(10000, u'0') + u'7', {0x07, 0x00});

        // Rounding: to the nearest, halves to even.
        row("Homing", "12.5", {0x0C, 0x00});
        row("Homing", "13.5", {0x0E, 0x00});
        row("Homing", "12.51", {0x0D, 0x00});
        row("Homing", "12.49", {0x0C, 0x00});
        row("Homing", "12.50", {0x0C, 0x00});
        row("Homing", "-2.5", {0xFE, 0xFF});
        row("Homing", ".5", {0x00, 0x00});
        row("Homing", "7.", {0x07, 0x00});
        // The locale's separator, and "." in every locale.
        row("Homing", "1,5", Refused);
        row("Homing", "1,5", {0x02, 0x00}, {}, true);
        row("Homing", "1.5", {0x02, 0x00}, {}, true);
        row("Homing", "1,5,", Refused, {}, true);
        // Grouped in German: 5000 or 5? Asked, never guessed.
        row("Slimit", "5.000", Refused, {}, true);
        // Signs and blanks.
        row("Homing", " \t42\t ", {0x2A, 0x00});
        row("Homing", "+7", {0x07, 0x00});
        // Not a plain decimal number.
        for (const char* text : {"--5", "5-", "+-3", "- 5", "", "   ", "abc", "1e3", "0x10", "12 3", "1.2.3", "."})
            row("Homing", text, Refused);
        row("Homing", "12\n", Refused);
        row("Homing", QStringLiteral("1") + QChar(0) + QStringLiteral("2"), Refused);
        row("Homing", QString::fromUtf16(u"\uFF11\uFF12"), Refused);  // full-width digits
        row("Homing", QString::fromUtf16(u"\u0663"), Refused);        // an Arabic-Indic digit
        row("Homing", QString::fromUtf16(u"\u00A012"), Refused);      // a no-break space
        row("Homing", QString::fromUtf16(u"1\u066B5"), Refused);      // the Arabic decimal separator
    }

    void typed()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(bool, comma);
        QFETCH(Bytes, sent);
        QFETCH(QString, shown);
        LocaleForTest locale(comma ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        WindowOnBoard f;
        frmMain& w = f.Load();
        WindowControls& v = f.V();
        QLineEdit* target = w.findChild<QLineEdit*>(box);
        // An edit the write would correct, here so that a refusal must leave it alone.
        QLineEdit* other = target == v.Stiff ? v.TDamp : v.Stiff;
        other->setText(QStringLiteral("300"));
        target->setText(typed);
        QCOMPARE(target->text(), typed);  // NULs and newlines included
        const QStringList before = f.Texts();

        v.Go->click();
        if (sent.empty()) {
            // Refused: the box named and its text selected, the window still watching the board.
            QVERIFY(w.isVisible() && f.BoardOpen());
            QVERIFY(f.SetRequests().empty());
            QCOMPARE(f.Texts(), before);
            QCOMPARE(w.focusWidget(), target);
            QCOMPARE(target->selectedText(), typed);
            QVERIFY2(v.lblStatus->text().startsWith(target->accessibleName() + u':'), qPrintable(v.lblStatus->text()));
            return;
        }
        QVERIFY2(!w.isVisible(), qPrintable(v.lblStatus->text()));
        Bytes expected = FactoryWriteImage();
        expected[other == v.Stiff ? 20 : 22] = other == v.Stiff ? 0xFF : 0xFA;
        std::copy(sent.begin(), sent.end(), expected.begin() + WriteOffset.value(box));
        QCOMPARE(f.SetRequests().at(0), expected);
        QCOMPARE(target->text(), shown.isNull() ? typed : shown);
        QCOMPARE(other->text(), other == v.Stiff ? QStringLiteral("255") : QStringLiteral("250"));
    }

    // Two bad boxes: the one the board checks first is named, whatever the screen's order.
    // Every neighbouring pair of the board's order, so that any two swapped show.
    void theFirstBadBoxInTheBoardsOrderIsNamed()
    {
        WindowOnBoard f;
        frmMain& w = f.Load();
        const QStringList boardsOrder = {"Slimit",   "Homing",    "Stiff",  "Damp",         "TDamp",        "TInertia",
                                         "TFriction", "Spring",   "DampingScale", "OverallScale", "MotorFilter", "InputFilter"};
        for (qsizetype i = 0; i + 1 < boardsOrder.size(); ++i) {
            QLineEdit* first = w.findChild<QLineEdit*>(boardsOrder[i]);
            QLineEdit* second = w.findChild<QLineEdit*>(boardsOrder[i + 1]);
            const QString firstText = first->text(), secondText = second->text();
            second->setText(QStringLiteral("y"));
            first->setText(QStringLiteral("x"));
            f.V().Go->click();
            QVERIFY2(w.focusWidget() == first, qPrintable(boardsOrder[i] + QStringLiteral(" before ") + boardsOrder[i + 1]));
            QVERIFY2(f.Status().startsWith(first->accessibleName() + u':'), qPrintable(f.Status()));
            first->setText(firstText);
            second->setText(secondText);
        }
        QVERIFY(f.SetRequests().empty());
    }

    // Tab walks the boxes in the board's logic, not the screen's, the rotation after the
    // stops it sets, and passes the two buttons.
    void tabWalksTheBoardsOrder()
    {
        WindowOnBoard f;
        frmMain& w = f.Load();
        WindowControls& v = f.V();
        auto* rotation = w.findChild<QLineEdit*>(QStringLiteral("Rotation"));
        auto* keepOpen = w.findChild<QPushButton*>(QStringLiteral("WriteKeepOpen"));
        const QList<QWidget*> expected = {v.Homing,      v.TDamp,      v.Slimit,       rotation,   v.Stiff,
                                          v.Damp,        v.Go,         keepOpen,       v.DampingScale,
                                          v.OverallScale, v.TInertia,  v.TFriction,    v.MotorFilter,
                                          v.InputFilter, v.Spring};
        QList<QWidget*> walked;
        for (QWidget* at = v.Homing; walked.size() < expected.size(); at = at->nextInFocusChain()) {
            while (!(at->focusPolicy() & Qt::TabFocus) || !at->isEnabled() || !at->isVisibleTo(&w))
                at = at->nextInFocusChain();
            walked << at;
        }
        QCOMPARE(walked, expected);
    }
};

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
