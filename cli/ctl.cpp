// kx5170ctl's command line, and the commands that only read: list, show, save.
#include "ctl.h"

#include "access_help.h"
#include "board_identity.h"
#include "input_report.h"
#include "ctl_internal.h"
#include "settings_file.h"
#include "session_files.h"
#include "other_holders.h"
#include "plain_text.h"
#include "restore_journal.h"
#include "wide_text.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDateTime>
#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace kx {

namespace ctl {

namespace {

// The fix in words as the window says it too, here in the user's language. The text is
// the shared one, word for word: the build fails when the two part.
constexpr std::string_view AccessFixSource =
    QT_TRANSLATE_NOOP("kx5170ctl",
                      "install the board's udev rule, which lets the person at this computer use it: "
                      "click \"Fix...\" in kx5170-config, or run the commands under \"Board not "
                      "found?\" in the README");
static_assert(AccessFixSource == AccessFixInWords);

}  // namespace

std::string AccessFix()
{
    return kx5170ctl::tr(AccessFixSource.data()).toStdString();
}

// The settings' captions and units as the settings table has them, for show's text.
// One missing here stays English; a test sees that in German.
[[maybe_unused]] const char* const SettingWords[] = {
    QT_TRANSLATE_NOOP("kx5170ctl", "Stops (each side)"),
    QT_TRANSLATE_NOOP("kx5170ctl", "Centre offset"),
    QT_TRANSLATE_NOOP("kx5170ctl", "Stops stiffness"),
    QT_TRANSLATE_NOOP("kx5170ctl", "Stops damping"),
    QT_TRANSLATE_NOOP("kx5170ctl", "Overall damping"),
    QT_TRANSLATE_NOOP("kx5170ctl", "Damper Effect scale"),
    QT_TRANSLATE_NOOP("kx5170ctl", "All Effects scale"),
    QT_TRANSLATE_NOOP("kx5170ctl", "Overall inertia"),
    QT_TRANSLATE_NOOP("kx5170ctl", "Overall friction"),
    QT_TRANSLATE_NOOP("kx5170ctl", "Motor filter"),
    QT_TRANSLATE_NOOP("kx5170ctl", "Input filter"),
    QT_TRANSLATE_NOOP("kx5170ctl", "Centering spring"),
    QT_TRANSLATE_NOOP("kx5170ctl", "counts"),
};

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
        return {
            ExitNoBoard,
            kx5170ctl::tr("no KX5170 board found: plug it in (kx5170ctl list shows what is present)").toStdString()};
    case FailureCause::AccessDenied:
        return {ExitNoAccess, what + ": " + AccessFix()};
    default:
        break;
    }
    if (failure.Step == SessionStep::Search)
        return {ExitNoBoard, kx5170ctl::tr("%1: unplug it, plug it in again and retry").arg(Q(what)).toStdString()};
    if (failure.Step == SessionStep::AwaitReset || failure.Step == SessionStep::AwaitReturn ||
        failure.Step == SessionStep::ReadBack)
        return {ExitNotTaken,
                kx5170ctl::tr("%1: unplug the board, plug it in again and check its settings with kx5170ctl show")
                    .arg(Q(what))
                    .toStdString()};
    return {ExitNotTaken, kx5170ctl::tr("%1: unplug it, plug it in again and retry").arg(Q(what)).toStdString()};
}

std::optional<Failure> OpenBoard(BoardSession& session, const BoardChoice& choice)
{
    const SearchOutcome found = session.Search(choice);
    if (found.Found)
        return std::nullopt;
    if (found.Failure->Cause == FailureCause::NoBoard && !choice.Any())
        return Failure{ExitNoBoard,
                       (choice.Node.empty()
                            ? kx5170ctl::tr("no KX5170 board with serial number %1 found: kx5170ctl list shows the "
                                            "boards present")
                                  .arg(Q(PlainText(choice.SerialNumber)))
                            : kx5170ctl::tr("no KX5170 board at %1 found: kx5170ctl list shows the boards present")
                                  .arg(Q(PlainText(choice.Node))))
                           .toStdString()};
    return FromSession(*found.Failure);
}

