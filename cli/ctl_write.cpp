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
            return Failure{ExitUsage, kx5170ctl::tr("cannot read standard input").toStdString()};
        return bytes;
    }
    auto read = ReadSettingsFileBytes(fileName);
    if (const auto* error = std::get_if<QString>(&read))
        return Failure{ExitUsage, kx5170ctl::tr("cannot read %1: %2: check the file name")
                                      .arg(Q(PlainText(fileName.toStdString())), *error)
                                      .toStdString()};
    return std::get<std::string>(std::move(read));
}

std::variant<SettingsFile, Failure> FileFromApply(const QStringList& arguments, const Options& options,
                                                  std::istream& in)
{
    if (arguments.size() != 1)
        return Failure{
            ExitUsage,
            kx5170ctl::tr("apply: name one settings file (- for standard input): see kx5170ctl --help").toStdString()};
    const QString fileName = arguments.first();
    auto bytes = ReadFileBytes(fileName, in);
    if (auto* failure = std::get_if<Failure>(&bytes))
        return *failure;
    auto parsed = ParseSettingsFile(std::get<std::string>(bytes), options.Clamp ? OutOfRange::Clamp : OutOfRange::Refuse);
    if (auto* error = std::get_if<SettingsFileError>(&parsed)) {
        const QString name = fileName == QLatin1String("-") ? kx5170ctl::tr("standard input") : fileName;
        return Failure{ExitUsage, kx5170ctl::tr("%1: nothing was sent; correct the file")
                                      .arg(DescribeSettingsFileErrorText(name, *error))
                                      .toStdString()};
    }
    return std::get<SettingsFile>(parsed);
}

