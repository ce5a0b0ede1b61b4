// kx5170ctl apply and set: every value checked before anything is sent, the window's
// write sequence, then the settings read back once the board has come back from the
// reset the sequence asks for.
#include "ctl_internal.h"

#include "settings_file.h"
#include "board_identity.h"
#include "session_files.h"
#include "settings_report.h"
#include "wide_text.h"

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
        return Failure{ExitUsage, "cannot read " + EscapedText(fileName.toStdString()) + ": " + error->toStdString() +
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
        const std::string name = fileName == QLatin1String("-") ? "standard input" : fileName.toStdString();
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
    for (const QString& argument : arguments) {
        const std::string setting = argument.toStdString();
        const std::size_t equals = setting.find('=');
        const std::string key = setting.substr(0, equals);
        // A line break or comment sign would let one argument stand for other lines.
        if (equals == std::string::npos || setting.find_first_of("\r\n#") != std::string::npos)
            return Failure{ExitUsage, "set: \"" + EscapedText(setting) + "\" is not KEY=VALUE, such as stops=5000"};
        if (!FindSettingByKey(key))
            return Failure{ExitUsage, "set: unknown setting \"" + EscapedText(key) +
                                          "\": the keys are those of a settings file (kx5170ctl --help lists them)"};
        text += setting + "\n";
    }
    auto parsed = ParseSettingsFile(text, options.Clamp ? OutOfRange::Clamp : OutOfRange::Refuse);
    if (auto* error = std::get_if<SettingsFileError>(&parsed)) {
        // Line 1 is the marker; line n + 1 is the n-th argument.
        const int index = error->Line - 2;
        const std::string which = index >= 0 && index < arguments.size() ? EscapedText(arguments[index].toStdString())
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

}  // namespace

int RunWrite(const QStringList& positional, const Options& options, HidPlatform& platform, CtlEnvironment& env)
{
    const bool apply = positional.first() == QLatin1String("apply");
    const QStringList arguments = positional.mid(1);
    auto read = apply ? FileFromApply(arguments, options, env.In) : FileFromSet(arguments, options);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);
    const SettingsFile& file = std::get<SettingsFile>(read);

    BoardSession session(platform, env.Timings);
    if (auto failure = OpenBoard(session))
        return Report(env, *failure);
    const BoardIdentity board = session.Identity();
    const int boardType = BoardType(board.VersionNumber);
    if (!options.Force && SettingsFileCountsDiffer(file, boardType))
        return Report(env, {ExitUsage, "the file was saved from a board of type " + std::to_string(*file.BoardType) +
                                           ", which counts another number of steps a turn than this one (type " +
                                           std::to_string(boardType) +
                                           "): its stops and centre_offset would mean other angles; nothing was "
                                           "sent; use --force to apply it anyway"});

    Outcome<SettingsRead> held = session.ReadSettings();
    if (auto* failure = std::get_if<SessionFailure>(&held))
        return Report(env, FromSession(*failure));
    const SettingsRead& before = std::get<SettingsRead>(held);
    const WheelSettings settings = ApplySettingsFile(before.Values, file);
    for (std::size_t i = 0; i < SettingsCount; ++i)
        if (file.Values[i] && !IsEncodable(SettingsFields[i], *file.Values[i]))
            return Report(env, {ExitUsage, std::string(SettingsFields[i].Key) + " = " + std::to_string(*file.Values[i]) +
                                               " cannot be stored by the board: nothing was sent"});

    const SignalsHeld hold(env);
    const WriteReport written = session.WriteNamed(before, file.Values);
    if (!written.SettingsTaken())
        return Report(env, {ExitNotTaken, "settings not written: " + DescribeFailure(*written.FirstFailure()) +
                                              ": unplug the board, plug it in again and retry"});
    if (!written.Complete())
        return Report(env, {ExitNotTaken, "settings sent, but the board was not reset, so they may not be stored: " +
                                              DescribeFailure(*written.FirstFailure()) +
                                              ": unplug the board, plug it in again and check with kx5170ctl show"});
    if (options.NoVerify) {
        env.Out << "Settings sent to the board at " << board.Node << "; it resets now (not read back).\n"
                << std::flush;
        return ExitDone;
    }

    Outcome<SettingsRead> back = session.AwaitReturn();
    if (auto* failure = std::get_if<SessionFailure>(&back))
        return Report(env, FromSession(*failure));
    const std::string differences = Differences(settings, std::get<SettingsRead>(back).Values);
    if (!differences.empty())
        return Report(env, {ExitNotTaken, "the board holds other settings after the write (" + differences +
                                              "): retry, and if it persists, unplug the board and plug it in again"});
    env.Out << "Settings written to the board at " << session.Identity().Node << " and read back.\n" << std::flush;
    return ExitDone;
}

}  // namespace kx::ctl
