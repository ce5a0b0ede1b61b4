// The window and its dialogs in other languages than English: under the
// pseudo-translation every text a reader sees is translated and whole, and in German
// every text is whole. The suite runs at 100 % and again at 150 % scale (see
// tests/CMakeLists.txt).
#include "access_fix_dialog.h"
#include "setting_texts.h"
#include "translation_check.h"
#include "window_fixture.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTranslator>

#include <functional>

using kx::HidFailure;
using kx::test::CheckTexts;
using kx::test::Describe;
using kx::test::TextCheck;
using kx::test::TextProblem;

namespace {

// The program's catalogue for `language` ("de", or "pseudo" for the pseudo-translation),
// installed for one test and taken off again, also when the test fails.
struct LanguageForTest {
    explicit LanguageForTest(const QString& language)
    {
        Loaded = Catalogue.load(QStringLiteral(":/i18n/kx5170-config_") + language);
        QCoreApplication::installTranslator(&Catalogue);
    }
    ~LanguageForTest() { QCoreApplication::removeTranslator(&Catalogue); }
    QTranslator Catalogue;
    bool Loaded = false;
};

// Translated throughout under the pseudo-translation. A text bracketed as a whole may
// still carry an untranslated piece the program filled in ("[%1 ... ]" filled with
// "wheel_game (process 4242)"); its English words show in plain letters, which the
// pseudo-translation never leaves but for q, v and x, and the letter of a menu's key
// ("[F&îļé ~]"), one in a word.
bool PseudoThroughout(const QString& shown)
{
    if (!kx::test::IsPseudoTranslated(shown))
        return false;
    int plain = 0;  // in the word so far
    for (const QChar c : shown) {
        if (!c.isLetter())
            plain = 0;
        else if (c.unicode() < 128 && !QStringLiteral("qvxQVX").contains(c) && ++plain > 1)
            return false;
    }
    return true;
}

// The same with the names in `data` (a program's, a file's) taken out first.
std::function<bool(const QString&)> PseudoBut(const QStringList& data)
{
    return [data](const QString& shown) {
        QString words = shown;
        for (const QString& name : data)
            words.remove(name);
        return PseudoThroughout(words);
    };
}

// What is checked in each language: in the pseudo-translation that every text is
// translated, in both that every text is whole. German words may be the English ones
// ("Version"), so German is checked for fit only.
TextCheck CheckFor(const QString& language)
{
    TextCheck check;
    check.CheckTranslation = language == QLatin1String("pseudo");
    check.IsTranslated = PseudoThroughout;
    return check;
}

// The board's own words (its name, serial number) are shown as they are.
TextCheck WindowCheck(const QString& language, const WindowControls& v)
{
    TextCheck check = CheckFor(language);
    check.Data = {v.lblManuf, v.lblProduct, v.lblVersion, v.lblSerialNumber};
    return check;
}

// Opens a modal dialog with `ask`, checks it while it is up and closes it without an
// answer. Returns its problems, and its text in `shown`.
QList<TextProblem> CheckModal(const std::function<void()>& ask, const TextCheck& check, QString* shown = nullptr)
{
    QList<TextProblem> problems;
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        seen = true;
        problems = CheckTexts(box, check);
        if (shown)
            *shown = box->text();
        box->done(0);  // neither Yes nor an answer: the question is declined
    });
    poll.start();
    ask();
    if (!seen)
        problems.append({TextProblem::Untranslated, QStringLiteral("(no dialog)"), QStringLiteral("none was shown"), {}});
    return problems;
}

void AddLanguages()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("pseudo") << QStringLiteral("pseudo");
    QTest::newRow("German") << QStringLiteral("de");
}

}  // namespace

class TestWindowLanguages : public QObject {
    Q_OBJECT

private slots:
    void catalogues_data() { AddLanguages(); }
    // The checks below mean nothing on a catalogue that did not load.
    void catalogues()
    {
        QFETCH(QString, language);
        LanguageForTest speaking(language);
        QVERIFY(speaking.Loaded);
        QVERIFY(!speaking.Catalogue.isEmpty());
        // The settings table's words reach the window as they are in the table: each
        // must be found in the catalogue, tooltips included, which the window checks
        // below do not read.
        if (language == QLatin1String("pseudo"))
            for (const kx::SettingsField& field : kx::SettingsFields)
                for (const QString& text : {kx::SettingCaption(field), kx::SettingUnit(field), kx::SettingMeaning(field)})
                    QVERIFY2(PseudoThroughout(text), qPrintable(text));
    }

