// What both programs do before their window opens: the program's names, and the
// command line, answered on the terminal where it asks for help or the version.
#pragma once

#include "app_info.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <optional>

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

// Answers --help and --version on the terminal, before anything needs a display;
// the exit status then, nullopt when the window is to open. Other mistakes are told
// by ReadCommandLine, once the window system has taken its own options.
inline std::optional<int> AnswerOnTerminal(int argc, char* argv[], const QString& description)
{
    QCoreApplication app(argc, argv);
    SetApplicationMetadata();
    QCommandLineParser parser;
    DescribeCommandLine(parser, description);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", ApplicationDisplayName, ApplicationVersion);
        return 0;
    }
    return std::nullopt;
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
        std::fprintf(stderr, "%s: give one settings file, not %lld\n", qPrintable(QCoreApplication::arguments().value(0)),
                     static_cast<long long>(files.size()));
        std::exit(1);
    }
    return files.value(0);
}

}  // namespace kx
