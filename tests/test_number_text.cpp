// A box's text read as a whole number in the user's locale: halves to even, and a text
// that reads two ways refused with both readings.
#include "number_text.h"

#include <QtTest>

using namespace kx;

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void readsInTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");   // when taken
        QTest::addColumn<QString>("why");  // null: taken; empty: refused as no number
        auto taken = [](const char* locale, const char* typed, int value) {
            QTest::addRow("%s \"%s\"", locale, typed) << locale << typed << value << QString();
        };
        auto refused = [](const char* locale, const char* typed, const QString& why) {
            QTest::addRow("%s \"%s\" refused", locale, typed) << locale << typed << 0 << why;
        };
        // Halves go to the even neighbour however many zeros follow the 5.
        taken("C", "12.50", 12);
        taken("C", "12.500000", 12);
        taken("C", "13.50", 14);
        taken("C", "12.501", 13);
        taken("C", "12.5000001", 13);
        // "." groups thousands in German: 5.000 is five thousand to whoever typed it.
        refused("de_DE", "5.000", "Stops (each side): \"5.000\" could mean 5000 or 5. Type 5000 or 5.");
        refused("de_DE", " -12.500 ", "Stops (each side): \"-12.500\" could mean -12500 or -12. Type -12500 or -12.");
        refused("de_DE", "1.000,5", QString(""));  // grouped with a fraction: WholeNumberValue refuses it
        refused("it_IT", "65.535", "Stops (each side): \"65.535\" could mean 65535 or 66. Type 65535 or 66.");
        taken("C", "5.000", 5);
        taken("de_DE", "5,000", 5);
        taken("de_DE", "5.00", 5);       // not three digits: no grouping
        taken("de_DE", "5000.000", 5000);  // four before the separator: no grouping
        taken("de_DE", "0.000", 0);      // both readings the same
        // "," groups thousands in English, where only "." is a decimal point.
        refused("en_US", "5,000", QString(""));
        taken("en_US", "5.000", 5);
    }

    void readsInTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(int, value);
        QFETCH(QString, why);
        const QLocale in(locale);
        const std::optional<std::int32_t> read = BoxNumberValue(typed, in);
        QCOMPARE(read, why.isNull() ? std::optional<std::int32_t>(value) : std::nullopt);
        QCOMPARE(TwoReadingsRefusal(u"Stops (each side)", typed, in), why.isNull() ? QString() : why);
    }

    // Every group after the first holds three digits, the first one to three.
    void groupsOfThree()
    {
        const QLocale german(QStringLiteral("de_DE"));
        QCOMPARE(GroupedNumberValue(u"1.234.567", german), std::optional<std::int32_t>(1234567));
        QCOMPARE(GroupedNumberValue(u"1.234.567,5", german), std::optional<std::int32_t>(1234568));
        for (const char16_t* text : {u"1.23.456", u"1.2345.678", u"1234.567", u".234", u"1.234.", u"1234"})
            QVERIFY2(!GroupedNumberValue(text, german), qPrintable(QString::fromUtf16(text)));
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "test_number_text.moc"
