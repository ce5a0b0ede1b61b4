// kx5170ctl in the user's language, run as a user runs it: German under a German
// locale, every text bracketed under the pseudo-translation, and what scripts read
// (JSON, exit statuses, option and command names, setting keys) the same in both.
#include "board_session.h"
#include "other_holders.h"
#include "restore_journal.h"
#include "settings_table.h"

#include <QProcess>
#include <QRegularExpression>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTranslator>
#include <QDir>
#include <QtTest>

using namespace kx;

namespace {

enum class Language { English, German, Pseudo };

struct Run {
    int Status;
    QString Out, Err;
};

class TestCtlLanguage : public QObject {
    Q_OBJECT

    QTemporaryDir Runtime;  // the demo board's settings, this test's alone

    Run Ctl(Language language, const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG", "KX5170_PSEUDO_LOCALE"})
            environment.remove(QLatin1String(name));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), Runtime.path());
        environment.insert(QStringLiteral("XDG_STATE_HOME"), Runtime.path() + QStringLiteral("/state"));
        switch (language) {
            case Language::English:
                environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
                break;
            case Language::German:
                environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("de"));
                environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
                break;
            case Language::Pseudo:
                environment.insert(QStringLiteral("KX5170_PSEUDO_LOCALE"), QStringLiteral("1"));
                break;
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(KX5170CTL_PATH), arguments);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            return {-1, {}, {}};
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    static QStringList Words(const char* line) { return QString::fromUtf8(line).split(u' '); }

    // Each failing command, its status and a piece of its German message.
    static void FailingCommands()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("german");
        QTest::newRow("an option for another command")
            << Words("--demo show --clamp") << 1 << QStringLiteral("show: --clamp gilt für apply, set und run");
        QTest::newRow("an unknown command")
            << Words("--demo wobble") << 1 << QStringLiteral("unbekannter Befehl „wobble“");
        QTest::newRow("an unknown setting")
            << Words("--demo set stiffness=3") << 1 << QStringLiteral("set: unbekannte Einstellung „stiffness“");
        QTest::newRow("a file that is not there")
            << Words("--demo apply /nonexistent/rally.kx5170") << 1
            << QStringLiteral("/nonexistent/rally.kx5170 kann nicht gelesen werden");
        // A settings file's reason, marked where the file is read and said in German.
        static const QString badFile = [] {
            QFile file(QDir::temp().filePath(QStringLiteral("kx5170-language-%1.kx5170").arg(QCoreApplication::applicationPid())));
            if (!file.open(QIODevice::WriteOnly) || file.write("kx5170-settings = 1\nstops = abc\n") < 0)
                qFatal("cannot write %s", qPrintable(file.fileName()));
            return file.fileName();
        }();
        QTest::newRow("a settings file refused") << (Words("--demo apply") << badFile) << 1
                                                 << QStringLiteral(":2: \"stops\" muss eine ganze Zahl sein, nicht \"abc\"");
        QTest::newRow("no such board") << Words("--demo --board nosuch show") << 2
                                       << QStringLiteral("keine KX5170-Platine mit der Seriennummer nosuch gefunden");
    }

