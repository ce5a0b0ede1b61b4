// What both programs do before their window opens: the program's names, and the
// command line, answered on the terminal where it asks for help or the version.
#pragma once

#include "app_info.h"
#include "frm_main.h"
#include "user_language.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <chrono>
#include <cstdlib>

namespace kx {

// Also installs the user's language on the running application, so that the help on
// the terminal and the window speak it alike.
inline void SetApplicationMetadata()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(ApplicationDisplayName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ApplicationVersion));
    // Lets a desktop match the running window to its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kx5170.config"));
    InstallUserLanguage();
}

// `description` is one of app_info.h's texts, shown in the user's language.
inline void DescribeCommandLine(QCommandLineParser& parser, const char* description)
{
    parser.setApplicationDescription(ApplicationText(description));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QCoreApplication::translate("Application",
                                                             "A settings file (.kx5170) to open once the board is loaded."),
                                 QStringLiteral("[file]"));
}

// The options Qt's window system takes from the command line itself (QGuiApplication,
// QApplication and the X11 platform), each with whether a value follows it. Qt takes
// them with one dash or two, and the valued ones also as -name=value.
struct WindowSystemOption {
    const char* Name;
    bool TakesValue;
};
inline constexpr WindowSystemOption WindowSystemOptions[] = {
    {"platform", true},  {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"geometry", true},     {"qwindowicon", true},   {"icon", true},
    {"qwindowtitle", true},    {"title", true},        {"session", true},       {"style", true},
    {"stylesheet", true},      {"display", true},      {"name", true},          {"visual", true},
    {"qmljsdebugger", true},   {"reverse", false},     {"testability", false},  {"widgetcount", false},
    {"nograb", false},         {"dograb", false},
};

// The command line without the window system's own options, so that what is left is
// this program's to judge.
inline QStringList WithoutWindowSystemOptions(const QStringList& arguments)
{
    QStringList kept = arguments.mid(0, 1);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            kept += arguments.mid(i);
            break;
        }
        QStringView name(argument);
        if (name.startsWith(u"--"))
            name = name.sliced(2);
        else if (name.startsWith(u'-'))
            name = name.sliced(1);
        else {
            kept += argument;
            continue;
        }
        const qsizetype equals = name.indexOf(u'=');
        const QStringView bare = equals < 0 ? name : name.first(equals);
        bool windowSystem = false;
        for (const WindowSystemOption& option : WindowSystemOptions) {
            if (bare != QLatin1String(option.Name) || (equals >= 0 && !option.TakesValue))
                continue;
            windowSystem = true;
            if (option.TakesValue && equals < 0)
                ++i;  // its value
            break;
        }
        if (!windowSystem)
            kept += argument;
    }
    return kept;
}

// Answers --help, --help-all and --version on the terminal and ends the program, and
// refuses a wrong option or a second file there (status 1), all before anything needs
// a display: without one, Qt would end the program before it could say what is wrong.
inline void AnswerOnTerminal(int argc, char* argv[], const char* description)
{
    QCoreApplication app(argc, argv);
    SetApplicationMetadata();
    QCommandLineParser parser;
    DescribeCommandLine(parser, description);
    const QStringList arguments = WithoutWindowSystemOptions(QCoreApplication::arguments());
    const QString program = QCoreApplication::arguments().value(0);
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for the options.\n", qPrintable(program),
                     qPrintable(parser.errorText()), qPrintable(program));
        std::exit(1);
    }
    // Prints what was asked for and ends the program.
    for (const char* option : {"help", "help-all", "version"})
        if (parser.isSet(QLatin1String(option)))
            parser.process(arguments);
    if (const qsizetype files = parser.positionalArguments().size(); files > 1) {
        std::fprintf(stderr, "%s: give one settings file, not %lld\n", qPrintable(program),
                     static_cast<long long>(files));
        std::exit(1);
    }
}

// The settings file named on the command line, or empty, once the window system has
// taken its own options. AnswerOnTerminal has refused what is wrong already; this
// still refuses it, should the two ever disagree.
inline QString ReadCommandLine(const QApplication& app, const char* description)
{
    QCommandLineParser parser;
    DescribeCommandLine(parser, description);
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "%s: give one settings file, not %lld\n",
                     qPrintable(QCoreApplication::arguments().value(0)), static_cast<long long>(files.size()));
        std::exit(1);
    }
    return files.value(0);
}

// Runs the window until it closes, its board session on a thread of its own. A request
// the kernel still holds then is not waited for: nothing is left to save, and the
// program ends at once with the window's status.
inline int RunWindow(QApplication& app, frmMain& window)
{
    window.RunSessionOnThread();
    window.Form_Load();
    const int status = app.exec();
    if (!window.FinishSession(std::chrono::milliseconds(300))) {
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(status);
    }
    return status;
}

}  // namespace kx
