// kx5170ctl's command line, and the commands that only read: list, show, save.
#include "ctl.h"

#include "access_help.h"
#include "board_identity.h"
#include "ctl_internal.h"
#include "settings_file.h"
#include "settings_transfer.h"

#include <QCommandLineParser>
#include <QDateTime>
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

std::optional<Failure> OpenFirstBoard(DeviceLink& link, HidPlatform& platform)
{
    if (FindTheHid(link, platform) == FlagTrue)
        return std::nullopt;
    switch (link.BoardOpenFailure) {
    case HidFailure::None:
        return Failure{ExitNoBoard, "no KX5170 board found: plug it in (kx5170ctl list shows what is present)"};
    case HidFailure::AccessDenied:
        return Failure{ExitNoAccess, "this user may not open the board at " + link.DevicePath + ": " + std::string(AccessFixInWords)};
    default:
        return Failure{ExitNoBoard, "the board at " + link.DevicePath +
                                        " could not be opened: unplug it, plug it in again and retry"};
    }
}

std::string VersionText(std::uint16_t version)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d.%X", version >> 8, version & 0xFF);
    return text;
}

std::string HexId(std::uint16_t id)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", id);
    return text;
}

std::string PrintableText(const std::optional<std::u16string>& text)
{
    if (!text)
        return {};
    QString printable = QString::fromStdU16String(*text);
    for (QChar& c : printable)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QChar::ReplacementCharacter;
    return printable.toStdString();
}

std::vector<std::optional<std::u16string>> ReadStrings(DeviceLink& link, HidPlatform& platform,
                                                       const std::vector<DeviceString>& which, bool moreFollow)
{
    std::vector<std::optional<std::u16string>> texts;
    for (std::size_t i = 0; i < which.size(); ++i) {
        texts.push_back(link.InputHandle->GetString(which[i]));
        link.LastResult = texts.back() ? 1 : 0;
        if (i + 1 < which.size() || moreFollow)
            platform.Pause(RequestGap);
    }
    return texts;
}

std::variant<WheelSettings, Failure> ReadBoardSettings(DeviceLink& link)
{
    if (const auto image = ReadSettingsReport(link))
        if (const std::optional<WheelSettings> settings = DecodeSettingsReport(*image))
            return *settings;
    return Failure{ExitNotTaken, "the board at " + link.DevicePath +
                                     " did not answer the settings request: unplug it, plug it in again and retry"};
}

}  // namespace ctl

