// kx5170ctl: the board from a shell. The commands run against any HidPlatform, so
// the program's main hands them the hidapi platform and the tests a simulated board.
#pragma once

#include "hid_platform.h"

#include <QStringList>

#include <chrono>
#include <functional>
#include <iosfwd>

namespace kx {

enum ExitStatus : int {
    ExitDone = 0,
    ExitUsage = 1,     // bad usage, or a file that cannot be read, parsed or written
    ExitNoBoard = 2,
    ExitNoAccess = 3,  // a board is there, but this user may not open it
    ExitNotTaken = 4,  // the board refused the settings or holds other values after the write
};

struct CtlEnvironment {
    std::ostream& Out;
    std::ostream& Err;
    std::istream& In;  // "-" as a file to apply
    // Called once a watch has found the board and before it follows it; then asked
    // between its ticks: true ends it. The program catches SIGINT and SIGTERM for a
    // watch alone, so that the other commands end at once when interrupted.
    std::function<void()> WatchStarting = [] {};
    std::function<bool()> StopRequested = [] { return false; };
    // How long to wait for the board to go away into its reset and to come back.
    std::chrono::milliseconds ResetGoneTimeout{3000};
    std::chrono::milliseconds ResetBackTimeout{10000};
};

// Runs one command line; arguments[0] is the program's name. Returns the exit status.
int RunCtl(const QStringList& arguments, HidPlatform& platform, CtlEnvironment& environment);

}  // namespace kx
