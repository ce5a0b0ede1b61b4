// What the commands of kx5170ctl share: the board session they talk through, and how
// a failure reaches the user.
#pragma once

#include "board_session.h"
#include "ctl.h"
#include "settings_table.h"

#include <QCoreApplication>
#include <QString>

#include <string>

// kx5170ctl's texts for a person, in the user's language: kx5170ctl::tr("...").
// What scripts read (JSON, option and command names, exit statuses) is never passed
// through it.
class kx5170ctl {
    Q_DECLARE_TR_FUNCTIONS(kx5170ctl)
};

namespace kx::ctl {

inline QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

struct Options {
    bool Json = false;
    bool Clamp = false;
    bool Force = false;
    bool NoVerify = false;
    bool Convert = false;
    bool ForceInUse = false;
    bool Quiet = false;  // run, restore: no line of what was done on standard error
    bool List = false;   // restore --list
    BoardChoice Choice;  // --board
};

struct Failure {
    int Status;
    std::string Message;  // one line: what went wrong, then what to do
};

// How this user gets access to the board, in words, in the user's language.
std::string AccessFix();

// Prints "kx5170ctl: MESSAGE" on standard error and gives the status back.
int Report(CtlEnvironment& environment, const Failure& failure);

// A failure of the session, its status and what the user can do: 2 no board (or one
// that could not be opened), 3 access denied, 4 any request or wait that failed.
Failure FromSession(const SessionFailure& failure);

// Searches and opens the board `choice` names (the first one when it names none), or
// says why not.
std::optional<Failure> OpenBoard(BoardSession& session, const BoardChoice& choice);

// The other programs that hold the open board, as status 5 and the line that names
// each; nullopt when there are none or --force-in-use. Processes that could not be
// checked are told in a note on standard error (not with --quiet).
std::optional<Failure> InUse(BoardSession& session, const Options& options, CtlEnvironment& environment);
std::string HoldersText(const std::vector<DeviceHolder>& holders);

// How long run waits, once its command has ended, for the programs the command left
// behind to let go of the board before it writes the board's own settings back.
inline constexpr std::chrono::seconds RunHoldersWait{10};

int RunWrite(const QStringList& positional, const Options& options, HidPlatform& platform,
             CtlEnvironment& environment);
// run FILE -- COMMAND...: `positional` is {"run", FILE}.
int RunWithSettings(const QStringList& positional, const QStringList& command, const Options& options,
                    HidPlatform& platform, CtlEnvironment& environment);
// restore: the saved settings of runs that did not finish, put back; --list shows them.
int RunRestore(const Options& options, HidPlatform& platform, CtlEnvironment& environment);
int RunDoctor(const Options& options, HidPlatform& platform, CtlEnvironment& environment);

int RunWatch(const Options& options, HidPlatform& platform, CtlEnvironment& environment);

}  // namespace kx::ctl