namespace {

using namespace ctl;

// Every KX5170 interface present, opened one at a time to learn whether this user may
// open it and to read its serial number (the one request made of each: no pause).
int RunList(HidPlatform& platform, CtlEnvironment& env)
{
    int boards = 0;
    int opened = 0;
    std::string deniedNodes;
    for (const HidInterfaceInfo& info : platform.EnumerateInterfaces()) {
        if (!IsBoardIdentity(info.VendorID, info.ProductID))
            continue;
        ++boards;
        OpenResult open = platform.Open(info.Path, OpenMode::Blocking);
        std::string serial = "-";
        std::string access;
        if (open.Handle) {
            ++opened;
            access = "ok";
            if (const auto text = open.Handle->GetString(DeviceString::SerialNumber))
                serial = text->empty() ? "-" : PrintableText(text);
        } else if (open.Failure == HidFailure::AccessDenied) {
            access = "denied";
            deniedNodes += (deniedNodes.empty() ? "" : ", ") + info.Path;
        } else if (open.Failure == HidFailure::Gone) {
            access = "gone";
        } else {
            access = "failed";
        }
        env.Out << info.Path << "  product " << HexId(info.ProductID) << "  version " << VersionText(info.VersionNumber)
                << "  serial " << serial << "  access " << access << '\n';
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

struct BoardDetails {
    std::string Node;
    std::uint16_t ProductID = 0;
    std::uint16_t Version = 0;
    std::string Manufacturer, Product, SerialNumber;
    WheelSettings Settings;
};

std::variant<BoardDetails, Failure> ReadDetails(HidPlatform& platform, bool withManufacturer)
{
    DeviceLink link;
    if (auto failure = OpenFirstBoard(link, platform))
        return *failure;
    BoardDetails details;
    details.Node = link.DevicePath;
    details.ProductID = link.Attributes.ProductID;
    details.Version = link.Attributes.VersionNumber;
    std::vector<DeviceString> which = {DeviceString::Product, DeviceString::SerialNumber};
    if (withManufacturer)
        which.insert(which.begin(), DeviceString::Manufacturer);
    const auto texts = ReadStrings(link, platform, which, true);
    std::size_t next = 0;
    if (withManufacturer)
        details.Manufacturer = PrintableText(texts[next++]);
    details.Product = PrintableText(texts[next++]);
    details.SerialNumber = PrintableText(texts[next++]);
    auto settings = ReadBoardSettings(link);
    if (auto* failure = std::get_if<Failure>(&settings))
        return *failure;
    details.Settings = std::get<WheelSettings>(settings);
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
    auto read = ReadDetails(platform, true);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);
    const BoardDetails& d = std::get<BoardDetails>(read);

    if (options.Json) {
        QJsonObject settings, units;
        for (std::size_t i : ScreenOrder) {
            const SettingsField& field = SettingsFields[i];
            settings.insert(QString::fromUtf8(field.Key), d.Settings.*field.Value);
            if (*field.Unit)
                units.insert(QString::fromUtf8(field.Key), QString::fromUtf8(field.Unit));
        }
        const QJsonObject board{
            {"node", QString::fromStdString(d.Node)},
            {"vendor_id", QString::fromStdString(HexId(BoardVendorID))},
            {"product_id", QString::fromStdString(HexId(d.ProductID))},
            {"version", QString::fromStdString(VersionText(d.Version))},
            {"board_type", BoardType(d.Version)},
            {"manufacturer", QString::fromStdString(d.Manufacturer)},
            {"product", QString::fromStdString(d.Product)},
            {"serial_number", QString::fromStdString(d.SerialNumber)},
            {"settings", settings},
            {"units", units},
        };
        env.Out << QJsonDocument(board).toJson(QJsonDocument::Indented).toStdString() << std::flush;
        return ExitDone;
    }

    auto orDash = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    env.Out << "Node:            " << d.Node << '\n'
            << "Manufacturer:    " << orDash(d.Manufacturer) << '\n'
            << "Product:         " << orDash(d.Product) << '\n'
            << "Serial number:   " << orDash(d.SerialNumber) << '\n'
            << "Version:         " << VersionText(d.Version) << '\n'
            << "Product ID:      " << HexId(d.ProductID) << "\n\n";
    for (std::size_t i : ScreenOrder) {
        const SettingsField& field = SettingsFields[i];
        QString line = QStringLiteral("%1 %2 %3")
                           .arg(QString::fromUtf8(field.Caption), -21)
                           .arg(QString::fromUtf8(field.Key), -21)
                           .arg(QString::fromStdString(ValueWithUnit(field, d.Settings.*field.Value)));
        env.Out << line.toStdString() << '\n';
    }
    env.Out << std::flush;
    return ExitDone;
}

int RunSave(const QString& fileName, HidPlatform& platform, CtlEnvironment& env)
{
    auto read = ReadDetails(platform, false);
    if (auto* failure = std::get_if<Failure>(&read))
        return Report(env, *failure);
    const BoardDetails& d = std::get<BoardDetails>(read);

    SettingsFileOrigin origin;
    origin.Product = d.Product;
    origin.SerialNumber = d.SerialNumber;
    origin.Version = VersionText(d.Version);
    const QDateTime now = QDateTime::currentDateTime();
    origin.Date = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString();
    origin.BoardType = BoardType(d.Version);
    const std::string text = FormatSettingsFile(d.Settings, origin);

    if (fileName == QLatin1String("-")) {
        env.Out << text << std::flush;
        return env.Out ? ExitDone : Report(env, {ExitUsage, "could not write to standard output"});
    }
    // Written beside the target and renamed over it: a failure never leaves half a file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
        !file.commit())
        return Report(env, {ExitUsage, "cannot write " + fileName.toStdString() + ": " +
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
    "Exit status: 0 done, 1 bad usage or a bad file, 2 no board, 3 a board you may not\n"
    "open, 4 the board did not take the settings or holds other values after the write.";

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