std::string HoldersText(const std::vector<DeviceHolder>& holders)
{
    // Each program once, however many of the board's nodes it holds.
    std::string text;
    std::vector<int> named;
    for (const DeviceHolder& holder : holders) {
        if (std::find(named.begin(), named.end(), holder.ProcessID) != named.end())
            continue;
        named.push_back(holder.ProcessID);
        const QString program = holder.Program.empty() ? kx5170ctl::tr("a program") : Q(PlainText(holder.Program));
        text += (text.empty() ? "" : ", ") +
                kx5170ctl::tr("%1 (%2)").arg(program, QString::number(holder.ProcessID)).toStdString();
    }
    return text;
}

std::optional<Failure> InUse(BoardSession& session, const Options& options, CtlEnvironment& environment)
{
    if (options.ForceInUse)
        return std::nullopt;
    const HidPlatform::HolderSearch found = CheckOtherHolders(session);
    if (found.Holders.empty()) {
        if (found.Unchecked != 0 && !options.Quiet)
            environment.Err << "kx5170ctl: "
                            << kx5170ctl::tr("note: %1").arg(Q(UncheckedText(found.Unchecked))).toStdString() << '\n'
                            << std::flush;
        return std::nullopt;
    }
    return Failure{ExitInUse,
                   kx5170ctl::tr("the board is in use by %1: close it, or use --force-in-use to write anyway")
                       .arg(Q(HoldersText(found.Holders)))
                       .toStdString()};
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
int RunList(const BoardChoice& choice, HidPlatform& platform, CtlEnvironment& env)
{
    BoardSession session(platform, env.Timings);
    int opened = 0, boards = 0;
    std::string deniedNodes;
    for (const BoardSession::Listing& board : session.List()) {
        const bool chosen =
            choice.Any() || (!choice.SerialNumber.empty() && board.SerialNumber == choice.SerialNumber) ||
            (!choice.Port.empty() && board.Port == choice.Port) ||
            std::any_of(board.Nodes.begin(), board.Nodes.end(), [&](const auto& node) { return node.first == choice.Node; });
        if (!chosen)
            continue;
        ++boards;
        const std::string serial =
            board.SerialNumber.empty()
                ? std::string("-")
                : PrintableDeviceText(QString::fromStdString(board.SerialNumber).toStdU16String());
        env.Out << kx5170ctl::tr("product %1  version %2  serial %3  port %4  nodes")
                       .arg(Q(HexId(board.ProductID)), Q(BoardVersionText(board.VersionNumber)), Q(serial),
                            Q(board.Port.empty() ? std::string("-") : PlainText(board.Port)))
                       .toStdString();
        bool any = false;
        for (const auto& [node, failure] : board.Nodes) {
            const QString access = failure == HidFailure::None           ? kx5170ctl::tr("ok")
                                   : failure == HidFailure::AccessDenied ? kx5170ctl::tr("denied")
                                   : failure == HidFailure::Gone         ? kx5170ctl::tr("gone")
                                                                         : kx5170ctl::tr("failed");
            env.Out << ' ' << node << " (" << access.toStdString() << ')';
            any = any || failure == HidFailure::None;
            if (failure == HidFailure::AccessDenied)
                deniedNodes += (deniedNodes.empty() ? "" : ", ") + node;
        }
        env.Out << '\n';
        for (const auto& [node, failure] : board.Nodes) {
            HidInterfaceInfo info{node, BoardVendorID, board.ProductID, board.VersionNumber, board.SerialNumber, board.Port};
            if (const auto leftover = FindLeftover(env.JournalFolder, info)) {
                env.Out << "  " << LeftoverSentence(leftover->Entry, true) << '\n';
                break;
            }
        }
        opened += any ? 1 : 0;
    }
    env.Out << std::flush;
    if (boards == 0)
        return Report(env, {ExitNoBoard, kx5170ctl::tr("no KX5170 board found: plug it in").toStdString()});
    if (!deniedNodes.empty()) {
        const Failure denied{
            opened == 0 ? ExitNoAccess : ExitDone,
            kx5170ctl::tr("this user may not open %1: %2").arg(Q(deniedNodes), Q(AccessFix())).toStdString()};
        Report(env, denied);
        return denied.Status;
    }
    return opened == 0 ? Report(env, {ExitNoBoard, kx5170ctl::tr("the board could not be opened: unplug it, plug it in "
                                                                 "again and retry")
                                                       .toStdString()})
                       : ExitDone;
}

std::variant<BoardDetails, Failure> ReadDetails(const BoardChoice& choice, HidPlatform& platform,
                                                CtlEnvironment& env)
{
    BoardSession session(platform, env.Timings);
    if (auto failure = OpenBoard(session, choice))
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
        text += std::string(field.Unit[0] == '%' ? "" : " ") + kx5170ctl::tr(field.Unit).toStdString();
    return text;
}

int RunShow(const Options& options, HidPlatform& platform, CtlEnvironment& env)
{
    auto read = ReadDetails(options.Choice, platform, env);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);
    const BoardDetails& d = std::get<BoardDetails>(read);
    const WheelSettings& values = std::get<SettingsRead>(d.Settings).Values;
    const std::uint16_t version = d.Identity.VersionNumber;
    const std::optional<std::int64_t> rotation = RotationTenths(values.Slimit, d.CountsPerTurn());
    const std::optional<Leftover> leftover = FindLeftover(env.JournalFolder, d.Identity);

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
            {"board_type", d.DeviceType ? QJsonValue(*d.DeviceType) : QJsonValue()},
            // Degrees lock to lock; null while the board's type is unknown.
            {"rotation", rotation ? QJsonValue(static_cast<double>(*rotation) / 10) : QJsonValue()},
            {"manufacturer", QString::fromStdString(Printable(d.Manufacturer))},
            {"product", QString::fromStdString(Printable(d.Product))},
            {"serial_number", QString::fromStdString(Printable(d.SerialNumber))},
            {"settings", settings},
            {"units", units},
        };
        QJsonObject shown = board;
        if (leftover)
            shown.insert("leftover",
                         QJsonObject{{"file", QString::fromStdString(leftover->Entry.FileApplied)},
                                     {"time", QDateTime::fromSecsSinceEpoch(leftover->Entry.Time)
                                                  .toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
                                                  .toString(Qt::ISODate)},
                                     {"process", static_cast<qint64>(leftover->Entry.ProcessID)},
                                     // English, as every value here: scripts read it.
                                     {"text", QString::fromStdString(LeftoverSentence(leftover->Entry, false, true))}});
        env.Out << QJsonDocument(shown).toJson(QJsonDocument::Indented).toStdString() << std::flush;
        return ExitDone;
    }

    auto orDash = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    const std::pair<QString, std::string> details[] = {
        {kx5170ctl::tr("Node:"), d.Identity.Node},
        {kx5170ctl::tr("Manufacturer:"), orDash(Printable(d.Manufacturer))},
        {kx5170ctl::tr("Product:"), orDash(Printable(d.Product))},
        {kx5170ctl::tr("Serial number:"), orDash(Printable(d.SerialNumber))},
        {kx5170ctl::tr("Version:"), orDash(d.VersionText())},
        {kx5170ctl::tr("Product ID:"), HexId(d.Identity.ProductID)},
    };
    // The values in one column, after the longest caption (English: at 17).
    qsizetype width = 16;
    for (const auto& [caption, value] : details)
        width = std::max(width, caption.size());
    for (const auto& [caption, value] : details)
        env.Out << caption.leftJustified(width + 1).toStdString() << value << '\n';
    env.Out << '\n';
    qsizetype captionWidth = 20;
    for (std::size_t i : ScreenOrder)
        captionWidth = std::max(captionWidth, kx5170ctl::tr(SettingsFields[i].Caption).size());
    for (std::size_t i : ScreenOrder) {
        const SettingsField& field = SettingsFields[i];
        std::string value = ValueWithUnit(field, values.*field.Value);
        if (&field == FindSettingByKey("stops") && rotation)
            value += " " + kx5170ctl::tr("(%1 degrees lock to lock)").arg(Q(TenthsText(*rotation))).toStdString();
        QString line = QStringLiteral("%1 %2 %3")
                           .arg(kx5170ctl::tr(field.Caption), -static_cast<int>(captionWidth + 1))
                           .arg(QString::fromUtf8(field.Key), -21)
                           .arg(QString::fromStdString(value));
        env.Out << line.toStdString() << '\n';
    }
    if (leftover)
        env.Out << '\n' << leftover->Sentence << '\n';
    env.Out << std::flush;
    return ExitDone;
}

