// kx5170ctl apply and set: every value checked before anything is sent, the window's
// write sequence, then the settings read back once the board has come back from the
// reset the sequence asks for.
#include "ctl_internal.h"

#include "settings_file.h"
#include "input_report.h"
#include "board_identity.h"
#include "settings_conversion.h"
#include "session_files.h"
#include "settings_report.h"
#include "plain_text.h"
#include "restore_journal.h"
#include "wide_text.h"

#include <QDateTime>

#include <algorithm>
#include <csignal>
#include <istream>
#include <ostream>

namespace kx::ctl {

namespace {

// The bytes of a settings file, or a failure. One byte more than a settings file may
// hold is read, so that the reader can refuse an over-long file without reading all of
// it (a pipe might never end).
std::variant<std::string, Failure> ReadFileBytes(const QString& fileName, std::istream& in)
{
    if (fileName == QLatin1String("-")) {
        const std::size_t limit = MaxSettingsFileSize + 1;
        std::string bytes(limit, '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(limit));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        if (in.bad())
            return Failure{ExitUsage, "cannot read standard input"};
        return bytes;
    }
    auto read = ReadSettingsFileBytes(fileName);
    if (const auto* error = std::get_if<QString>(&read))
        return Failure{ExitUsage, "cannot read " + PlainText(fileName.toStdString()) + ": " + error->toStdString() +
                                      ": check the file name"};
    return std::get<std::string>(std::move(read));
}

std::variant<SettingsFile, Failure> FileFromApply(const QStringList& arguments, const Options& options,
                                                  std::istream& in)
{
    if (arguments.size() != 1)
        return Failure{ExitUsage, "apply: name one settings file (- for standard input): see kx5170ctl --help"};
    const QString fileName = arguments.first();
    auto bytes = ReadFileBytes(fileName, in);
    if (auto* failure = std::get_if<Failure>(&bytes))
        return *failure;
    auto parsed = ParseSettingsFile(std::get<std::string>(bytes), options.Clamp ? OutOfRange::Clamp : OutOfRange::Refuse);
    if (auto* error = std::get_if<SettingsFileError>(&parsed)) {
        const std::string name = fileName == QLatin1String("-") ? "standard input" : PlainText(fileName.toStdString());
        return Failure{ExitUsage, DescribeSettingsFileError(name, *error) + ": nothing was sent; correct the file"};
    }
    return std::get<SettingsFile>(parsed);
}

// The settings given as KEY=VALUE are read as the lines of a settings file, so that
// they are checked exactly as a file's are.
std::variant<SettingsFile, Failure> FileFromSet(const QStringList& arguments, const Options& options)
{
    if (arguments.isEmpty())
        return Failure{ExitUsage, "set: give one or more KEY=VALUE, such as stops=5000: see kx5170ctl --help"};
    std::string text = "kx5170-settings = " + std::to_string(SettingsFileVersion) + "\n";
    std::vector<std::string> keys;
    for (const QString& argument : arguments) {
        const std::string setting = argument.toStdString();
        const std::size_t equals = setting.find('=');
        const std::string key = setting.substr(0, equals);
        // A line break or comment sign would let one argument stand for other lines.
        if (equals == std::string::npos || setting.find_first_of("\r\n#") != std::string::npos)
            return Failure{ExitUsage, "set: \"" + PlainText(setting) + "\" is not KEY=VALUE, such as stops=5000"};
        if (!FindSettingByKey(key) && key != RotationKey)
            return Failure{ExitUsage, "set: unknown setting \"" + PlainText(key) +
                                          "\": the keys are those of a settings file (kx5170ctl --help lists them)"};
        // Said here: the file's reader would name the lines of a file no one wrote.
        if (std::find(keys.begin(), keys.end(), key) != keys.end())
            return Failure{ExitUsage, "set: " + key + " is given twice: give each setting once"};
        const std::string other = key == RotationKey ? "stops" : key == "stops" ? RotationKey : "";
        if (!other.empty() && std::find(keys.begin(), keys.end(), other) != keys.end())
            return Failure{ExitUsage, "set: stops and rotation say the same thing twice: give one of them"};
        keys.push_back(key);
        text += setting + "\n";
    }
    auto parsed = ParseSettingsFile(text, options.Clamp ? OutOfRange::Clamp : OutOfRange::Refuse);
    if (auto* error = std::get_if<SettingsFileError>(&parsed)) {
        // Line 1 is the marker; line n + 1 is the n-th argument.
        const int index = error->Line - 2;
        const std::string which = index >= 0 && index < arguments.size() ? PlainText(arguments[index].toStdString())
                                                                         : std::string("the settings");
        return Failure{ExitUsage, "set " + which + ": " + error->Reason + ": nothing was sent"};
    }
    return std::get<SettingsFile>(parsed);
}

std::string Differences(const WheelSettings& sent, const WheelSettings& held)
{
    std::string text;
    for (std::size_t i : ScreenOrder) {
        const SettingsField& field = SettingsFields[i];
        if (sent.*field.Value == held.*field.Value)
            continue;
        text += (text.empty() ? "" : ", ") + std::string(field.Key) + " is " + std::to_string(held.*field.Value) +
                ", not " + std::to_string(sent.*field.Value);
    }
    return text;
}

// Holds the stop signals while it lives. Holds nest (run's outer one, its writes'
// inner ones): only the first takes hold and only the last lets go, so that a write
// within run never releases a signal that run must take itself.
class SignalsHeld {
public:
    explicit SignalsHeld(CtlEnvironment& env) : Env(env)
    {
        if (Env.SignalHolds++ == 0)
            Env.HoldSignals(true);
    }
    ~SignalsHeld()
    {
        if (--Env.SignalHolds == 0)
            Env.HoldSignals(false);
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    CtlEnvironment& Env;
};

// What a write needs once its file is checked against the board: the values to send,
// and the settings the board holds before (for run, to put back afterwards).
struct Prepared {
    SettingsFile File;
    SettingsRead Before;
    WheelSettings Settings;  // what the board should hold after the write
};

// Opens the board, brings a file of another board type to it (--convert) or refuses
// it, reads the settings, checks every value and who else holds the board. Nothing is
// sent.
std::variant<Prepared, Failure> Prepare(BoardSession& session, SettingsFile file, const Options& options,
                                        CtlEnvironment& env)
{
    if (auto failure = OpenBoard(session, options.Choice))
        return *failure;
    const std::optional<int> boardType = session.DeviceType();
    if (options.Convert && file.BoardType && file.BoardType != boardType) {
        auto converted = ConvertSettingsFile(file, boardType);
        if (const auto* reason = std::get_if<std::string>(&converted))
            return Failure{ExitUsage, "cannot convert the file to this board: " + *reason + ": nothing was sent"};
        file = std::get<SettingsFile>(std::move(converted));
    } else if (options.Convert && !file.BoardType) {
        return Failure{ExitUsage, "the file does not say which board type it was saved from, so it cannot be "
                                  "converted: nothing was sent; add board_type = N to it, or leave out --convert"};
    } else if (!options.Force && SettingsFileCountsDiffer(file, boardType)) {
        return Failure{ExitUsage, "the file was saved from a board of type " + std::to_string(*file.BoardType) +
                                      ", which counts another number of steps a turn than this one (" +
                                      (boardType ? "type " + std::to_string(*boardType)
                                                 : std::string("whose type could not be read")) +
                                      "): its stops and centre_offset would mean other angles; nothing was "
                                      "sent; use --convert to scale them to this board, or --force to apply "
                                      "it as it is"};
    }

    // Degrees become counts for this board, whatever board the file was saved from.
    if (file.RotationTenths) {
        auto resolved = ResolveRotation(file, CountsPerTurn(session.DeviceType()));
        if (const auto* reason = std::get_if<std::string>(&resolved))
            return Failure{ExitUsage, *reason + ": nothing was sent"};
        file = std::get<SettingsFile>(std::move(resolved));
    }

    Outcome<SettingsRead> held = session.ReadSettings();
    if (auto* failure = std::get_if<SessionFailure>(&held))
        return FromSession(*failure);
    for (std::size_t i = 0; i < SettingsCount; ++i)
        if (file.Values[i] && !IsEncodable(SettingsFields[i], *file.Values[i]))
            return Failure{ExitUsage, std::string(SettingsFields[i].Key) + " = " + std::to_string(*file.Values[i]) +
                                          " cannot be stored by the board: nothing was sent"};
    if (auto failure = InUse(session, options, env))
        return *failure;
    SettingsRead before = std::get<SettingsRead>(std::move(held));
    const WheelSettings settings = ApplySettingsFile(before.Values, file);
    return Prepared{std::move(file), std::move(before), settings};
}

// The write sequence with the stop signals held, then, unless `verify` is false, the
// wait for the board to come back and the check that it holds `expected`.
std::optional<Failure> WriteAndCheck(BoardSession& session, const SettingsRead& held,
                                     const std::array<std::optional<std::int32_t>, SettingsCount>& values,
                                     const WheelSettings& expected, bool verify, CtlEnvironment& env,
                                     bool* settingsTaken = nullptr)
{
    const SignalsHeld hold(env);
    const WriteReport written = session.WriteNamed(held, values);
    if (settingsTaken)
        *settingsTaken = written.SettingsTaken();
    if (!written.SettingsTaken())
        return Failure{ExitNotTaken, "settings not written: " + DescribeFailure(*written.FirstFailure()) +
                                         ": unplug the board, plug it in again and retry"};
    if (!written.Complete())
        return Failure{ExitNotTaken, "settings sent, but the board was not reset, so they may not be stored: " +
                                         DescribeFailure(*written.FirstFailure()) +
                                         ": unplug the board, plug it in again and check with kx5170ctl show"};
    if (!verify)
        return std::nullopt;
    Outcome<SettingsRead> back = session.AwaitReturn();
    if (auto* failure = std::get_if<SessionFailure>(&back))
        return FromSession(*failure);
    const std::string differences = Differences(expected, std::get<SettingsRead>(back).Values);
    if (!differences.empty())
        return Failure{ExitNotTaken, "the board holds other settings after the write (" + differences +
                                         "): retry, and if it persists, unplug the board and plug it in again"};
    return std::nullopt;
}

}  // namespace

int RunWrite(const QStringList& positional, const Options& options, HidPlatform& platform, CtlEnvironment& env)
{
    const bool apply = positional.first() == QLatin1String("apply");
    const QStringList arguments = positional.mid(1);
    auto read = apply ? FileFromApply(arguments, options, env.In) : FileFromSet(arguments, options);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);

    BoardSession session(platform, env.Timings);
    auto prepared = Prepare(session, std::get<SettingsFile>(std::move(read)), options, env);
    if (auto* failure = std::get_if<Failure>(&prepared))
        return Report(env, *failure);
    const Prepared& p = std::get<Prepared>(prepared);
    const std::string node = session.Identity().Node;
    if (auto failure = WriteAndCheck(session, p.Before, p.File.Values, p.Settings, !options.NoVerify, env))
        return Report(env, *failure);
    if (options.NoVerify)
        env.Out << "Settings sent to the board at " << node << "; it resets now (not read back).\n" << std::flush;
    else
        env.Out << "Settings written to the board at " << session.Identity().Node << " and read back.\n"
                << std::flush;
    return ExitDone;
}

namespace {

std::string SignalName(int signal)
{
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "signal " + std::to_string(signal);
    }
}

std::string RestoreFailureText(const RestoreFailure& failure)
{
    return failure.Reason + (failure.Session ? " (" + DescribeFailure(*failure.Session) + ")" : std::string());
}

// How a user puts the board's own settings back by hand, after a restore that failed.
std::string RestoreByHand(const RestoreEntry& entry)
{
    return "kx5170ctl restore --board " + PlainText(BoardArgument(entry));
}

// Writes the saved settings back to the board the entry names, once the programs
// `command` left behind have let go of it, and removes the entry. The board is searched
// for again: it may have come back from a reset under another node meanwhile.
std::optional<Failure> PutBack(BoardSession& session, const RestoreEntry& entry, const Options& options,
                               std::chrono::milliseconds holdersWait, CtlEnvironment& env)
{
    const std::string byHand = ": the board keeps the settings of " + PlainText(AppliedFileName(entry)) +
                               "; to put its own back, run: " + RestoreByHand(entry);
    const SearchOutcome found = session.Search(ChoiceFor(entry));
    if (!found.Found)
        return Failure{ExitNotTaken,
                       "the board's own settings were not written back: " + DescribeFailure(*found.Failure) + byHand};
    // A game's helper processes often outlive it for a moment; --force-in-use writes
    // once the wait is over, not before.
    if (const std::vector<DeviceHolder> holders = session.AwaitNoHolders(holdersWait);
        !holders.empty() && !options.ForceInUse)
        return Failure{ExitNotTaken, "the board's own settings were not written back: it is still in use by " +
                                         HoldersText(holders) + byHand};
    const SignalsHeld hold(env);
    if (auto failure = RestoreFromJournal(session, env.JournalFolder, entry)) {
        if (failure->SettingsBack)
            return Failure{ExitNotTaken, failure->Reason + ": remove it by hand"};
        return Failure{ExitNotTaken, "the board's own settings were not written back: " + RestoreFailureText(*failure) +
                                         byHand};
    }
    return std::nullopt;
}

}  // namespace

int RunWithSettings(const QStringList& positional, const QStringList& command, const Options& options,
                    HidPlatform& platform, CtlEnvironment& env)
{
    auto read = FileFromApply(positional.mid(1), options, env.In);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);
    const std::string fileName = positional.at(1).toStdString();

