// What the end-to-end tests share: a kx5170-virtual-board process, followed through
// its standard output, and the settings report the tests expect the board to receive.
//
// The suites run twice: on boards made through uhid, and with KX_E2E_BOARD=usb on
// boards plugged in as USB devices (two ports: dummy_udc.0 is usb:1-1, dummy_udc.1
// usb:2-1).
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

// Whether this run's boards are USB devices.
inline bool UsbBoards()
{
    return qgetenv("KX_E2E_BOARD") == "usb";
}

class VirtualBoard {
public:
    // AsRun: a USB device when the run is on USB boards; Uhid: through uhid always (a
    // device beside the board, where the two USB ports are the boards').
    enum class Kind { AsRun, Uhid, Usb };

    explicit VirtualBoard(QStringList arguments, Kind kind = Kind::AsRun)
    {
        LogPath = Dir.filePath(QStringLiteral("requests.log"));
        Process.setProgram(VirtualBoardProgram());
        if (kind == Kind::Usb || (kind == Kind::AsRun && UsbBoards()))
            arguments.prepend(QStringLiteral("--usb"));
        if (qEnvironmentVariableIsSet("KX_E2E_BOARD_TRACE"))
            arguments.prepend(QStringLiteral("--verbose"));
        Process.setArguments(arguments << QStringLiteral("--log") << LogPath);
        Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Process.start();
    }

    ~VirtualBoard()
    {
        if (Process.state() == QProcess::NotRunning)
            return;
        // A board answers a request late by up to 5 s before it reads "quit". One that is
        // killed leaves a USB gadget behind, which the next board has to take down.
        Process.write("quit\n");
        if (!Process.waitForFinished(6000)) {
            Process.kill();
            Process.waitForFinished(3000);
        }
    }

    // The next line of output that starts with `prefix`, skipping others; empty when none
    // comes in time.
    QString WaitFor(const QString& prefix, std::chrono::milliseconds timeout = 10s)
    {
        QDeadlineTimer deadline(timeout);
        for (;;) {
            while (Process.canReadLine()) {
                const QString line = QString::fromUtf8(Process.readLine()).trimmed();
                if (line.startsWith(QStringLiteral("ready ")))
                    Node = line.mid(6);
                if (line.startsWith(QStringLiteral("error ")))
                    qWarning("virtual board: %s", qPrintable(line));
                if (line.startsWith(prefix))
                    return line;
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

// Report 8 as the board receives it, from byte 2 on, `length` bytes long, for stops
// 12345, centre_offset -2, stops_stiffness 255, stops_damping 0, overall_damping 250,
// all_effects_scale 100, overall_inertia 17, overall_friction 1, motor_filter 9,
// input_filter 10000, centering_spring 127 and damper_effect_scale 40.
inline QString WrittenImage(int length)
{
    return QStringLiteral("00 00 00 00 00 00 00 00 00 00 00 00 00 "  // 2 to 14
                          "66 39 30 fe ff "  // 15 DampingScale 40 %, 16 Slimit 12345, 18 Homing -2
                          "ff 00 fa ff "     // 20 Stiff 255, Damp 0, TDamp 250, 23 OverallScale 100%
                          "11 01 09 "        // 24 TInertia 17, TFriction 1, MotorFilter 9
                          "10 27 7f")        // 27 InputFilter 10000, 29 Spring 127
           + QStringLiteral(" 00").repeated(length - 30);
}

}  // namespace kx::e2e
