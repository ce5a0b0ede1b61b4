// The rotation field: degrees typed become the nearest stops, the stops come back as
// the degrees they really give, and without the board's type it stays out of the way.
#include "input_report.h"
#include "rotation_field.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace kx;

namespace {

struct LocaleForTest {
    explicit LocaleForTest(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleForTest() { QLocale::setDefault(QLocale::c()); }
};

struct Field {
    RotationField Widget;
    QLineEdit* Degrees = Widget.findChild<QLineEdit*>(QStringLiteral("Rotation"));
    QLabel* Caption = Widget.findChild<QLabel*>(QStringLiteral("lblRotation"));
    QSignalSpy Typed{&Widget, &RotationField::StopsTyped};

    explicit Field(std::optional<int> type) { Widget.SetCountsPerTurn(CountsPerTurn(type)); }

    // As a user types: the text replaced key by key, then the field left. What the
    // last key sends is kept; the keys before it send what their texts give.
    void Type(const QString& text, bool leave = true)
    {
        Degrees->selectAll();
        QTest::keyClicks(Degrees, text.chopped(1));
        Typed.clear();
        QTest::keyClicks(Degrees, text.right(1));
        if (leave)
            emit Degrees->editingFinished();
    }
    std::optional<int> LastTyped() const
    {
        return Typed.isEmpty() ? std::nullopt : std::optional(Typed.last().at(0).toInt());
    }
};

}  // namespace

class TestRotationField : public QObject {
    Q_OBJECT

private slots:
    void typedDegreesBecomeStops_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stops");     // -1: none sent
        QTest::addColumn<QString>("shown");  // once the field is left
        QTest::newRow("900, type 1") << 1 << "900" << 10240 << "900";
        QTest::newRow("900, type 2") << 2 << "900" << 12500 << "900";
        // 1000 × 8192 / 720 = 11377.78; 11378 counts give 1000.02 degrees.
        QTest::newRow("not even") << 1 << "1000" << 11378 << "1000";
        // 0.9 × 10000 / 720 = 12.5, away from zero; 13 counts give 0.94.
        QTest::newRow("a half count") << 2 << "0.9" << 13 << "0.9";
        // Rounded to a tenth first: 899.95 is 900.0.
        QTest::newRow("two decimals") << 1 << "899.95" << 10240 << "900";
        QTest::newRow("the most on type 1") << 1 << "5759.9" << 65535 << "5759.9";
        QTest::newRow("past the most") << 1 << "5760" << -1 << "5760";
        QTest::newRow("no number") << 1 << "x" << -1 << "x";
    }

    void typedDegreesBecomeStops()
    {
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(int, stops);
        QFETCH(QString, shown);
        Field f(type);
        f.Type(typed);
        QCOMPARE(f.LastTyped(), stops < 0 ? std::nullopt : std::optional(stops));
        QCOMPARE(f.Degrees->text(), shown);
        if (stops < 0)
            QVERIFY2(f.Degrees->toolTip().startsWith(typed == QLatin1String("5760")
                                                         ? QStringLiteral("This board turns at most 5759.9 degrees")
                                                         : QStringLiteral("Type the rotation in degrees")),
                     qPrintable(f.Degrees->toolTip()));
    }

    void stopsShowTheirDegrees()
    {
        Field f(1);
        f.Widget.ShowStops(10240);
        QCOMPARE(f.Degrees->text(), QStringLiteral("900"));
        // 6000 × 720 / 8192 = 527.34.
        f.Widget.ShowStops(6000);
        QCOMPARE(f.Degrees->text(), QStringLiteral("527.3"));
        f.Widget.ShowStops(std::nullopt);  // Stops holds no count
        QCOMPARE(f.Degrees->text(), QString());
        f.Widget.ShowStops(70000);  // nor one the window would send
        QCOMPARE(f.Degrees->text(), QString());
        QVERIFY(f.Typed.isEmpty());  // showing is not typing

        // The window echoes the stops back while the user is still typing: "900." stays,
        // on its way to "900.5".
        f.Type(QStringLiteral("900."), false);
        QCOMPARE(f.LastTyped(), std::optional(10240));
        f.Widget.ShowStops(10240);
        QCOMPARE(f.Degrees->text(), QStringLiteral("900."));
        QTest::keyClicks(f.Degrees, QStringLiteral("5"));
        QCOMPARE(f.LastTyped(), std::optional(10246));  // 9005 × 8192 / 7200 = 10245.69
    }

    void readsTheLocalesSeparator()
    {
        LocaleForTest german(QLocale(QLocale::German, QLocale::Germany));
        Field f(1);
        f.Type(QStringLiteral("899,9"));
        QCOMPARE(f.LastTyped(), std::optional(10239));  // 8999 × 8192 / 7200 = 10238.86
        QCOMPARE(f.Degrees->text(), QStringLiteral("899,9"));
        // "." groups thousands in German: "1.080" is not 1.08 degrees.
        f.Type(QStringLiteral("1.080"));
        QVERIFY(f.Typed.isEmpty());
        QCOMPARE(RotationField::TenthsOf(QStringLiteral("1.5"), QLocale::c()), std::optional<std::int64_t>(15));
        QCOMPARE(RotationField::TenthsOf(QStringLiteral("1,5"), QLocale::c()), std::nullopt);
    }

    void withoutTheBoardsTypeSaysWhy()
    {
        Field f(std::nullopt);
        QVERIFY(!f.Widget.isEnabled());
        QVERIFY(f.Caption->text().contains(QStringLiteral("board type unknown")));
        QVERIFY(f.Degrees->toolTip().contains(QStringLiteral("needs the board's type")));
        QCOMPARE(f.Degrees->accessibleDescription(), f.Degrees->toolTip());
        f.Widget.ShowStops(10240);
        QCOMPARE(f.Degrees->text(), QString());  // no angle without the type, never a guess

        // The type arrives: the stops already there are shown.
        f.Widget.SetCountsPerTurn(CountsPerTurn(1));
        QVERIFY(f.Widget.isEnabled());
        QCOMPARE(f.Caption->text(), QStringLiteral("degrees lock to lock"));
        QCOMPARE(f.Degrees->text(), QStringLiteral("900"));
        QCOMPARE(f.Caption->buddy(), f.Degrees);
        f.Widget.SetCountsPerTurn(CountsPerTurn(2));
        QCOMPARE(f.Degrees->text(), QStringLiteral("737.3"));  // 10240 × 0.072 = 737.28
    }
};

QTEST_MAIN(TestRotationField)
#include "test_rotation_field.moc"