int RunSave(const QString& fileName, const Options& options, HidPlatform& platform, CtlEnvironment& env)
{
    auto read = ReadDetails(options.Choice, platform, env);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);
    const BoardDetails& d = std::get<BoardDetails>(read);
    const std::string text = FormatSettingsFile(std::get<SettingsRead>(d.Settings).Values, SavedFileOrigin(d));

    if (fileName == QLatin1String("-")) {
        env.Out << text << std::flush;
        return env.Out ? ExitDone
                       : Report(env, {ExitUsage, kx5170ctl::tr("could not write to standard output").toStdString()});
    }
    // Written beside the target and renamed over it: a failure never leaves half a file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
        !file.commit())
        return Report(env, {ExitUsage, kx5170ctl::tr("cannot write %1: %2: choose another file name")
                                           .arg(Q(PlainText(fileName.toStdString())), file.errorString())
                                           .toStdString()});
    return ExitDone;
}

// The help's paragraphs. A command's name, its options and the settings' keys stay as
// they are in every language: they are what the user types.
const char* const Summary =
    QT_TRANSLATE_NOOP("kx5170ctl", "Reads, writes and watches a KX5170 wheel controller board.");
const char* const CommandsHeading =
    QT_TRANSLATE_NOOP("kx5170ctl", "Commands (kx5170ctl help COMMAND tells more of one):");