// The settings given as KEY=VALUE are read as the lines of a settings file, so that
// they are checked exactly as a file's are.
std::variant<SettingsFile, Failure> FileFromSet(const QStringList& arguments, const Options& options)
{
    if (arguments.isEmpty())
        return Failure{
            ExitUsage,
            kx5170ctl::tr("set: give one or more KEY=VALUE, such as stops=5000: see kx5170ctl --help").toStdString()};
    std::string text = "kx5170-settings = " + std::to_string(SettingsFileVersion) + "\n";
    std::vector<std::string> keys;
    for (const QString& argument : arguments) {
        const std::string setting = argument.toStdString();
        const std::size_t equals = setting.find('=');
        const std::string key = setting.substr(0, equals);
        // A line break or comment sign would let one argument stand for other lines.
        if (equals == std::string::npos || setting.find_first_of("\r\n#") != std::string::npos)
            return Failure{ExitUsage, kx5170ctl::tr("set: \"%1\" is not KEY=VALUE, such as stops=5000")
                                          .arg(Q(PlainText(setting)))
                                          .toStdString()};
        if (!FindSettingByKey(key) && key != RotationKey)
            return Failure{ExitUsage, kx5170ctl::tr("set: unknown setting \"%1\": the keys are those of a settings "
                                                    "file (kx5170ctl --help lists them)")
                                          .arg(Q(PlainText(key)))
                                          .toStdString()};
        // Said here: the file's reader would name the lines of a file no one wrote.
        if (std::find(keys.begin(), keys.end(), key) != keys.end())
            return Failure{ExitUsage,
                           kx5170ctl::tr("set: %1 is given twice: give each setting once").arg(Q(key)).toStdString()};
        const std::string other = key == RotationKey ? "stops" : key == "stops" ? RotationKey : "";
        if (!other.empty() && std::find(keys.begin(), keys.end(), other) != keys.end())
            return Failure{
                ExitUsage,
                kx5170ctl::tr("set: stops and rotation say the same thing twice: give one of them").toStdString()};
        keys.push_back(key);
        text += setting + "\n";
    }
    auto parsed = ParseSettingsFile(text, options.Clamp ? OutOfRange::Clamp : OutOfRange::Refuse);
    if (auto* error = std::get_if<SettingsFileError>(&parsed)) {
        // Line 1 is the marker; line n + 1 is the n-th argument.
        const int index = error->Line - 2;
        const std::string which = index >= 0 && index < arguments.size() ? PlainText(arguments[index].toStdString())
                                                                         : kx5170ctl::tr("the settings").toStdString();
        return Failure{ExitUsage,
                       kx5170ctl::tr("set %1: %2: nothing was sent").arg(Q(which), Q(error->Reason)).toStdString()};
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
        text += (text.empty() ? "" : ", ") + kx5170ctl::tr("%1 is %2, not %3")
                                                 .arg(QLatin1String(field.Key))
                                                 .arg(held.*field.Value)
                                                 .arg(sent.*field.Value)
                                                 .toStdString();
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
        if (const auto* reason = std::get_if<SettingsFileError>(&converted))
            return Failure{ExitUsage, kx5170ctl::tr("cannot convert the file to this board: %1: nothing was sent")
                                          .arg(SettingsReasonText(*reason))
                                          .toStdString()};
        file = std::get<SettingsFile>(std::move(converted));
    } else if (options.Convert && !file.BoardType) {
        return Failure{ExitUsage, kx5170ctl::tr("the file does not say which board type it was saved from, so it "
                                                "cannot be converted: nothing was sent; add board_type = N to it, or "
                                                "leave out --convert")
                                      .toStdString()};
    } else if (!options.Force && SettingsFileCountsDiffer(file, boardType)) {
        const QString thisOne =
            boardType ? kx5170ctl::tr("type %1").arg(*boardType) : kx5170ctl::tr("whose type could not be read");
        return Failure{ExitUsage,
                       kx5170ctl::tr("the file was saved from a board of type %1, which counts another "
                                     "number of steps a turn than this one (%2): its stops and "
                                     "centre_offset would mean other angles; nothing was sent; use "
                                     "--convert to scale them to this board, or --force to apply it as it is")
                           .arg(QString::number(*file.BoardType), thisOne)
                           .toStdString()};
    }

    // Degrees become counts for this board, whatever board the file was saved from.
    if (file.RotationTenths) {
        auto resolved = ResolveRotation(file, CountsPerTurn(session.DeviceType()));
        if (const auto* reason = std::get_if<SettingsFileError>(&resolved))
            return Failure{ExitUsage, kx5170ctl::tr("%1: nothing was sent").arg(SettingsReasonText(*reason)).toStdString()};
        file = std::get<SettingsFile>(std::move(resolved));
    }

    Outcome<SettingsRead> held = session.ReadSettings();
    if (auto* failure = std::get_if<SessionFailure>(&held))
        return FromSession(*failure);
    for (std::size_t i = 0; i < SettingsCount; ++i)
        if (file.Values[i] && !IsEncodable(SettingsFields[i], *file.Values[i]))
            return Failure{ExitUsage, kx5170ctl::tr("%1 = %2 cannot be stored by the board: nothing was sent")
                                          .arg(QLatin1String(SettingsFields[i].Key), QString::number(*file.Values[i]))
                                          .toStdString()};
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
        return Failure{ExitNotTaken,
                       kx5170ctl::tr("settings not written: %1: unplug the board, plug it in again and retry")
                           .arg(Q(DescribeFailure(*written.FirstFailure())))
                           .toStdString()};
    if (!written.Complete())
        return Failure{ExitNotTaken, kx5170ctl::tr("settings sent, but the board was not reset, so they may not be "
                                                   "stored: %1: unplug the board, plug it in again and check with "
                                                   "kx5170ctl show")
                                         .arg(Q(DescribeFailure(*written.FirstFailure())))
                                         .toStdString()};
    if (!verify)
        return std::nullopt;
    Outcome<SettingsRead> back = session.AwaitReturn();
    if (auto* failure = std::get_if<SessionFailure>(&back))
        return FromSession(*failure);
    const std::string differences = Differences(expected, std::get<SettingsRead>(back).Values);
    if (!differences.empty())
        return Failure{ExitNotTaken, kx5170ctl::tr("the board holds other settings after the write (%1): retry, and "
                                                   "if it persists, unplug the board and plug it in again")
                                         .arg(Q(differences))
                                         .toStdString()};
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
        env.Out << kx5170ctl::tr("Settings sent to the board at %1; it resets now (not read back).")
                       .arg(Q(node))
                       .toStdString()
                << '\n'
                << std::flush;
    else
        env.Out << kx5170ctl::tr("Settings written to the board at %1 and read back.")
                       .arg(Q(session.Identity().Node))
                       .toStdString()
                << '\n'
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
        return kx5170ctl::tr("signal %1").arg(signal).toStdString();
    }
}

