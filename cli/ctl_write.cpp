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
#include "wide_text.h"

#include <algorithm>
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

// Holds the stop signals while it lives.
class SignalsHeld {
public:
    explicit SignalsHeld(CtlEnvironment& env) : Env(env) { Env.HoldSignals(true); }
    ~SignalsHeld() { Env.HoldSignals(false); }
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
std::variant<Prepared, Failure> Prepare(BoardSession& session, SettingsFile file, const Options& options)
{
    if (auto failure = OpenBoard(session, options.Choice))
        return *failure;
    const int boardType = BoardType(session.Identity().VersionNumber);
    if (options.Convert && file.BoardType && *file.BoardType != boardType) {
        auto converted = ConvertSettingsFile(file, boardType);
        if (const auto* reason = std::get_if<std::string>(&converted))
            return Failure{ExitUsage, "cannot convert the file to this board: " + *reason + ": nothing was sent"};
        file = std::get<SettingsFile>(std::move(converted));
    } else if (options.Convert && !file.BoardType) {
        return Failure{ExitUsage, "the file does not say which board type it was saved from, so it cannot be "
                                  "converted: nothing was sent; add board_type = N to it, or leave out --convert"};
    } else if (!options.Force && SettingsFileCountsDiffer(file, boardType)) {
        return Failure{ExitUsage, "the file was saved from a board of type " + std::to_string(*file.BoardType) +
                                      ", which counts another number of steps a turn than this one (type " +
                                      std::to_string(boardType) +
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
    if (auto failure = InUse(session, options.ForceInUse))
        return *failure;
    SettingsRead before = std::get<SettingsRead>(std::move(held));
    const WheelSettings settings = ApplySettingsFile(before.Values, file);
    return Prepared{std::move(file), std::move(before), settings};
}

// The write sequence with the stop signals held, then, unless `verify` is false, the
// wait for the board to come back and the check that it holds `expected`.
std::optional<Failure> WriteAndCheck(BoardSession& session, const SettingsRead& held,
                                     const std::array<std::optional<std::int32_t>, SettingsCount>& values,
                                     const WheelSettings& expected, bool verify, CtlEnvironment& env)
{
    const SignalsHeld hold(env);
    const WriteReport written = session.WriteNamed(held, values);
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

// The board's own settings as a set command, for a user to put them back by hand.
std::string SetCommand(const WheelSettings& values)
{
    std::string text = "kx5170ctl set";
    for (std::size_t i : ScreenOrder)
        text += " " + std::string(SettingsFields[i].Key) + "=" + std::to_string(values.*SettingsFields[i].Value);
    return text;
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
    auto prepared = Prepare(session, std::get<SettingsFile>(std::move(read)), options);
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

int RunWithSettings(const QStringList& positional, const QStringList& command, const Options& options,
                    HidPlatform& platform, CtlEnvironment& env)
{
    auto read = FileFromApply(positional.mid(1), options, env.In);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);

    BoardSession session(platform, env.Timings);
    auto prepared = Prepare(session, std::get<SettingsFile>(std::move(read)), options);
    if (auto* failure = std::get_if<Failure>(&prepared))
        return Report(env, *failure);
    const Prepared& p = std::get<Prepared>(prepared);
    if (auto failure = WriteAndCheck(session, p.Before, p.File.Values, p.Settings, true, env))
        return Report(env, *failure);

    // The command opens the board itself; this program holds nothing of it meanwhile,
    // and finds the same board again afterwards, wherever it has gone.
    const BoardIdentity board = session.Identity();
    session.Close();
    const int status = env.RunChild(command);

    const SignalsHeld hold(env);
    const std::string restoreByHand = ": the board keeps the settings of " + PlainText(positional.at(1).toStdString()) +
                                      "; to put its own back, run: " + SetCommand(p.Before.Values);
    BoardChoice same;
    if (!board.SerialNumber.empty())
        same.SerialNumber = board.SerialNumber;
    else
        same.Node = board.Node;
    const SearchOutcome found = session.Search(same);
    if (!found.Found) {
        Report(env, {ExitNotTaken, "the board's own settings were not written back: " +
                                       DescribeFailure(*found.Failure) + restoreByHand});
        return ExitNotTaken;
    }
    // A game's helper processes often outlive it for a moment; --force-in-use writes
    // once the wait is over, not before.
    if (const std::vector<DeviceHolder> holders = session.AwaitNoHolders(RunHoldersWait); !holders.empty()) {
        if (!options.ForceInUse) {
            Report(env, {ExitNotTaken, "the board's own settings were not written back: it is still in use by " +
                                           HoldersText(holders) + restoreByHand});
            return ExitNotTaken;
        }
    }
    // Every byte as it was read before: nothing named, nothing re-encoded.
    if (auto failure = WriteAndCheck(session, p.Before, {}, p.Before.Values, true, env)) {
        Report(env, {ExitNotTaken, "the board's own settings were not written back: " + failure->Message});
        return ExitNotTaken;
    }
    return status;
}

}  // namespace kx::ctl