struct CommandLine {
    const char* Synopsis;
    const char* Text;  // continued lines are indented under the first
};

const CommandLine CommandLines[] = {
    {"list", QT_TRANSLATE_NOOP("kx5170ctl", "every board present, and whether you may open it")},
    {"show [--json]", QT_TRANSLATE_NOOP("kx5170ctl", "the board's details and its twelve settings")},
    {"save FILE", QT_TRANSLATE_NOOP("kx5170ctl", "the board's settings as a settings file (- for standard output)")},
    {"apply FILE",
     QT_TRANSLATE_NOOP("kx5170ctl", "write a settings file to the board (- for standard input), then check it")},
    {"set KEY=VALUE...", QT_TRANSLATE_NOOP("kx5170ctl", "write some settings, then check them")},
    {"watch [--json]", QT_TRANSLATE_NOOP("kx5170ctl", "the wheel's position as it turns, until interrupted")},
    {"run FILE -- COMMAND [ARG...]",
     QT_TRANSLATE_NOOP("kx5170ctl", "apply FILE, run COMMAND, then put the board's own settings back")},
    {"restore [--list]", QT_TRANSLATE_NOOP("kx5170ctl",
                                           "put back the board's own settings that a run which did not\n"
                                           "finish has left saved (--list shows them)")},
    {"doctor", QT_TRANSLATE_NOOP("kx5170ctl", "what stands between you and the board, with the fix")},
};