private slots:
    void initTestCase() { QVERIFY(Runtime.isValid()); }

    void helpIsGerman()
    {
        const Run help = Ctl(Language::German, {QStringLiteral("--help")});
        QCOMPARE(help.Status, 0);
        QVERIFY2(help.Out.contains(QStringLiteral("Befehle (kx5170ctl help COMMAND erklärt einen genauer):")),
                 qPrintable(help.Out));
        QVERIFY(help.Out.contains(QStringLiteral("diese Hilfe ausgeben")));
        QVERIFY(help.Out.contains(QStringLiteral("Rückgabewert: 0 erledigt")));
        QVERIFY2(!help.Out.contains(QStringLiteral("every board present")), qPrintable(help.Out));
        // What is typed stays as it is typed.
        for (const char* option : {"--board", "--demo", "--force-in-use", "--json", "--clamp", "--convert", "--force",
                                   "--no-verify", "--quiet", "--list"})
            QVERIFY2(help.Out.contains(QLatin1String(option)), option);
        for (const SettingsField& field : SettingsFields)
            QVERIFY2(help.Out.contains(QLatin1String(field.Key)), field.Key);

        const Run run = Ctl(Language::German, Words("help run"));
        QCOMPARE(run.Status, 0);
        QVERIFY2(run.Out.startsWith(QStringLiteral("Aufruf: kx5170ctl run [--clamp]")), qPrintable(run.Out));
        QVERIFY(run.Out.contains(QStringLiteral("-- %command%")));
        QVERIFY(run.Out.contains(QStringLiteral("Optionen für alle Befehle: --board SERIAL|PORT|NODE, --demo")));
    }

    void failuresAreGermanWithTheSameStatus_data() { FailingCommands(); }
    void failuresAreGermanWithTheSameStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, german);
        const Run english = Ctl(Language::English, arguments);
        const Run translated = Ctl(Language::German, arguments);
        QCOMPARE(english.Status, status);
        QCOMPARE(translated.Status, status);
        QVERIFY2(translated.Err.startsWith(QStringLiteral("kx5170ctl: ")), qPrintable(translated.Err));
        QVERIFY2(translated.Err.contains(german), qPrintable(translated.Err));
        QVERIFY(translated.Err != english.Err);
    }

    // show in German: every caption of the settings table has its German, so a caption
    // added to the table and not to kx5170ctl's list of them shows up here.
    void showIsGerman()
    {
        const Run show = Ctl(Language::German, Words("--demo show"));
        QCOMPARE(show.Status, 0);
        QVERIFY2(show.Out.contains(QStringLiteral("Seriennummer:")), qPrintable(show.Out));
        for (const SettingsField& field : SettingsFields) {
            QVERIFY2(!show.Out.contains(QLatin1String(field.Caption)), field.Caption);
            QVERIFY2(show.Out.contains(QLatin1String(field.Key)), field.Key);
        }
        QVERIFY(show.Out.contains(QStringLiteral("Grad von Anschlag zu Anschlag")));
    }

    // What a script reads does not depend on the language: the JSON byte for byte, a
    // leftover's sentence in it too, and the status.
    void scriptsReadTheSameInEveryLanguage()
    {
        const QString file = Runtime.path() + QStringLiteral("/rally.kx5170");
        QCOMPARE(Ctl(Language::English, {QStringLiteral("--demo"), QStringLiteral("save"), file}).Status, 0);
        // A run killed with its command leaves the board's own settings saved: show
        // then tells of them.
        const Run killed =
            Ctl(Language::English,
                {QStringLiteral("--demo"), QStringLiteral("--quiet"), QStringLiteral("run"), file, QStringLiteral("--"),
                 QStringLiteral("sh"), QStringLiteral("-c"), QStringLiteral("kill -9 $PPID")});
        QCOMPARE(killed.Status, -1);

        for (const QStringList& arguments : {Words("--demo show --json"), Words("--demo list")}) {
            const Run english = Ctl(Language::English, arguments);
            const Run german = Ctl(Language::German, arguments);
            const Run pseudo = Ctl(Language::Pseudo, arguments);
            QCOMPARE(german.Status, english.Status);
            QCOMPARE(pseudo.Status, english.Status);
            if (arguments.contains(QStringLiteral("--json"))) {
                QCOMPARE(english.Status, 0);
                QVERIFY2(english.Out.contains(QStringLiteral("\"leftover\"")), qPrintable(english.Out));
                QVERIFY2(english.Out.contains(QStringLiteral("The board still holds rally.kx5170")),
                         qPrintable(english.Out));
                QCOMPARE(german.Out, english.Out);
                QCOMPARE(pseudo.Out, english.Out);
            } else {
                // The text for a person tells the same leftover in German.
                QVERIFY2(german.Out.contains(QStringLiteral("Die Platine hat noch rally.kx5170")),
                         qPrintable(german.Out));
            }
        }
        QCOMPARE(Ctl(Language::English, Words("--demo --quiet restore")).Status, 0);
    }

    // Under the pseudo-translation every line of the help is within a bracketed text,
    // but for the names a user types and Qt's own headings, which have no translation
    // of this program's.
    void everyHelpTextIsTranslated_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("--help") << Words("--help");
        for (const char* command : {"list", "show", "save", "apply", "set", "watch", "run", "restore", "doctor"})
            QTest::newRow(command) << QStringList{QStringLiteral("help"), QLatin1String(command)};
    }
    void everyHelpTextIsTranslated()
    {
        QFETCH(QStringList, arguments);
        const Run help = Ctl(Language::Pseudo, arguments);
        QCOMPARE(help.Status, 0);
        const QStringList untranslated = LinesOutsideTranslations(help.Out);
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u'\n')));
    }

    void everyFailureIsTranslated_data() { FailingCommands(); }
    void everyFailureIsTranslated()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        const Run failed = Ctl(Language::Pseudo, arguments);
        QCOMPARE(failed.Status, status);
        QVERIFY2(failed.Err.startsWith(QStringLiteral("kx5170ctl: [")), qPrintable(failed.Err));
        QVERIFY2(LinesOutsideTranslations(failed.Err).isEmpty(), qPrintable(failed.Err));
    }

    // The session's words, which the window shows too, follow the language the program
    // installed; the sentence kept for scripts does not.
    void sessionWordsFollowTheLanguage()
    {
        const SessionFailure failure{SessionStep::ReadSettings, FailureCause::TimedOut, "/dev/hidraw3", ""};
        const SessionFailure lost{SessionStep::AwaitReturn, FailureCause::NotBack, "/dev/hidraw3", ""};
        RestoreEntry entry;
        entry.Port = "usb:1-2";
        entry.FileApplied = "/home/driver/rally.kx5170";
        entry.Time = QDateTime::currentSecsSinceEpoch();
        const std::string englishLeftover = LeftoverSentence(entry, true);
        QCOMPARE(DescribeFailure(failure),
                 std::string("the board at /dev/hidraw3: the board did not answer in time while reading its settings "
                             "(report 8)"));

        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/i18n/kx5170-config_de.qm")));
        QCoreApplication::installTranslator(&german);
        const std::string described = DescribeFailure(failure), notBack = DescribeFailure(lost);
        const std::string leftover = LeftoverSentence(entry, true), forScripts = LeftoverSentence(entry, false, true);
        const std::string unchecked = UncheckedText(2);
        QCoreApplication::removeTranslator(&german);

        QCOMPARE(described, std::string("die Platine an /dev/hidraw3, beim Lesen ihrer Einstellungen (Report 8): die "
                                        "Platine hat nicht rechtzeitig geantwortet"));
        QVERIFY2(notBack.find("beim Warten auf ihre Rückkehr nach dem Neustart") != std::string::npos, notBack.c_str());
        QVERIFY2(leftover.starts_with("Die Platine hat noch rally.kx5170") &&
                     leftover.find("kx5170ctl restore --board usb:1-2 stellt") != std::string::npos,
                 leftover.c_str());
        QVERIFY2(forScripts.starts_with("The board still holds rally.kx5170"), forScripts.c_str());
        QCOMPARE(LeftoverSentence(entry, true), englishLeftover);
        QVERIFY2(unchecked.starts_with("2 Prozesse anderer Benutzer"), unchecked.c_str());
    }