    BoardSession session(platform, env.Timings);
    if (auto failure = OpenBoard(session, options.Choice))
        return Report(env, *failure);
    // The board may still hold the file of a run that did not finish: the saved entry is
    // then the only record of its own settings, and a new one made from what the board
    // holds now would lose them. So they go back first, and this run starts afresh.
    for (const JournalItem& item : ReadJournal(env.JournalFolder)) {
        const auto* entry = std::get_if<RestoreEntry>(&item.Entry);
        if (!entry || !EntryIsFor(*entry, session.Identity()))
            continue;
        if (RunStillAlive(*entry))
            return Report(env, {ExitInUse, "kx5170ctl run (process " + std::to_string(entry->ProcessID) +
                                               ") is running on this board already: let it end first"});
        if (auto failure = InUse(session, options, env))
            return Report(env, *failure);
        if (!options.Quiet)
            env.Err << "kx5170ctl: the board still holds " << PlainText(AppliedFileName(*entry))
                    << " from a run that did not finish: putting its own settings back first\n"
                    << std::flush;
        if (auto failure = PutBack(session, *entry, options, std::chrono::milliseconds(0), env))
            return Report(env, *failure);
    }

    auto prepared = Prepare(session, std::get<SettingsFile>(std::move(read)), options, env);
    if (auto* failure = std::get_if<Failure>(&prepared))
        return Report(env, *failure);
    const Prepared& p = std::get<Prepared>(prepared);