const char* const KeysParagraph =
    QT_TRANSLATE_NOOP("kx5170ctl",
                      "The keys of a settings file and of set: centre_offset, overall_damping,\n"
                      "overall_inertia, overall_friction, stops, stops_stiffness, stops_damping,\n"
                      "centering_spring, motor_filter, input_filter, all_effects_scale,\n"
                      "damper_effect_scale; and rotation, the wheel's turn lock to lock in degrees\n"
                      "(rotation=900), in place of stops.");

const char* const ExitParagraph =
    QT_TRANSLATE_NOOP("kx5170ctl",
                      "Exit status: 0 done; 1 bad usage or a bad file; 2 no board found (or none that\n"
                      "--board names), or one that could not be opened; 3 a board you may not open; 4 a\n"
                      "request to the board failed: its settings not read, not taken, not stored (it did\n"
                      "not reset), or other values held after the write; 5 the board is in use by\n"
                      "another program, and nothing was written. run exits with its command's status\n"
                      "(128 + N when signal N stopped run itself).");

const char* const WaitsParagraph =
    QT_TRANSLATE_NOOP("kx5170ctl",
                      "After a write the board resets: apply and set wait up to 3 s for it to go away\n"
                      "and up to 10 s for the same board to come back, then read it back. A request the\n"
                      "board does not answer is given up by the kernel after 5 s. Before writing back\n"
                      "the board's own settings, run waits up to 10 s for programs its command left\n"
                      "behind to let go of the board.");

// The description above --help's options, in the user's language.
QString Description()
{
    QString text = kx5170ctl::tr(Summary) + QStringLiteral("\n\n") + kx5170ctl::tr(CommandsHeading) + u'\n';
    const QString indent(23, u' ');
    for (const CommandLine& line : CommandLines) {
        const QString synopsis = QStringLiteral("  ") + QLatin1String(line.Synopsis);
        text += synopsis.size() < indent.size() ? synopsis.leftJustified(indent.size()) : synopsis + u'\n' + indent;
        text += kx5170ctl::tr(line.Text).replace(u'\n', u'\n' + indent) + u'\n';
    }
    for (const char* paragraph : {KeysParagraph, ExitParagraph, WaitsParagraph})
        text += u'\n' + kx5170ctl::tr(paragraph) + u'\n';
    text.chop(1);
    return text;
}

struct CommandHelp {
    const char* Name;
    const char* Synopsis;  // what is typed: the same in every language
    const char* Text;
};