public:
    // The lines of `text` that no pseudo-translated text ("[...  ~~]") covers and that
    // hold more than the names a user types.
    static QStringList LinesOutsideTranslations(const QString& text)
    {
        std::vector<bool> covered(static_cast<std::size_t>(text.size()), false);
        // A bracketed text with its padding of "~" (which may be wrapped), around what
        // was filled in, such as a synopsis in brackets of its own.
        static const QRegularExpression translated(QStringLiteral("\\[[^][]*(?:\\[[^][]*\\][^][]*)*\\]"));
        for (auto it = translated.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            if (!match.captured().contains(QLatin1String("~]")) && !match.captured().contains(QLatin1String("~\n")))
                continue;
            for (qsizetype i = match.capturedStart(); i < match.capturedEnd(); ++i)
                covered[static_cast<std::size_t>(i)] = true;
        }
        QStringList names = {QStringLiteral("kx5170ctl"), QStringLiteral("help"),           QStringLiteral("command"),
                             QStringLiteral("arguments"), QStringLiteral("[arguments...]"), QStringLiteral("rotation")};
        for (const char* command : {"list", "show", "save", "apply", "set", "watch", "run", "restore", "doctor"})
            names << QLatin1String(command);
        for (const SettingsField& field : SettingsFields)
            names << QLatin1String(field.Key);
        // Qt's own words, which its own catalogue translates.
        const QStringList qtOwn = {QStringLiteral("Usage:"), QStringLiteral("Options:"), QStringLiteral("Arguments:"),
                                   QStringLiteral("[options]")};

        QStringList outside;
        qsizetype start = 0;
        for (const QString& line : text.split(u'\n')) {
            bool any = false;
            for (qsizetype i = 0; i < line.size() && !any; ++i)
                any = covered[static_cast<std::size_t>(start + i)];
            start += line.size() + 1;
            if (any)
                continue;
            for (const QString& word : line.split(u' ', Qt::SkipEmptyParts)) {
                const bool name = names.contains(word) || qtOwn.contains(word) || word.startsWith(u'-') ||
                                  word.startsWith(QLatin1String("[-")) || word.startsWith(u'<') ||
                                  word.contains(u'/') ||
                                  QRegularExpression(QStringLiteral("^\\[?[A-Z=.|]+\\]?$")).match(word).hasMatch();
                if (!name) {
                    outside << line;
                    break;
                }
            }
        }
        return outside;
    }
};

}  // namespace

QTEST_GUILESS_MAIN(TestCtlLanguage)
#include "test_ctl_language.moc"