    // From the record on to the end, a stop signal is taken, not obeyed at once: the
    // board must not be left in the file's settings with nobody to put its own back.
    const SignalsHeld hold(env);
    const RestoreEntry entry = EntryForRun(session.Identity(), p.Before, fileName);
    if (auto error = SaveRestoreEntry(env.JournalFolder, entry))
        return Report(env, {ExitUsage, "cannot keep a record of the board's own settings, so nothing was sent: " +
                                           PlainText(*error) + ": make the folder writable, or set XDG_STATE_HOME"});
    bool taken = false;
    if (auto failure = WriteAndCheck(session, p.Before, p.File.Values, p.Settings, true, env, &taken)) {
        if (!taken)
            RemoveRestoreEntry(env.JournalFolder, entry);  // nothing of the file was taken
        else
            failure->Message += "; to put the board's own settings back, run: " + RestoreByHand(entry);
        return Report(env, *failure);
    }
    if (const int signal = env.TakeStopSignal()) {
        if (auto failure = PutBack(session, entry, options, RunHoldersWait, env))
            return Report(env, {128 + signal, SignalName(signal) + " came during the write, so " +
                                                  PlainText(command.first().toStdString()) + " was not started, and " +
                                                  failure->Message});
        return Report(env, {128 + signal, SignalName(signal) + " came during the write, so " +
                                              PlainText(command.first().toStdString()) +
                                              " was not started; the board's own settings are back"});
    }

