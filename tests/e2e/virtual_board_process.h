// A kx5170-virtual-board process for the end-to-end tests, followed through its
// standard output.
#pragma once

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>

#ifndef KX_VIRTUAL_BOARD_PATH
#error "KX_VIRTUAL_BOARD_PATH must name the kx5170-virtual-board program"
#endif

namespace kx::e2e {

using namespace std::chrono_literals;

inline QString VirtualBoardProgram()
{
    const QByteArray fromEnvironment = qgetenv("KX_VIRTUAL_BOARD");
    return fromEnvironment.isEmpty() ? QStringLiteral(KX_VIRTUAL_BOARD_PATH) : QString::fromLocal8Bit(fromEnvironment);
}

// A kx5170-virtual-board process, followed through its standard output.
class VirtualBoard {
public:
    explicit VirtualBoard(QStringList arguments)
    {
        LogPath = Dir.filePath(QStringLiteral("requests.log"));
        Process.setProgram(VirtualBoardProgram());
        Process.setArguments(arguments << QStringLiteral("--log") << LogPath);
        Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Process.start();
    }

    ~VirtualBoard()
    {
        if (Process.state() == QProcess::NotRunning)
            return;
        Process.write("quit\n");
        if (!Process.waitForFinished(3000)) {
            Process.kill();
            Process.waitForFinished(3000);
        }
    }

    // The next line of output that starts with `prefix`, skipping others; an empty
    // string when none comes in time.
    QString WaitFor(const QString& prefix, std::chrono::milliseconds timeout = 10s)
    {
        QDeadlineTimer deadline(timeout);
        for (;;) {
            while (Process.canReadLine()) {
                const QString line = QString::fromUtf8(Process.readLine()).trimmed();
                if (line.startsWith(QStringLiteral("ready ")))
                    Node = line.mid(6);
                if (line.startsWith(prefix))
                    return line;
                if (line.startsWith(QStringLiteral("error ")))
                    qWarning("virtual board: %s", qPrintable(line));
            }
            if (deadline.hasExpired() || Process.state() == QProcess::NotRunning)
                return {};
            Process.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        }
    }

    // Sends a command and returns the board's answer that starts with `prefix`.
    QString Command(const QByteArray& command, const QString& prefix)
    {
        Process.write(command + '\n');
        Process.waitForBytesWritten(1000);
        return WaitFor(prefix);
    }

    bool WaitReady() { return !WaitFor(QStringLiteral("ready ")).isEmpty(); }

    QStringList Requests() const
    {
        QFile file(LogPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                              : QStringList{};
    }

    QString Node;  // /dev/hidrawN, from the latest "ready" line

private:
    QTemporaryDir Dir;
    QString LogPath;
    QProcess Process;
};

}  // namespace kx::e2e