std::string RestoreFailureText(const RestoreFailure& failure)
{
    if (!failure.Session)
        return failure.Reason;
    return kx5170ctl::tr("%1 (%2)").arg(Q(failure.Reason), Q(DescribeFailure(*failure.Session))).toStdString();
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
    const std::string byHand = ": " + kx5170ctl::tr("the board keeps the settings of %1; to put its own back, run: %2")
                                          .arg(Q(PlainText(AppliedFileName(entry))), Q(RestoreByHand(entry)))
                                          .toStdString();
    auto notBack = [](const std::string& why) {
        return kx5170ctl::tr("the board's own settings were not written back: %1").arg(Q(why)).toStdString();
    };
    const SearchOutcome found = session.Search(ChoiceFor(entry));
    if (!found.Found)
        return Failure{ExitNotTaken, notBack(DescribeFailure(*found.Failure)) + byHand};
    // A game's helper processes often outlive it for a moment; --force-in-use writes
    // once the wait is over, not before.
    if (const std::vector<DeviceHolder> holders = session.AwaitNoHolders(holdersWait);
        !holders.empty() && !options.ForceInUse)
        return Failure{
            ExitNotTaken,
            notBack(kx5170ctl::tr("it is still in use by %1").arg(Q(HoldersText(holders))).toStdString()) + byHand};
    const SignalsHeld hold(env);
    if (auto failure = RestoreFromJournal(session, env.JournalFolder, entry)) {
        if (failure->SettingsBack)
            return Failure{ExitNotTaken, kx5170ctl::tr("%1: remove it by hand").arg(Q(failure->Reason)).toStdString()};
        return Failure{ExitNotTaken, notBack(RestoreFailureText(*failure)) + byHand};
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
            return Report(env, {ExitInUse, kx5170ctl::tr("kx5170ctl run (process %1) is running on this board "
                                                         "already: let it end first")
                                               .arg(entry->ProcessID)
                                               .toStdString()});
        if (auto failure = InUse(session, options, env))
            return Report(env, *failure);
        if (!options.Quiet)
            env.Err << "kx5170ctl: "
                    << kx5170ctl::tr(
                           "the board still holds %1 from a run that did not finish: putting its own "
                           "settings back first")
                           .arg(Q(PlainText(AppliedFileName(*entry))))
                           .toStdString()
                    << '\n'
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
        return Report(env, {ExitUsage, kx5170ctl::tr("cannot keep a record of the board's own settings, so nothing "
                                                     "was sent: %1: make the folder writable, or set XDG_STATE_HOME")
                                           .arg(Q(PlainText(*error)))
                                           .toStdString()});
    bool taken = false;
    if (auto failure = WriteAndCheck(session, p.Before, p.File.Values, p.Settings, true, env, &taken)) {
        if (!taken)
            RemoveRestoreEntry(env.JournalFolder, entry);  // nothing of the file was taken
        else
            failure->Message += "; " + kx5170ctl::tr("to put the board's own settings back, run: %1")
                                           .arg(Q(RestoreByHand(entry)))
                                           .toStdString();
        return Report(env, *failure);
    }
    if (const int signal = env.TakeStopSignal()) {
        if (auto failure = PutBack(session, entry, options, RunHoldersWait, env))
            return Report(env, {128 + signal, kx5170ctl::tr("%1 came during the write, so %2 was not started, and %3")
                                                  .arg(Q(SignalName(signal)),
                                                       Q(PlainText(command.first().toStdString())), Q(failure->Message))
                                                  .toStdString()});
        return Report(env, {128 + signal, kx5170ctl::tr("%1 came during the write, so %2 was not started; the "
                                                        "board's own settings are back")
                                              .arg(Q(SignalName(signal)), Q(PlainText(command.first().toStdString())))
                                              .toStdString()});
    }

    if (!options.Quiet)
        env.Err << "kx5170ctl: "
                << kx5170ctl::tr("%1 applied to the board at %2; running %3")
                       .arg(Q(PlainText(AppliedFileName(entry))), Q(session.Identity().Node),
                            Q(PlainText(command.first().toStdString())))
                       .toStdString()
                << '\n'
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
        env.Err
            << "kx5170ctl: "
            << (signal
                    ? kx5170ctl::tr("the board's own settings are back (%1 came meanwhile)").arg(Q(SignalName(signal)))
                    : kx5170ctl::tr("the board's own settings are back"))
                   .toStdString()
            << '\n'
            << std::flush;
    return signal ? 128 + signal : status;
}

namespace {

std::string BoardInWords(const RestoreEntry& entry)
{
    const QString port = Q(PlainText(entry.Port)), serial = Q(PlainText(entry.SerialNumber));
    if (entry.Port.empty() && entry.SerialNumber.empty())
        return kx5170ctl::tr("the board at %1").arg(Q(PlainText(entry.Node))).toStdString();
    if (entry.SerialNumber.empty())
        return kx5170ctl::tr("the board at %1").arg(port).toStdString();
    if (entry.Port.empty())
        return kx5170ctl::tr("the board with serial number %1").arg(serial).toStdString();
    return kx5170ctl::tr("the board at %1 with serial number %2").arg(port, serial).toStdString();
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
                Report(env, {ExitUsage,
                             kx5170ctl::tr("%1 cannot be read: %2: look at it, and remove it once you no "
                                           "longer need it")
                                 .arg(Q(PlainText(item.File.string())), Q(PlainText(std::get<std::string>(item.Entry))))
                                 .toStdString()});
                status = status == ExitDone ? ExitUsage : status;
            }
            continue;
        }
        if (!chosen(*entry))
            continue;
        ++shown;
        const bool alive = RunStillAlive(*entry);
        if (options.List) {
            const QString board = Q(BoardInWords(*entry)), file = Q(PlainText(AppliedFileName(*entry))),
                          path = Q(PlainText(entry->FileApplied)), time = Q(LocalTime(entry->Time)),
                          process = QString::number(entry->ProcessID);
            const QString line =
                alive ? kx5170ctl::tr("%1: %2 (%3), put on at %4 by run, process %5, which still runs")
                            .arg(board, file, path, time, process)
                      : kx5170ctl::tr(
                            "%1: %2 (%3), put on at %4 by run, process %5, which did not finish: kx5170ctl "
                            "restore --board %6 puts its own settings back")
                            .arg(board, file, path, time, process, Q(PlainText(BoardArgument(*entry))));
            env.Out << line.toStdString() << '\n';
            continue;
        }
        if (alive) {
            Report(env, {ExitInUse, kx5170ctl::tr("kx5170ctl run (process %1) still runs on %2 and puts its own "
                                                  "settings back when its command ends")
                                        .arg(QString::number(entry->ProcessID), Q(BoardInWords(*entry)))
                                        .toStdString()});
            status = status == ExitDone ? ExitInUse : status;
            continue;
        }
        const SearchOutcome found = session.Search(ChoiceFor(*entry));
        if (!found.Found) {
            const Failure failure =
                found.Failure->Cause == FailureCause::NoBoard
                    ? Failure{ExitNoBoard, kx5170ctl::tr("%1, which holds %2, is not present: plug it in and run "
                                                         "kx5170ctl restore again")
                                               .arg(Q(BoardInWords(*entry)), Q(PlainText(AppliedFileName(*entry))))
                                               .toStdString()}
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
            Report(env,
                   {ExitNotTaken, failure->SettingsBack
                                      ? kx5170ctl::tr("%1: remove it by hand").arg(Q(failure->Reason)).toStdString()
                                      : kx5170ctl::tr("the board's own settings were not written back: %1: "
                                                      "unplug the board, plug it in again and run kx5170ctl "
                                                      "restore again")
                                            .arg(Q(RestoreFailureText(*failure)))
                                            .toStdString()});
            status = status == ExitDone ? ExitNotTaken : status;
            continue;
        }
        if (!options.Quiet)
            env.Out << kx5170ctl::tr("The board at %1 has its own settings back (it held %2), and they read back.")
                           .arg(Q(session.Identity().Node), Q(PlainText(AppliedFileName(*entry))))
                           .toStdString()
                    << '\n';
        session.Close();
    }
    if (shown == 0 && status == ExitDone)
        env.Out << (options.List   ? kx5170ctl::tr("Nothing is saved.")
                    : choice.Any() ? kx5170ctl::tr("Nothing to restore: no run left a board in a file's settings.")
                                   : kx5170ctl::tr("Nothing to restore for that board."))
                       .toStdString()
                << '\n';
    env.Out << std::flush;
    return status;
}

}  // namespace kx::ctl
