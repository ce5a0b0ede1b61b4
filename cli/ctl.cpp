// kx5170ctl's command line, and the commands that only read: list, show, save.
#include "ctl.h"

#include "access_help.h"
#include "board_identity.h"
#include "ctl_internal.h"
#include "settings_file.h"
#include "session_files.h"
#include "wide_text.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QString>

#include <cstdio>
#include <ostream>

namespace kx {

namespace ctl {

int Report(CtlEnvironment& environment, const Failure& failure)
{
    environment.Err << "kx5170ctl: " << failure.Message << '\n' << std::flush;
    return failure.Status;
}

Failure FromSession(const SessionFailure& failure)
{
    const std::string what = DescribeFailure(failure);
    switch (failure.Cause) {
    case FailureCause::NoBoard:
        return {ExitNoBoard, "no KX5170 board found: plug it in (kx5170ctl list shows what is present)"};
    case FailureCause::AccessDenied:
        return {ExitNoAccess, what + ": " + std::string(AccessFixInWords)};
    default:
        break;
    }
    if (failure.Step == SessionStep::Search)
        return {ExitNoBoard, what + ": unplug it, plug it in again and retry"};
    if (failure.Step == SessionStep::AwaitReset || failure.Step == SessionStep::AwaitReturn ||
        failure.Step == SessionStep::ReadBack)
        return {ExitNotTaken, what + ": unplug the board, plug it in again and check its settings with kx5170ctl show"};
    return {ExitNotTaken, what + ": unplug it, plug it in again and retry"};
}

std::optional<Failure> OpenBoard(BoardSession& session)
{
    const SearchOutcome found = session.Search();
    if (found.Found)
        return std::nullopt;
    return FromSession(*found.Failure);
}

}  // namespace ctl

namespace {

using namespace ctl;

std::string HexId(std::uint16_t id)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", id);
    return text;
}

std::string Printable(const std::optional<std::u16string>& text)
{
    return text ? PrintableDeviceText(*text) : std::string();
}

// Every KX5170 board present, one line a board with each of its nodes and whether this
// user may open it.
int RunList(HidPlatform& platform, CtlEnvironment& env)
{
    BoardSession session(platform, env.Timings);
    int opened = 0, boards = 0;
    std::string deniedNodes;
    for (const BoardSession::Listing& board : session.List()) {
        ++boards;
        env.Out << "product " << HexId(board.ProductID) << "  version " << BoardVersionText(board.VersionNumber)
                << "  serial "
                << (board.SerialNumber.empty()
                        ? std::string("-")
                        : PrintableDeviceText(QString::fromStdString(board.SerialNumber).toStdU16String()))
                << "  nodes";
        bool any = false;
        for (const auto& [node, failure] : board.Nodes) {
            const char* access = failure == HidFailure::None           ? "ok"
                                 : failure == HidFailure::AccessDenied ? "denied"
                                 : failure == HidFailure::Gone         ? "gone"
                                                                       : "failed";
            env.Out << ' ' << node << " (" << access << ')';
            any = any || failure == HidFailure::None;
            if (failure == HidFailure::AccessDenied)
                deniedNodes += (deniedNodes.empty() ? "" : ", ") + node;
        }
        env.Out << '\n';
        opened += any ? 1 : 0;
    }
    env.Out << std::flush;
    if (boards == 0)
        return Report(env, {ExitNoBoard, "no KX5170 board found: plug it in"});
    if (!deniedNodes.empty()) {
        const Failure denied{opened == 0 ? ExitNoAccess : ExitDone,
                             "this user may not open " + deniedNodes + ": " + std::string(AccessFixInWords)};
        Report(env, denied);
        return denied.Status;
    }
    return opened == 0 ? Report(env, {ExitNoBoard, "the board could not be opened: unplug it, plug it in again and retry"})
                       : ExitDone;
}

std::variant<BoardDetails, Failure> ReadDetails(HidPlatform& platform, CtlEnvironment& env)
{
    BoardSession session(platform, env.Timings);
    if (auto failure = OpenBoard(session))
        return *failure;
    BoardDetails details = session.Load();
    if (const auto* failure = std::get_if<SessionFailure>(&details.Settings))
        return FromSession(*failure);
    return details;
}

std::string ValueWithUnit(const SettingsField& field, std::int32_t value)
{
    std::string text = std::to_string(value);
    if (*field.Unit)
        text += std::string(field.Unit[0] == '%' ? "" : " ") + field.Unit;
    return text;
}

int RunShow(const Options& options, HidPlatform& platform, CtlEnvironment& env)
{
    auto read = ReadDetails(platform, env);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);
    const BoardDetails& d = std::get<BoardDetails>(read);
    const WheelSettings& values = std::get<SettingsRead>(d.Settings).Values;
    const std::uint16_t version = d.Identity.VersionNumber;