    if (!options.Quiet)
        env.Err << "kx5170ctl: " << PlainText(AppliedFileName(entry)) << " applied to the board at "
                << session.Identity().Node << "; running " << PlainText(command.first().toStdString()) << '\n'
                << std::flush;
    // The command opens the board itself; this program holds nothing of it meanwhile,
    // and finds the same board again afterwards, wherever it has gone.
    session.Close();
    const int status = env.RunChild(command);

    if (auto failure = PutBack(session, entry, options, RunHoldersWait, env))
        return Report(env, *failure);
    // A signal that came once the command had ended is this program's own: it ends
    // now, with the board's own settings back.
    const int signal = env.TakeStopSignal();
    if (!options.Quiet)
        env.Err << "kx5170ctl: the board's own settings are back" << (signal ? " (" + SignalName(signal) + " came meanwhile)" : "")
                << '\n'
                << std::flush;
    return signal ? 128 + signal : status;
}

namespace {

std::string BoardInWords(const RestoreEntry& entry)
{
    std::string text = "the board";
    if (!entry.Port.empty())
        text += " at " + PlainText(entry.Port);
    if (!entry.SerialNumber.empty())
        text += " with serial number " + PlainText(entry.SerialNumber);
    if (entry.Port.empty() && entry.SerialNumber.empty())
        text += " at " + PlainText(entry.Node);
    return text;
}

std::string LocalTime(std::int64_t secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString();
}

}  // namespace