    void windowWithBoardNoBoardAndRefused_data()
    {
        AddLanguages();
    }
    // The window in each state a user meets first: every caption, unit, button, menu
    // and the status line's words.
    void windowWithBoardNoBoardAndRefused()
    {
        QFETCH(QString, language);
        LanguageForTest speaking(language);
        {
            WindowOnBoard f(0x0107);
            f.Load();
            QVERIFY2(f.V().Homing->isEnabled(), "the board was not loaded");
            f.Tick(1234);
            const QList<TextProblem> problems = CheckTexts(&f.W(), WindowCheck(language, f.V()));
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("board loaded:\n") + Describe(problems)));
            if (language == QLatin1String("pseudo"))
                QVERIFY2(PseudoThroughout(f.W().findChild<QWidget*>(QStringLiteral("WheelPicture"))->accessibleName()),
                         "the wheel picture's words");
        }
        {
            WindowOnBoard f(0x0307, false);
            f.Load();
            const QList<TextProblem> problems = CheckTexts(&f.W(), WindowCheck(language, f.V()));
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("no board:\n") + Describe(problems)));
        }
        {
            WindowOnBoard f;
            f.Board->RefuseOpen = HidFailure::AccessDenied;
            frmMain& w = f.Load();
            w.AccessGrace_Timer();
            QVERIFY2(f.V().lblStatus->textFormat() == Qt::RichText, "no Fix link after a refusal");
            const QList<TextProblem> problems = CheckTexts(&w, WindowCheck(language, f.V()));
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("access refused:\n") + Describe(problems)));

            // The rule dialog, as "Fix..." opens it, before and after a failed install.
            w.SetRuleInstallCommand({{}, {}, QStringLiteral("/usr/bin/pkexec")});
            w.lblStatus_LinkActivated();
            auto* dialog = w.findChild<AccessFixDialog*>();
            QVERIFY(dialog && dialog->isVisible());
            // The missing program's path is the system's, not the program's words.
            TextCheck check = CheckFor(language);
            check.IsTranslated = PseudoBut({QStringLiteral("/usr/bin/pkexec")});
            const QList<TextProblem> inDialog = CheckTexts(dialog, check);
            QVERIFY2(inDialog.isEmpty(), qPrintable(QStringLiteral("rule dialog:\n") + Describe(inDialog)));
        }
    }

    // English has the room it was drawn with: nothing moves, and every text is whole.
    void englishKeepsItsLayout()
    {
        WindowOnBoard f;
        f.Load();
        const WindowControls& v = f.V();
        QCOMPARE(v.Client->width(), 646);          // the layout's columns and the picture's
        QCOMPARE(v.Slimit->pos(), QPoint(144, 340));
        QCOMPARE(v.Go->geometry(), QRect(104, 648, 117, 33));
        // The rotation's row over the buttons, with a second line for its caption while
        // the board's type is unknown ("degrees lock to lock (board type unknown)" is
        // longer than the row); the picture above it.
        const QRect rotation = f.W().findChild<QWidget*>(QStringLiteral("RotationField"))->geometry();
        QCOMPARE(rotation.bottom(), 639);
        QVERIFY2(rotation.height() > 28 && rotation.height() < 2 * 28, qPrintable(QString::number(rotation.height())));
        QCOMPARE(f.W().findChild<QWidget*>(QStringLiteral("WheelPicture"))->geometry(),
                 QRect(338, 4, 300, rotation.top() - 8 - 4));
        TextCheck check;
        check.CheckTranslation = false;
        const QList<TextProblem> problems = CheckTexts(&f.W(), check);
        QVERIFY2(problems.isEmpty(), qPrintable(Describe(problems)));
    }

    void questionsAndAbout_data() { AddLanguages(); }
    // The questions as the window asks them, in the message boxes it really shows.
    void questionsAndAbout()
    {
        QFETCH(QString, language);
        LanguageForTest speaking(language);
        const TextCheck check = CheckFor(language);

        {
            // Another program holds the board: asked before the reset takes the wheel away.
            WindowOnBoard f;
            f.Board->Holders = {{4242, "wheel_game", "/dev/input/js0"}};
            f.Load();
            f.W().SetDialogs(DesktopDialogs());
            TextCheck inUse = check;
            inUse.IsTranslated = PseudoBut({QStringLiteral("wheel_game")});
            QString asked;
            const QList<TextProblem> problems = CheckModal([&] { f.V().Go->click(); }, inUse, &asked);
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("in-use question:\n") + Describe(problems)));
            QVERIFY2(asked.contains(QStringLiteral("wheel_game")), qPrintable(asked));
            QVERIFY(f.SetRequests().empty());
        }
        {
            // A file saved from a board that counts otherwise: converted, opened as it is, or not.
            QTemporaryDir dir;
            QFile file(dir.filePath(QStringLiteral("old.kx5170")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("kx5170-settings = 1\nboard_type = 1\nstops = 2048\n");
            file.close();
            WindowOnBoard f(0x0307);
            f.Load();
            WindowDialogs dialogs = DesktopDialogs();
            dialogs.OpenFileName = [&](QWidget*, const QString&) { return file.fileName(); };
            f.W().SetDialogs(dialogs);
            TextCheck conversion = check;
            conversion.IsTranslated = PseudoBut({QStringLiteral("old.kx5170")});
            QString asked;
            const QList<TextProblem> problems =
                CheckModal([&] { f.V().actOpen->trigger(); }, conversion, &asked);
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("conversion question:\n") + Describe(problems)));
            QVERIFY2(asked.contains(QStringLiteral("old.kx5170")), qPrintable(asked));
            QCOMPARE(f.V().Slimit->text(), QStringLiteral("5000"));  // declined: the boxes as they were
        }
        {
            WindowOnBoard f;
            f.Load();
            f.W().SetAboutPlatform(QStringLiteral("hidapi 0.13.1"));
            f.W().findChild<QAction*>(QStringLiteral("actAbout"))->trigger();
            auto* about = f.W().findChild<QMessageBox*>(QStringLiteral("AboutBox"));
            QVERIFY(about && about->isVisible());
            // The version of Qt and of the HID library, and the licence's name, are names.
            TextCheck inAbout = check;
            inAbout.IsTranslated = PseudoBut({QStringLiteral("hidapi"), QStringLiteral("MIT"), QStringLiteral("Qt")});
            const QList<TextProblem> problems = CheckTexts(about, inAbout);
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("About:\n") + Describe(problems)));
            if (check.CheckTranslation)
                QVERIFY2(PseudoThroughout(about->windowTitle()), qPrintable(about->windowTitle()));
        }
    }
};

QTEST_MAIN(TestWindowLanguages)
#include "test_window_languages.moc"