    if (options.Json) {
        QJsonObject settings, units;
        for (std::size_t i : ScreenOrder) {
            const SettingsField& field = SettingsFields[i];
            settings.insert(QString::fromUtf8(field.Key), values.*field.Value);
            if (*field.Unit)
                units.insert(QString::fromUtf8(field.Key), QString::fromUtf8(field.Unit));
        }
        const QJsonObject board{
            {"node", QString::fromStdString(d.Identity.Node)},
            {"vendor_id", QString::fromStdString(HexId(BoardVendorID))},
            {"product_id", QString::fromStdString(HexId(d.Identity.ProductID))},
            {"version", QString::fromStdString(BoardVersionText(version))},
            {"board_type", BoardType(version)},
            {"manufacturer", QString::fromStdString(Printable(d.Manufacturer))},
            {"product", QString::fromStdString(Printable(d.Product))},
            {"serial_number", QString::fromStdString(Printable(d.SerialNumber))},
            {"settings", settings},
            {"units", units},
        };
        env.Out << QJsonDocument(board).toJson(QJsonDocument::Indented).toStdString() << std::flush;
        return ExitDone;
    }

    auto orDash = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    env.Out << "Node:            " << d.Identity.Node << '\n'
            << "Manufacturer:    " << orDash(Printable(d.Manufacturer)) << '\n'
            << "Product:         " << orDash(Printable(d.Product)) << '\n'
            << "Serial number:   " << orDash(Printable(d.SerialNumber)) << '\n'
            << "Version:         " << BoardVersionText(version) << '\n'
            << "Product ID:      " << HexId(d.Identity.ProductID) << "\n\n";
    for (std::size_t i : ScreenOrder) {
        const SettingsField& field = SettingsFields[i];
        QString line = QStringLiteral("%1 %2 %3")
                           .arg(QString::fromUtf8(field.Caption), -21)
                           .arg(QString::fromUtf8(field.Key), -21)
                           .arg(QString::fromStdString(ValueWithUnit(field, values.*field.Value)));
        env.Out << line.toStdString() << '\n';
    }
    env.Out << std::flush;
    return ExitDone;
}

int RunSave(const QString& fileName, HidPlatform& platform, CtlEnvironment& env)
{
    auto read = ReadDetails(platform, env);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);
    const BoardDetails& d = std::get<BoardDetails>(read);
    const std::string text = FormatSettingsFile(std::get<SettingsRead>(d.Settings).Values, SavedFileOrigin(d));

    if (fileName == QLatin1String("-")) {
        env.Out << text << std::flush;
        return env.Out ? ExitDone : Report(env, {ExitUsage, "could not write to standard output"});
    }
    // Written beside the target and renamed over it: a failure never leaves half a file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
        !file.commit())
        return Report(env, {ExitUsage, "cannot write " + EscapedText(fileName.toStdString()) + ": " +
                                           file.errorString().toStdString() + ": choose another file name"});
    return ExitDone;
}

