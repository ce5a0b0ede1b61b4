// kx5170ctl apply and set: every value checked before anything is sent, the window's
// write sequence, then the settings read back once the board has come back from the
// reset the sequence asks for.
#include "ctl_internal.h"

#include "settings_file.h"
#include "settings_report.h"
#include "settings_transfer.h"

#include <QFile>

#include <array>
#include <istream>
#include <ostream>

namespace kx::ctl {

namespace {

constexpr std::chrono::milliseconds ResetPoll{50};

std::string Seconds(std::chrono::milliseconds duration)
{
    return std::to_string((duration.count() + 999) / 1000) + " s";
}

// The bytes of a settings file, or a failure. One byte more than a settings file may
// hold is read, so that the reader can refuse an over-long file without reading all of
// it (a device node or a pipe might never end).
std::variant<std::string, Failure> ReadFileBytes(const QString& fileName, std::istream& in)
{
    const std::size_t limit = MaxSettingsFileSize + 1;
    std::string bytes;
    if (fileName == QLatin1String("-")) {
        bytes.resize(limit);
        in.read(bytes.data(), static_cast<std::streamsize>(limit));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        if (in.bad())
            return Failure{ExitUsage, "cannot read standard input"};
        return bytes;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{ExitUsage, "cannot read " + fileName.toStdString() + ": " + file.errorString().toStdString() +
                                      ": check the file name"};
    const QByteArray read = file.read(static_cast<qint64>(limit));
    if (read.isNull() && file.error() != QFileDevice::NoError)
        return Failure{ExitUsage, "cannot read " + fileName.toStdString() + ": " + file.errorString().toStdString() +
                                      ": check the file name"};
    return read.toStdString();
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
            return Failure{ExitUsage, "set: \"" + setting + "\" is not KEY=VALUE, such as stops=5000"};
        if (!FindSettingByKey(key))
            return Failure{ExitUsage, "set: unknown setting \"" + key +
                                          "\": the keys are those of a settings file (kx5170ctl show lists them)"};
        text += setting + "\n";
    }
    auto parsed = ParseSettingsFile(text, options.Clamp ? OutOfRange::Clamp : OutOfRange::Refuse);
    if (auto* error = std::get_if<SettingsFileError>(&parsed)) {
        // Line 1 is the marker; line n + 1 is the n-th argument.
        const int index = error->Line - 2;
        const std::string which =
            index >= 0 && index < arguments.size() ? arguments[index].toStdString() : std::string("the settings");
        return Failure{ExitUsage, "set " + which + ": " + error->Reason + ": nothing was sent"};
    }
    return std::get<SettingsFile>(parsed);
}

// Whether the board is still there: its input handle fails once the device is gone,
// even when a new node of the same name has appeared in the meantime.
bool StillThere(DeviceLink& link, HidPlatform& platform)
{
    if (DrainInputReports(link).Lost)
        return false;
    if (!platform.InterfacesMayHaveChanged())
        return true;
    for (const HidInterfaceInfo& info : platform.EnumerateInterfaces())
        if (info.Path == link.DevicePath)
            return true;
    return false;
}

// The settings the board holds once it is back from its reset. A board that stays
// present through the whole wait is read where it is.
std::variant<WheelSettings, Failure> ReadBackAfterReset(DeviceLink& link, HidPlatform& platform,
                                                        const CtlEnvironment& env)
{
    bool gone = false;
    for (std::chrono::milliseconds waited{0}; waited < env.ResetGoneTimeout && !gone; waited += ResetPoll) {
        platform.Pause(ResetPoll);
        gone = !StillThere(link, platform);
    }
    if (!gone)
        return ReadBoardSettings(link);
    CloseLinkHandle(link, link.FeatureHandle);
    CloseLinkHandle(link, link.InputHandle);

    // udev may give this user access a moment after the node appears, and the board
    // may not answer at once: both are tried again until the time is up.
    HidFailure lastFailure = HidFailure::None;
    for (std::chrono::milliseconds waited{0}; waited < env.ResetBackTimeout; waited += ResetPoll) {
        platform.Pause(ResetPoll);
        DeviceLink back;
        if (FindTheHid(back, platform) != FlagTrue) {
            lastFailure = back.BoardOpenFailure;
            continue;
        }
        link.DevicePath = back.DevicePath;
        if (const auto image = ReadSettingsReport(back))
            if (const auto settings = DecodeSettingsReport(*image))
                return *settings;
    }
    if (lastFailure == HidFailure::AccessDenied)
        return Failure{ExitNoAccess, "the board came back from its reset, but this user may not open it: "
                                     "run kx5170ctl list for the fix, then kx5170ctl show to check the settings"};
    return Failure{ExitNotTaken, "the board did not come back within " + Seconds(env.ResetBackTimeout) +
                                     " of its reset, so the settings were not checked: unplug it, plug it in again "
                                     "and check them with kx5170ctl show"};
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

}  // namespace

int RunWrite(const QStringList& positional, const Options& options, HidPlatform& platform, CtlEnvironment& env)
{
    const bool apply = positional.first() == QLatin1String("apply");
    const QStringList arguments = positional.mid(1);
    auto read = apply ? FileFromApply(arguments, options, env.In) : FileFromSet(arguments, options);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);
    const SettingsFile& file = std::get<SettingsFile>(read);

    DeviceLink link;
    if (auto failure = OpenFirstBoard(link, platform))
        return Report(env, *failure);
    const int boardType = BoardType(link.Attributes.VersionNumber);
    if (!options.Force && SettingsFileCountsDiffer(file, boardType))
        return Report(env, {ExitUsage, "the file was saved from a board of type " + std::to_string(*file.BoardType) +
                                           ", which counts another number of steps a turn than this one (type " +
                                           std::to_string(boardType) +
                                           "): its stops and centre_offset would mean other angles; nothing was "
                                           "sent; use --force to apply it anyway"});

    auto held = ReadBoardSettings(link);
    if (auto* failure = std::get_if<Failure>(&held))
        return Report(env, *failure);
    const WheelSettings settings = ApplySettingsFile(std::get<WheelSettings>(held), file);
    for (const SettingsField& field : SettingsFields)
        if (!IsEncodable(field, settings.*field.Value))
            return Report(env, {ExitUsage, std::string(field.Key) + " = " + std::to_string(settings.*field.Value) +
                                               " cannot be stored by the board: nothing was sent"});

    if (!SendSettingsSequence(link, settings))
        return Report(env, {ExitNotTaken, "the board at " + link.DevicePath +
                                              " did not take the settings: unplug it, plug it in again and retry"});
    if (options.NoVerify) {
        env.Out << "Settings sent to the board at " << link.DevicePath << "; it resets now (not read back).\n"
                << std::flush;
        return ExitDone;
    }

    auto back = ReadBackAfterReset(link, platform, env);
    if (auto* failure = std::get_if<Failure>(&back))
        return Report(env, *failure);
    const std::string differences = Differences(settings, std::get<WheelSettings>(back));
    if (!differences.empty())
        return Report(env, {ExitNotTaken, "the board holds other settings after the write (" + differences +
                                              "): retry, and if it persists, unplug the board and plug it in again"});
    env.Out << "Settings written to the board at " << link.DevicePath << " and read back.\n" << std::flush;
    return ExitDone;
}

}  // namespace kx::ctl
