// The check the window tests run under the pseudo-translation: it must report every
// untranslated or cut-off text, and nothing that is whole and translated, or a window
// test would either miss a fault or fail on a sound window.
#include "translation_check.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <QVBoxLayout>

using kx::test::CheckTexts;
using kx::test::Describe;
using kx::test::TextProblem;

namespace {

template <typename T, typename... Args>
T* Make(QWidget* parent, const char* name, Args&&... args)
{
    auto* widget = new T(std::forward<Args>(args)..., parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// What was reported, as "untranslated:name" or "clipped:name", sorted.
QStringList Reported(const QList<TextProblem>& problems)
{
    QStringList names;
    for (const TextProblem& problem : problems)
        names.append((problem.What == TextProblem::Untranslated ? QStringLiteral("untranslated:")
                                                                : QStringLiteral("clipped:")) +
                     problem.Where.section(u'#', -1));
    names.sort();
    return names;
}

const QString Long = QStringLiteral("[Ŕöţåţîöñ ţö éîţĥéŕ šîðé öƒ ţĥé ŵĥééļ ~~~~~~~~~~~~~~]");

}  // namespace

class TestTranslationCheck : public QObject {
    Q_OBJECT

private slots:
    void TellsTranslatedFromNot_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("translated");
        QTest::newRow("bracketed") << QStringLiteral("[Ŵŕîţé ~~]") << true;
        QTest::newRow("English") << QStringLiteral("Write") << false;
        QTest::newRow("translated parts") << QStringLiteral("[Ŵŕîţé ~~]: [ŕéšéţ ~]") << true;
        QTest::newRow("a word outside") << QStringLiteral("[Ŵŕîţé ~~] now") << false;
        QTest::newRow("filled with a word") << QStringLiteral("[Šéţţîñĝš ñöţ ŵŕîţţéñ: [ţîɱéð öûţ ~] ~~]") << true;
        QTest::newRow("unbalanced") << QStringLiteral("] Write [") << false;
        QTest::newRow("a number and a unit sign") << QStringLiteral("−1080.5°") << true;
    }
    void TellsTranslatedFromNot()
    {
        QFETCH(QString, shown);
        QFETCH(bool, translated);
        QCOMPARE(kx::test::IsPseudoTranslated(shown), translated);
    }

    // Whole, translated texts of every kind the check reads, each given the room its
    // own size hint asks for: nothing is reported.
    void PassesASoundWindow()
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(Make<QLabel>(&window, "plain", Long));
        auto* wrapped = Make<QLabel>(&window, "wrapped", Long + u' ' + Long);
        wrapped->setWordWrap(true);
        layout->addWidget(wrapped);
        layout->addWidget(Make<QLabel>(&window, "rich", QStringLiteral("<b>[Šþŕîñĝ ~]</b> [ŕéšéţ %1 ~~~]")));
        auto* buddy = Make<QLabel>(&window, "buddy", QStringLiteral("[&Šþŕîñĝ ~]"));
        auto* spring = Make<QPushButton>(&window, "button", QStringLiteral("[&Ŵŕîţé åñð ŕéšéţ ~~~~]"));
        buddy->setBuddy(spring);
        layout->addWidget(buddy);
        layout->addWidget(spring);
        layout->addWidget(Make<QCheckBox>(&window, "check", QStringLiteral("[Ķééþ öþéñ ~~~]")));
        auto* group = Make<QGroupBox>(&window, "group", QStringLiteral("[Šéţţîñĝš ~~~]"));
        layout->addWidget(group);
        layout->addWidget(Make<QLabel>(&window, "number", QStringLiteral("−1080.5°")));
        auto* board = Make<QLabel>(&window, "board", QStringLiteral("KX5170 Wheel"));
        layout->addWidget(board);
        auto* hidden = Make<QLabel>(&window, "hidden", QStringLiteral("Not shown"));
        layout->addWidget(hidden);
        hidden->hide();
        // Qt's own Cancel: Qt's catalogue translates it.
        layout->addWidget(Make<QDialogButtonBox>(&window, "buttons", QDialogButtonBox::Cancel));
        auto* bar = Make<QMenuBar>(&window, "bar");
        QMenu* file = bar->addMenu(QStringLiteral("[&Ƒîļé ~]"));
        file->addAction(QStringLiteral("[&Öþéñ... ~~]"));
        file->addSeparator();
        layout->setMenuBar(bar);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        kx::test::TextCheck check;
        check.Data.insert(board);
        const QList<TextProblem> problems = CheckTexts(&window, check);
        QVERIFY2(problems.isEmpty(), qPrintable(Describe(problems)));
    }