const CommandHelp CommandHelps[] = {
    {"list", "kx5170ctl list",
     QT_TRANSLATE_NOOP("kx5170ctl",
                       "Every KX5170 board present, one a line, with its port, each of its device nodes\n"
                       "and whether you may open it, and under it the file a run that did not finish left\n"
                       "on it. With --board, only that board.")},
    {"show", "kx5170ctl show [--json]",
     QT_TRANSLATE_NOOP("kx5170ctl",
                       "The board's node, manufacturer, product, serial number, version and product ID,\n"
                       "and its twelve settings with their units, the stops also as the wheel's rotation\n"
                       "lock to lock in degrees; --json prints one JSON object (\"rotation\" in degrees).")},
    {"save", "kx5170ctl save FILE",
     QT_TRANSLATE_NOOP("kx5170ctl",
                       "The board's settings as a settings file, which names the board type it was saved\n"
                       "from; - writes it to standard output. An existing file is replaced only once the\n"
                       "new one is completely written.")},
    {"apply", "kx5170ctl apply [--clamp] [--convert | --force] [--no-verify] [--force-in-use] FILE",
     QT_TRANSLATE_NOOP("kx5170ctl",
                       "Writes a settings file to the board (- reads it from standard input). Every value is\n"
                       "checked before anything is sent; settings the file does not name keep the board's\n"
                       "values. The board then resets and is read back. A file saved from a board of\n"
                       "another type is refused unless --convert (stops and centre_offset scaled to keep\n"
                       "their angle) or --force (taken as it is). Nothing is written while another program\n"
                       "holds the board (status 5), unless --force-in-use.")},
    {"set", "kx5170ctl set [--clamp] [--no-verify] [--force-in-use] KEY=VALUE...",
     QT_TRANSLATE_NOOP("kx5170ctl",
                       "As apply, for settings given on the command line with the keys of a settings file\n"
                       "(kx5170ctl --help lists them), such as stops=5000. rotation=900 sets the stops that\n"
                       "turn the wheel 900 degrees lock to lock on this board, to the nearest count.")},
    {"watch", "kx5170ctl watch [--json]",
     QT_TRANSLATE_NOOP("kx5170ctl",
                       "The wheel's position in counts and degrees as it changes, until interrupted\n"
                       "(Ctrl+C); a board unplugged is followed again once it is back.")},
    {"run", "kx5170ctl run [--clamp] [--convert | --force] [--force-in-use] [--quiet] FILE -- COMMAND [ARG...]",
     QT_TRANSLATE_NOOP("kx5170ctl",
                       "Reads the board's settings and saves them, exactly as read, under\n"
                       "$XDG_STATE_HOME/kx5170 (~/.local/state/kx5170), then applies FILE as apply does\n"
                       "(COMMAND is not started when it cannot be applied), runs COMMAND with your terminal\n"
                       "and environment, passing Ctrl+C and other stop signals on to it once, then writes\n"
                       "back the settings the board held before, reads them back and removes what it saved.\n"
                       "Before that it waits up to 10 s for programs COMMAND left behind to let go of the\n"
                       "board. It says on standard error when FILE is on and when the board's own settings\n"
                       "are back (--quiet: not). A stop signal during the write lets the write end, starts\n"
                       "nothing, puts the board's own settings back and exits 128 + N. If run itself is\n"
                       "killed (SIGKILL, a crash, a power cut), what it saved stays: show, list and doctor\n"
                       "tell, and kx5170ctl restore puts it back; a new run on that board puts it back first.\n"
                       "Exits with COMMAND's status (128 + N when signal N ended it), or 4 when the board's\n"
                       "own settings could not be written back.\n"
                       "In a game launcher: kx5170ctl run ~/wheel/rally.kx5170 -- %command%")},
    {"restore", "kx5170ctl restore [--list] [--force-in-use] [--quiet]",
     QT_TRANSLATE_NOOP("kx5170ctl",
                       "Writes back, byte for byte, the board's own settings that a kx5170ctl run saved and\n"
                       "could not put back itself (it was killed, or the board was away), reads them back\n"
                       "and removes what was saved: every board present that has some, or the one --board\n"
                       "names. A run that still runs is left alone. --list shows what is saved, and\n"
                       "changes nothing. Exits 0 when there was nothing to restore.")},
    {"doctor", "kx5170ctl doctor",
     QT_TRANSLATE_NOOP("kx5170ctl",
                       "What stands between you and the board, one line each, with the fix: the board on\n"
                       "the USB bus, its HID interfaces and nodes, the udev rule for it, your access to each\n"
                       "node, whether this is a local session in front at its seat, other programs holding\n"
                       "the board, its settings report and its version, and settings a run left on it. It\n"
                       "prints the commands that fix what it finds. Nothing is written. Exits 0 when\n"
                       "nothing stands in the way, else the status of the first problem.")},
};

const CommandHelp* FindCommandHelp(const QString& name)
{
    for (const CommandHelp& help : CommandHelps)
        if (name == QLatin1String(help.Name))
            return &help;
    return nullptr;
}

}  // namespace

