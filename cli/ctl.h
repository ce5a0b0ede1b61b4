// kx5170ctl: the board from a shell. The commands run against any HidPlatform, so
// the program's main hands them the hidapi platform and the tests a simulated board.
#pragma once

#include "board_session.h"
#include "hid_platform.h"
#include "restore_journal.h"

#include <QStringList>

#include <chrono>
#include <filesystem>
#include <vector>
#include <functional>
#include <iosfwd>

namespace kx {

enum ExitStatus : int {
    ExitDone = 0,
    ExitUsage = 1,     // bad usage, or a file that cannot be read, parsed or written
    ExitNoBoard = 2,
    ExitNoAccess = 3,  // a board is there, but this user may not open it
    ExitNotTaken = 4,  // a request failed: the settings not read, not taken, not stored, or
                       // other values held after the write; run: the board's own settings
                       // not written back
    ExitInUse = 5,     // another program holds the board, and nothing was written
};

// Where doctor looks for what it reports of the system; tests build fake trees.
struct DoctorRoots {
    bool Probe = true;  // false: the board as the platform shows it, nothing of the system
    std::filesystem::path Sysfs = "/sys";
    std::filesystem::path Run = "/run";
    // udev's rule directories, the one that wins a name first.
    std::vector<std::filesystem::path> RuleDirectories = {"/etc/udev/rules.d", "/run/udev/rules.d",
                                                          "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
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
    // Called with true before a write sequence and with false once it and its check
    // have ended: the program holds SIGINT, SIGTERM and SIGHUP meanwhile, so that the
    // board is never left between its settings and its reset. Holds nest (run holds
    // them from its record of the board's own settings to its end, and the writes
    // within it hold them again): it is called at the first hold and the last release
    // only, which lets a held signal through.
    std::function<void(bool)> HoldSignals = [](bool) {};
    int SignalHolds = 0;  // the holds on now
    // While held: the first stop signal that arrived and was not the command's, taken
    // so that it no longer ends the program when the hold is released; 0 for none.
    std::function<int()> TakeStopSignal = [] { return 0; };
    // run's command: starts `command` (its program and arguments) with this program's
    // standard streams and environment, passes SIGINT, SIGTERM and SIGHUP sent to this
    // program on to it, each once, and waits for it to end. Called with the signals
    // held; the signals that arrive meanwhile are the command's, and are not left for
    // TakeStopSignal. Returns its exit status, 128 + N when signal N ended it, and 127
    // (126: found but not runnable) with a line on standard error when it could not be
    // started, as a shell does.
    std::function<int(const QStringList& command)> RunChild = [](const QStringList&) { return 127; };
    DoctorRoots Doctor{};
    // Where run keeps the board's own settings until they are back (restore_journal.h).
    std::filesystem::path JournalFolder = DefaultJournalFolder();
    // Every wait of the session; the bounds of the wait across the reset among them.
    SessionTimings Timings = DefaultTimings;
};

// Runs one command line; arguments[0] is the program's name. Returns the exit status.
int RunCtl(const QStringList& arguments, HidPlatform& platform, CtlEnvironment& environment);

}  // namespace kx