    void ReportsEveryUntranslatedText()
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(Make<QLabel>(&window, "label", QStringLiteral("Spring")));
        layout->addWidget(Make<QLabel>(&window, "half", QStringLiteral("[Šþŕîñĝ ~] strength")));
        layout->addWidget(Make<QPushButton>(&window, "button", QStringLiteral("&Write")));
        layout->addWidget(Make<QGroupBox>(&window, "group", QStringLiteral("Settings")));
        layout->addWidget(Make<QLabel>(&window, "rich", QStringLiteral("<b>Spring</b>")));
        auto* buttons = Make<QDialogButtonBox>(&window, "buttons", QDialogButtonBox::Cancel);
        // The program's own text on a standard button is the program's to translate.
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Stop"));
        buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("stop"));
        layout->addWidget(buttons);
        auto* bar = new QMenuBar(&window);
        QMenu* file = bar->addMenu(QStringLiteral("&File"));
        file->menuAction()->setObjectName(QStringLiteral("fileMenu"));
        file->addAction(QStringLiteral("[Öþéñ ~]"));
        file->addAction(QStringLiteral("&Quit"))->setObjectName(QStringLiteral("quit"));
        layout->setMenuBar(bar);
        window.resize(800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        kx::test::TextCheck check;
        check.CheckFit = false;
        QCOMPARE(Reported(CheckTexts(&window, check)),
                 (QStringList{"untranslated:button", "untranslated:fileMenu", "untranslated:group",
                              "untranslated:half", "untranslated:label", "untranslated:quit",
                              "untranslated:rich", "untranslated:stop"}));
    }

    // Each given less room than its text needs, by a fixed geometry as the window's was.
    void ReportsEveryClippedText()
    {
        QWidget window;
        window.resize(800, 600);
        auto* narrow = Make<QLabel>(&window, "narrow", Long);
        narrow->setGeometry(0, 0, narrow->sizeHint().width() - 3, narrow->sizeHint().height());
        auto* shallow = Make<QLabel>(&window, "shallow", Long + u' ' + Long);
        shallow->setWordWrap(true);
        shallow->setGeometry(0, 40, 200, shallow->heightForWidth(200) - 4);
        auto* word = Make<QLabel>(&window, "word", QStringLiteral("[Ŕöţåţîöñšƀéŕéîçĥšéîñšţéļļûñĝ~~~~~~~~~~]"));
        word->setWordWrap(true);
        word->setGeometry(0, 200, 80, 200);
        auto* rich = Make<QLabel>(&window, "rich", QStringLiteral("<b>") + Long + QStringLiteral("</b>"));
        rich->setGeometry(0, 420, rich->sizeHint().width() / 2, rich->sizeHint().height());
        auto* button = Make<QPushButton>(&window, "button", Long);
        button->setGeometry(400, 0, 120, 30);
        auto* check = Make<QCheckBox>(&window, "check", Long);
        check->setGeometry(400, 40, 120, 30);
        auto* group = Make<QGroupBox>(&window, "group", Long);
        group->setGeometry(400, 100, 100, 100);
        auto* fits = Make<QLabel>(&window, "fits", Long);
        fits->setGeometry(0, 500, fits->sizeHint().width(), fits->sizeHint().height());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QList<TextProblem> problems = CheckTexts(&window);
        QCOMPARE(Reported(problems), (QStringList{"clipped:button", "clipped:check", "clipped:group", "clipped:narrow",
                                                 "clipped:rich", "clipped:shallow", "clipped:word"}));
    }
};

QTEST_MAIN(TestTranslationCheck)
#include "test_translation_check.moc"