int RunCtl(const QStringList& arguments, HidPlatform& platform, CtlEnvironment& env)
{
    // Everything after the first "--" is run's command, never this program's options.
    QStringList own = arguments;
    QStringList child;
    if (const qsizetype dashes = own.indexOf(QStringLiteral("--")); dashes > 0) {
        child = own.mid(dashes + 1);
        own = own.mid(0, dashes);
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(Description());
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, kx5170ctl::tr("print this help"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     kx5170ctl::tr("print the version"));
    const QCommandLineOption board(QStringLiteral("board"),
                                   kx5170ctl::tr("every command: the board with this serial number, in this port "
                                                 "(usb:1-2, as list shows it) or at this device node "
                                                 "(/dev/hidrawN), not the first one found"),
                                   QStringLiteral("SERIAL|PORT|NODE"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  kx5170ctl::tr("every command: a simulated board, which keeps its settings "
                                                "from one command to the next while you are logged in; nothing "
                                                "reaches any hardware"));
    const QCommandLineOption forceInUse(QStringLiteral("force-in-use"),
                                        kx5170ctl::tr("apply, set, run: write even while another program holds "
                                                      "the board (it loses the wheel while the board resets)"));
    const QCommandLineOption json(QStringLiteral("json"), kx5170ctl::tr("show, watch: print JSON"));
    const QCommandLineOption clamp(QStringLiteral("clamp"),
                                   kx5170ctl::tr("apply, set, run: bring a value outside its range to the nearer "
                                                 "bound, as the window does (not stops or centre_offset)"));
    const QCommandLineOption convert(QStringLiteral("convert"),
                                     kx5170ctl::tr("apply, run: convert a file saved from a board that counts "
                                                   "another number of steps a turn: stops and centre_offset "
                                                   "scaled to keep their angle"));
    const QCommandLineOption force(QStringLiteral("force"),
                                   kx5170ctl::tr("apply, run: take a file saved from a board that counts another "
                                                 "number of steps a turn as it is"));
    const QCommandLineOption noVerify(QStringLiteral("no-verify"),
                                      kx5170ctl::tr("apply, set: do not wait for the board's reset to read the "
                                                    "settings back"));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   kx5170ctl::tr("run, restore: say nothing of what was done, only what went wrong"));
    const QCommandLineOption list(QStringLiteral("list"), kx5170ctl::tr("restore: show what is saved; change nothing"));
    parser.addOptions({help, version, board, demo, forceInUse, json, clamp, convert, force, noVerify, quiet, list});
    parser.addPositionalArgument(QStringLiteral("command"),
                                 kx5170ctl::tr("list, show, save, apply, set, watch, run, restore, doctor or help"));
    parser.addPositionalArgument(QStringLiteral("arguments"), kx5170ctl::tr("the command's file or settings"),
                                 QStringLiteral("[arguments...]"));

    if (!parser.parse(own)) {
        QString error = parser.errorText();
        if (error.endsWith(u'.'))
            error.chop(1);
        return Report(env,
                      {ExitUsage,
                       kx5170ctl::tr("%1: see kx5170ctl --help").arg(Q(PlainText(error.toStdString()))).toStdString()});
    }
    QStringList positional = parser.positionalArguments();
    if (parser.isSet(version)) {
        env.Out << "kx5170ctl " << KX_VERSION << '\n' << std::flush;
        return ExitDone;
    }
    // "help COMMAND" and "COMMAND --help" tell of the command; --help alone of them all.
    const bool helpCommand = !positional.isEmpty() && positional.first() == QLatin1String("help");
    if (parser.isSet(help) || helpCommand) {
        if (helpCommand)
            positional.removeFirst();
        if (positional.isEmpty()) {
            env.Out << parser.helpText().toStdString() << std::flush;
            return ExitDone;
        }
        const CommandHelp* about = FindCommandHelp(positional.first());
        if (!about)
            return Report(env, {ExitUsage, kx5170ctl::tr("unknown command \"%1\": see kx5170ctl --help")
                                               .arg(Q(PlainText(positional.first().toStdString())))
                                               .toStdString()});
        env.Out << kx5170ctl::tr("Usage: %1").arg(QLatin1String(about->Synopsis)).toStdString() << "\n\n"
                << kx5170ctl::tr(about->Text).toStdString() << "\n\n"
                << kx5170ctl::tr("Options for every command: %1")
                       .arg(QStringLiteral("--board SERIAL|PORT|NODE, --demo"))
                       .toStdString()
                << '\n'
                << std::flush;
        return ExitDone;
    }

    if (positional.isEmpty())
        return Report(env, {ExitUsage, kx5170ctl::tr("no command given: see kx5170ctl --help").toStdString()});
    const QString command = positional.takeFirst();
    Options options{parser.isSet(json), parser.isSet(clamp), parser.isSet(force), parser.isSet(noVerify),
                    parser.isSet(convert), parser.isSet(forceInUse), parser.isSet(quiet), parser.isSet(list), {}};
    if (parser.isSet(board)) {
        const QString chosen = parser.value(board);
        if (chosen.isEmpty())
            return Report(
                env,
                {ExitUsage,
                 kx5170ctl::tr("--board: give a serial number or a device node: see kx5170ctl --help").toStdString()});
        options.Choice = BoardChoice::Parse(chosen.toStdString());
    }

    const std::string name = PlainText(command.toStdString());
    auto usage = [&](const QString& what) {
        return Report(env,
                      {ExitUsage, kx5170ctl::tr("%1: %2: see kx5170ctl help %1").arg(Q(name), what).toStdString()});
    };
    if (!FindCommandHelp(command))
        return Report(
            env, {ExitUsage, kx5170ctl::tr("unknown command \"%1\": see kx5170ctl --help").arg(Q(name)).toStdString()});
    const bool run = command == QLatin1String("run");
    const bool restore = command == QLatin1String("restore");
    const bool writes = command == QLatin1String("apply") || command == QLatin1String("set") || run;
    if (options.Json && command != QLatin1String("show") && command != QLatin1String("watch"))
        return usage(kx5170ctl::tr("--json is for show and watch"));
    if (options.Clamp && !writes)
        return usage(kx5170ctl::tr("--clamp is for apply, set and run"));
    if (options.NoVerify && (!writes || run))
        return usage(kx5170ctl::tr("--no-verify is for apply and set"));
    if (options.ForceInUse && !writes && !restore)
        return usage(kx5170ctl::tr("--force-in-use is for apply, set, run and restore"));
    if (options.Quiet && !run && !restore)
        return usage(kx5170ctl::tr("--quiet is for run and restore"));
    if (options.List && !restore)
        return usage(kx5170ctl::tr("--list is for restore"));
    if ((options.Force || options.Convert) && command != QLatin1String("apply") && !run)
        return usage(kx5170ctl::tr("%1 is for apply and run")
                         .arg(options.Force ? QStringLiteral("--force") : QStringLiteral("--convert")));
    if (options.Force && options.Convert)
        return usage(kx5170ctl::tr("--convert and --force exclude each other"));
    if (run) {
        if (positional.size() != 1 || child.isEmpty())
            return usage(kx5170ctl::tr("give one settings file, then -- and the command to run"));
        positional.prepend(command);
        return RunWithSettings(positional, child, options, platform, env);
    }
    // Elsewhere "--" only ends the options, as everywhere.
    positional += child;

    if (command == QLatin1String("save")) {
        if (positional.size() != 1)
            return usage(kx5170ctl::tr("name one file, or - for standard output"));
        return RunSave(positional.first(), options, platform, env);
    }
    if (writes) {
        positional.prepend(command);
        return RunWrite(positional, options, platform, env);
    }
    if (!positional.isEmpty())
        return usage(kx5170ctl::tr("takes no arguments"));
    if (command == QLatin1String("list"))
        return RunList(options.Choice, platform, env);
    if (command == QLatin1String("show"))
        return RunShow(options, platform, env);
    if (command == QLatin1String("doctor"))
        return RunDoctor(options, platform, env);
    if (restore)
        return RunRestore(options, platform, env);
    return RunWatch(options, platform, env);
}

}  // namespace kx