int RunRestore(const Options& options, HidPlatform& platform, CtlEnvironment& env)
{
    BoardSession session(platform, env.Timings);
    // A board named by its node is known by what it is, not by the node it had when the
    // entry was made: it may have come back under another one since.
    std::optional<BoardIdentity> named;
    if (!options.Choice.Any()) {
        if (session.Search(options.Choice).Found)
            named = session.Identity();
        session.Close();
    }
    const BoardChoice& choice = options.Choice;
    auto chosen = [&](const RestoreEntry& entry) {
        if (choice.Any())
            return true;
        if (named)
            return EntryIsFor(entry, *named);
        return (choice.SerialNumber.empty() || choice.SerialNumber == entry.SerialNumber) &&
               (choice.Port.empty() || choice.Port == entry.Port) && (choice.Node.empty() || choice.Node == entry.Node);
    };

    const std::vector<JournalItem> items = ReadJournal(env.JournalFolder);
    int status = ExitDone;
    int shown = 0;
    for (const JournalItem& item : items) {
        const auto* entry = std::get_if<RestoreEntry>(&item.Entry);
        if (!entry) {
            if (choice.Any()) {
                Report(env, {ExitUsage, PlainText(item.File.string()) + " cannot be read: " +
                                            PlainText(std::get<std::string>(item.Entry)) +
                                            ": look at it, and remove it once you no longer need it"});
                status = status == ExitDone ? ExitUsage : status;
            }
            continue;
        }
        if (!chosen(*entry))
            continue;
        ++shown;
        const bool alive = RunStillAlive(*entry);
        if (options.List) {
            env.Out << BoardInWords(*entry) << ": " << PlainText(AppliedFileName(*entry)) << " ("
                    << PlainText(entry->FileApplied) << "), put on at " << LocalTime(entry->Time)
                    << " by run, process " << entry->ProcessID
                    << (alive ? ", which still runs" : ", which did not finish: kx5170ctl restore --board " +
                                                           PlainText(BoardArgument(*entry)) + " puts its own settings back")
                    << '\n';
            continue;
        }
        if (alive) {
            Report(env, {ExitInUse, "kx5170ctl run (process " + std::to_string(entry->ProcessID) + ") still runs on " +
                                        BoardInWords(*entry) + " and puts its own settings back when its command ends"});
            status = status == ExitDone ? ExitInUse : status;
            continue;
        }
        const SearchOutcome found = session.Search(ChoiceFor(*entry));
        if (!found.Found) {
            const Failure failure =
                found.Failure->Cause == FailureCause::NoBoard
                    ? Failure{ExitNoBoard, BoardInWords(*entry) + ", which holds " + PlainText(AppliedFileName(*entry)) +
                                               ", is not present: plug it in and run kx5170ctl restore again"}
                    : FromSession(*found.Failure);
            Report(env, failure);
            status = status == ExitDone ? failure.Status : status;
            continue;
        }
        if (auto failure = InUse(session, options, env)) {
            Report(env, *failure);
            status = status == ExitDone ? failure->Status : status;
            continue;
        }
        const SignalsHeld hold(env);
        if (auto failure = RestoreFromJournal(session, env.JournalFolder, *entry)) {
            Report(env, {ExitNotTaken, failure->SettingsBack
                                           ? failure->Reason + ": remove it by hand"
                                           : "the board's own settings were not written back: " +
                                                 RestoreFailureText(*failure) +
                                                 ": unplug the board, plug it in again and run kx5170ctl restore again"});
            status = status == ExitDone ? ExitNotTaken : status;
            continue;
        }
        if (!options.Quiet)
            env.Out << "The board at " << session.Identity().Node << " has its own settings back (it held "
                    << PlainText(AppliedFileName(*entry)) << "), and they read back.\n";
        session.Close();
    }
    if (shown == 0 && status == ExitDone)
        env.Out << (options.List    ? "Nothing is saved.\n"
                    : choice.Any() ? "Nothing to restore: no run left a board in a file's settings.\n"
                                   : "Nothing to restore for that board.\n");
    env.Out << std::flush;
    return status;
}

}  // namespace kx::ctl