const char* const Description =
    "Reads, writes and watches a KX5170 wheel controller board.\n"
    "\n"
    "Commands:\n"
    "  list                 every board present, and whether you may open it\n"
    "  show [--json]        the first board's details and its twelve settings\n"
    "  save FILE            the board's settings as a settings file (- for standard output)\n"
    "  apply FILE           write a settings file to the board, then check it\n"
    "  set KEY=VALUE...     write some settings (keys as in a settings file), then check them\n"
    "  watch [--json]       the wheel's position as it turns, until interrupted\n"
    "\n"
    "Exit status: 0 done; 1 bad usage or a bad file; 2 no board found, or one that\n"
    "could not be opened; 3 a board you may not open; 4 a request to the board failed:\n"
    "its settings not read, not taken, not stored (it did not reset), or other values\n"
    "held after the write.\n"
    "\n"
    "After a write the board resets: apply and set wait up to 3 s for it to go away\n"
    "and up to 10 s for the same board to come back, then read it back. A request the\n"
    "board does not answer is given up by the kernel after 5 s.";

}  // namespace

int RunCtl(const QStringList& arguments, HidPlatform& platform, CtlEnvironment& env)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(Description));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("show, watch: print JSON"));
    const QCommandLineOption clamp(QStringLiteral("clamp"),
                                   QStringLiteral("apply, set: bring a value outside its range to the nearer bound, "
                                                  "as the window does (not stops or centre_offset)"));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("apply: accept a file saved from a board that counts another "
                                                  "number of steps a turn"));
    const QCommandLineOption noVerify(QStringLiteral("no-verify"),
                                      QStringLiteral("apply, set: do not wait for the board's reset to read the "
                                                     "settings back"));
    parser.addOptions({json, clamp, force, noVerify});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("list, show, save, apply, set or watch"));
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("the command's file or settings"),
                                 QStringLiteral("[arguments...]"));

    if (!parser.parse(arguments)) {
        QString error = parser.errorText();
        if (error.endsWith(u'.'))
            error.chop(1);
        return Report(env, {ExitUsage, error.toStdString() + ": see kx5170ctl --help"});
    }
    if (parser.isSet(help)) {
        env.Out << parser.helpText().toStdString() << std::flush;
        return ExitDone;
    }
    if (parser.isSet(version)) {
        env.Out << "kx5170ctl " << KX_VERSION << '\n' << std::flush;
        return ExitDone;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return Report(env, {ExitUsage, "no command given: see kx5170ctl --help"});
    const QString command = positional.takeFirst();
    const Options options{parser.isSet(json), parser.isSet(clamp), parser.isSet(force), parser.isSet(noVerify)};

    auto usage = [&](const std::string& what) {
        return Report(env, {ExitUsage, command.toStdString() + ": " + what + ": see kx5170ctl --help"});
    };
    const bool reads = command == QLatin1String("list") || command == QLatin1String("show") ||
                       command == QLatin1String("save") || command == QLatin1String("watch");
    const bool writes = command == QLatin1String("apply") || command == QLatin1String("set");
    if (!reads && !writes)
        return Report(env, {ExitUsage, "unknown command \"" + command.toStdString() + "\": see kx5170ctl --help"});
    if (options.Json && command != QLatin1String("show") && command != QLatin1String("watch"))
        return usage("--json is for show and watch");
    if ((options.Clamp || options.NoVerify) && !writes)
        return usage(std::string(options.Clamp ? "--clamp" : "--no-verify") + " is for apply and set");
    if (options.Force && command != QLatin1String("apply"))
        return usage("--force is for apply");

    if (command == QLatin1String("save")) {
        if (positional.size() != 1)
            return usage("name one file, or - for standard output");
        return RunSave(positional.first(), platform, env);
    }
    if (writes) {
        positional.prepend(command);
        return RunWrite(positional, options, platform, env);
    }
    if (!positional.isEmpty())
        return usage("takes no arguments");
    if (command == QLatin1String("list"))
        return RunList(platform, env);
    if (command == QLatin1String("show"))
        return RunShow(options, platform, env);
    return RunWatch(options, platform, env);
}

}  // namespace kx
