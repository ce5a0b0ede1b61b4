// The language the programs speak: chosen from LANGUAGE, LC_ALL, LC_MESSAGES and LANG
// as the user ranks them, English where no catalogue fits, Qt's own texts in the same
// language; and the pseudo-translation that brackets and lengthens every text.
#include "user_language.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QTest>
#include <QTranslator>

#include <cstdio>

namespace {

const kx::TranslationCatalogues TestCatalogues{QStringLiteral(":/test-i18n"), QStringLiteral("kx5170-test"), {}};

// What a program started with `environment` installs: its language, a text of its own
// and one of Qt's, one a line.
QStringList RunWithEnvironment(const QStringList& environment, bool ownCatalogues = false)
{
    QProcess child;
    QProcessEnvironment variables;
    // Nothing of the test's own locale: only what the case sets.
    variables.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    for (const QString& setting : environment)
        variables.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    child.setProcessEnvironment(variables);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--print-language"), ownCatalogues ? QStringLiteral("programs") : QStringLiteral("test")});
    if (!child.waitForFinished(20000))
        return {QStringLiteral("did not finish")};
    return QString::fromUtf8(child.readAllStandardOutput()).split(u'\n');
}

int PrintLanguage(const QString& which)
{
    const QString language =
        kx::InstallUserLanguage(which == QLatin1String("programs") ? kx::TranslationCatalogues{} : TestCatalogues);
    std::printf("%s\n%s\n%s\n%s\n", qPrintable(language),
                qPrintable(QCoreApplication::translate("Test", "Write")),
                qPrintable(QCoreApplication::translate("QPlatformTheme", "Cancel")),
                qPrintable(QLocale::system().uiLanguages().join(u' ')));
    return 0;
}

}  // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private slots:
    void ChoosesTheFirstLanguageThatIsEnglishOrHasACatalogue_data()
    {
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("German") << QStringList{"de-DE"} << "de";
        QTest::newRow("as the environment spells it") << QStringList{"de_AT.UTF-8@euro"} << "de";
        QTest::newRow("none fits: English") << QStringList{"xx", "fr-FR"} << "";
        QTest::newRow("the second choice") << QStringList{"fr", "de-CH"} << "de";
        QTest::newRow("English before German") << QStringList{"en-GB", "de"} << "";
        QTest::newRow("the C locale") << QStringList{"C"} << "";
        QTest::newRow("C names no language") << QStringList{"xx", "C", "de"} << "de";
        QTest::newRow("nothing asked") << QStringList{} << "";
        QTest::newRow("empty entries skipped") << QStringList{"", "de"} << "de";
    }
    void ChoosesTheFirstLanguageThatIsEnglishOrHasACatalogue()
    {
        QFETCH(QStringList, preferred);
        QFETCH(QString, chosen);
        QCOMPARE(kx::ChooseLanguage(preferred, TestCatalogues), chosen);
    }

    // The user's ranking as the environment gives it, in a program of its own: the
    // system locale is read once per program.
    void FollowsTheEnvironment_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QStringList>("installed");
        const QStringList german{"de", "Schreiben", "Abbrechen"};
        const QStringList english{"", "Write", "Cancel"};
        QTest::newRow("LANGUAGE=de") << QStringList{"LANGUAGE=de", "LANG=C.UTF-8"} << german;
        QTest::newRow("LANGUAGE=xx") << QStringList{"LANGUAGE=xx", "LANG=C.UTF-8"} << english;
        QTest::newRow("LANGUAGE ranks over LANG") << QStringList{"LANGUAGE=xx:de", "LANG=en_US.UTF-8"} << german;
        QTest::newRow("English first in LANGUAGE") << QStringList{"LANGUAGE=en:de", "LANG=de_DE.UTF-8"} << english;
        QTest::newRow("LC_MESSAGES") << QStringList{"LC_MESSAGES=de_DE.UTF-8", "LANG=C.UTF-8"} << german;
        QTest::newRow("LC_ALL over LC_MESSAGES") << QStringList{"LC_ALL=C.UTF-8", "LC_MESSAGES=de_DE.UTF-8"} << english;
        // How a script or a bug report asks for English, in a German session.
        QTest::newRow("LC_ALL=C over LANGUAGE") << QStringList{"LANGUAGE=de", "LC_ALL=C"} << english;
        QTest::newRow("LC_MESSAGES=POSIX over LANGUAGE")
            << QStringList{"LANGUAGE=de", "LC_MESSAGES=POSIX", "LANG=de_DE.UTF-8"} << english;
        QTest::newRow("LC_ALL=de over LC_MESSAGES=C")
            << QStringList{"LC_ALL=de_DE.UTF-8", "LC_MESSAGES=C"} << german;
        QTest::newRow("nothing set") << QStringList{} << english;
        QTest::newRow("pseudo-translation")
            << QStringList{"KX5170_PSEUDO_LOCALE=1", "LC_ALL=C.UTF-8"}
            << QStringList{"pseudo", QStringLiteral("[Ŵŕîţé ~]"), "Cancel"};
        QTest::newRow("pseudo-translation off") << QStringList{"KX5170_PSEUDO_LOCALE=0", "LANGUAGE=de"} << german;
    }
    void FollowsTheEnvironment()
    {
        QFETCH(QStringList, environment);
        QFETCH(QStringList, installed);
        const QStringList printed = RunWithEnvironment(environment);
        QVERIFY2(printed.mid(0, 3) == installed, qPrintable(printed.join(u'|')));
    }

    // The catalogues built into the programs load, German and the pseudo-translation.
    void TheProgramsCataloguesAreBuiltIn()
    {
        QCOMPARE(RunWithEnvironment({"LANGUAGE=de"}, true).value(0), "de");
        QCOMPARE(RunWithEnvironment({"LANGUAGE=de", "KX5170_PSEUDO_LOCALE=yes"}, true).value(0), "pseudo");
    }

    // Each text bracketed, about 40 % longer, with what the program fills in or acts on
    // kept: placeholders, the accelerator, line breaks and markup.
    void PseudoTranslationKeepsWhatTheProgramUses()
    {
        QTranslator pseudo;
        QVERIFY(pseudo.load(QStringLiteral(":/test-i18n/kx5170-test_pseudo.qm")));

        const QString source = QStringLiteral("&Write %1 to the board\nand reset it");
        const QString text = pseudo.translate("Test", "&Write %1 to the board\nand reset it");
        QVERIFY2(text.startsWith(u'[') && text.endsWith(u']'), qPrintable(text));
        QVERIFY2(text.size() >= source.size() * 13 / 10 && text.size() <= source.size() * 16 / 10, qPrintable(text));
        QVERIFY2(text.startsWith(QStringLiteral("[&W")), qPrintable(text));
        QCOMPARE(text.count(u'\n'), 1);
        QVERIFY2(text.arg(QStringLiteral("X")).contains(QStringLiteral(" X ")), qPrintable(text));

        // The count is filled in by QCoreApplication::translate, not the catalogue.
        const QString plural = pseudo.translate("Test", "%n setting(s) in <b>%1</b>", nullptr, 2);
        QVERIFY2(plural.startsWith(QStringLiteral("[%n ")) && plural.contains(QStringLiteral("<b>%1</b>")),
                 qPrintable(plural));
        QVERIFY2(pseudo.translate("Test", "Gone").isEmpty(), "a vanished text has no translation");
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--print-language")
        return PrintLanguage(QString::fromLocal8Bit(argv[2]));
    TestLanguage test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_language.moc"
