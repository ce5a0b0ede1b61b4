// What both programs do before their window opens: the program's names, and the
// command line, answered on the terminal where it asks for help or the version.
#pragma once

#include "app_info.h"
#include "frm_main.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <chrono>
#include <cstdlib>

namespace kx {

inline void SetApplicationMetadata()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(ApplicationDisplayName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ApplicationVersion));
    // Lets a desktop match the running window to its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kx5170.config"));
}

inline void DescribeCommandLine(QCommandLineParser& parser, const QString& description)
{
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A settings file (.kx5170) to open once the board is loaded."),
                                 QStringLiteral("[file]"));
}

// Answers --help, --help-all and --version on the terminal and ends the program,
// before anything needs a display. Other mistakes are told by ReadCommandLine, once
// the window system has taken its own options from the command line.
inline void AnswerOnTerminal(int argc, char* argv[], const QString& description)
{
    QCoreApplication app(argc, argv);
    SetApplicationMetadata();
    QCommandLineParser parser;
    DescribeCommandLine(parser, description);
    parser.parse(QCoreApplication::arguments());
    // Prints what was asked for and ends the program.
    for (const char* option : {"help", "help-all", "version"})
        if (parser.isSet(QLatin1String(option)))
            parser.process(QCoreApplication::arguments());
}

// The settings file named on the command line, or empty. A wrong option, or more than
// one file, is told on the terminal and ends the program.
inline QString ReadCommandLine(const QApplication& app, const QString& description)
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
