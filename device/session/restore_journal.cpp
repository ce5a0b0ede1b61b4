#include "restore_journal.h"

#include "board_identity.h"
#include "plain_text.h"
#include "settings_report.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace kx {

namespace {

namespace fs = std::filesystem;

// What this file tells a person, in their language; the texts are marked where they
// stand, in English.
std::string Tr(const char* text)
{
    return QCoreApplication::translate("RestoreJournal", text).toStdString();
}

std::string Say(const char* text, const std::string& first)
{
    return QCoreApplication::translate("RestoreJournal", text).arg(QString::fromStdString(first)).toStdString();
}

std::string Say(const char* text, const std::string& first, const std::string& second)
{
    return QCoreApplication::translate("RestoreJournal", text)
        .arg(QString::fromStdString(first), QString::fromStdString(second))
        .toStdString();
}

constexpr int JournalVersion = 1;
// An entry is a few hundred bytes; anything much larger is not one of ours.
constexpr qint64 MaxEntrySize = 64 * 1024;
// A settings report is at most a few hundred bytes; hidraw's limit is 4096.
constexpr std::size_t MaxImageSize = 4096;

std::string ErrnoText(int error) { return std::strerror(error); }

// The 22nd field of /proc/PID/stat: when the process started, in clock ticks since
// boot. The process's name (field 2) may hold spaces and parentheses, so the count
// starts after its last ')'.
std::string ProcessStartTime(std::int64_t pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const std::string stat = file.read(4096).toStdString();
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return {};
    std::size_t at = close + 2;  // field 3 begins here
    for (int field = 3; field < 22 && at < stat.size(); ++field) {
        at = stat.find(' ', at);
        if (at == std::string::npos)
            return {};
        ++at;
    }
    const std::size_t end = stat.find(' ', at);
    return at < stat.size() ? stat.substr(at, end == std::string::npos ? std::string::npos : end - at) : std::string();
}

std::string BootID()
{
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readLine(64).trimmed().toStdString();
}

// Syncs a folder, so that a rename or removal in it survives a power cut.
std::optional<std::string> SyncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return ErrnoText(errno);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    return result == 0 ? std::nullopt : std::optional<std::string>(ErrnoText(error));
}

// The folder and its missing parents; the folder itself only for this user (the
// the XDG base directory rules ask 0700 of the state folder).
std::optional<std::string> MakeFolder(const fs::path& folder)
{
    std::error_code ec;
    if (fs::is_directory(folder, ec))
        return std::nullopt;
    fs::create_directories(folder.parent_path(), ec);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return ErrnoText(errno);
    return std::nullopt;
}

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::size_t FieldWidth(const SettingsField& field)
{
    return field.Coding == FieldCoding::Unsigned16 || field.Coding == FieldCoding::Signed16 ? 2 : 1;
}

// Byte for byte, not by decoded value: a percent byte of 191 and one of 192 both read
// as 75 %, and only one of them is the board's own.
std::string SettingsBytesDiffering(std::span<const std::uint8_t> own, std::span<const std::uint8_t> back)
{
    std::string text;
    for (const SettingsField& field : SettingsFields) {
        for (std::size_t i = field.ReadOffset; i < field.ReadOffset + FieldWidth(field); ++i) {
            if (i < own.size() && i < back.size() && own[i] == back[i])
                continue;
            text += (text.empty() ? "" : ", ") + std::string(field.Key);
            break;
        }
    }
    return text;
}

QString Hex(std::span<const std::uint8_t> bytes)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
                                   .toHex(' '));
}

}  // namespace

fs::path DefaultJournalFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/')
        return fs::path(state) / "kx5170";
    const char* home = std::getenv("HOME");
    if (home && *home == '/')
        return fs::path(home) / ".local" / "state" / "kx5170";
    return {};
}

RestoreEntry EntryForRun(const BoardIdentity& board, const SettingsRead& held, const std::string& fileApplied)
{
    RestoreEntry entry;
    entry.SerialNumber = board.SerialNumber;
    entry.Port = board.PhysicalPort;
    entry.Node = board.Node;
    entry.ProductID = board.ProductID;
    entry.VersionNumber = board.VersionNumber;
    std::error_code ec;
    const fs::path absolute = fileApplied == "-" ? fs::path("-") : fs::absolute(fileApplied, ec);
    entry.FileApplied = ec ? fileApplied : absolute.string();
    entry.Time = QDateTime::currentSecsSinceEpoch();
    entry.ProcessID = ::getpid();
    entry.ProcessStart = ProcessStartTime(entry.ProcessID);
    entry.BootID = BootID();
    entry.Image = held.Image;
    return entry;
}

fs::path JournalFileFor(const fs::path& folder, const RestoreEntry& entry)
{
    // The board's name in the file system: its serial number is the firmware's text,
    // so it is hashed rather than spliced into a path. The node names a board that has
    // neither serial number nor port (its node is then all that tells it apart).
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::fromStdString(entry.SerialNumber));
    hash.addData(QByteArray(1, '\0'));
    hash.addData(QByteArray::fromStdString(entry.Port));
    if (entry.SerialNumber.empty() && entry.Port.empty()) {
        hash.addData(QByteArray(1, '\0'));
        hash.addData(QByteArray::fromStdString(entry.Node));
    }
    return folder / ("board-" + hash.result().toHex().left(32).toStdString() + ".json");
}

std::string FormatRestoreEntry(const RestoreEntry& entry)
{
    const QJsonObject object{
        {"kx5170_restore", JournalVersion},
        {"serial_number", QString::fromStdString(entry.SerialNumber)},
        {"port", QString::fromStdString(entry.Port)},
        {"node", QString::fromStdString(entry.Node)},
        {"product_id", entry.ProductID},
        {"version", entry.VersionNumber},
        {"file", QString::fromStdString(entry.FileApplied)},
        {"time", QString::number(entry.Time)},
        {"process", QString::number(entry.ProcessID)},
        {"process_start", QString::fromStdString(entry.ProcessStart)},
        {"boot_id", QString::fromStdString(entry.BootID)},
        {"settings", Hex(entry.Image)},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
}

std::variant<RestoreEntry, std::string> ParseRestoreEntry(const std::string& text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return Tr(QT_TRANSLATE_NOOP("RestoreJournal", "not a saved entry (not a JSON object)"));
    const QJsonObject object = document.object();
    if (object.value("kx5170_restore").toInt(-1) != JournalVersion)
        return Tr(QT_TRANSLATE_NOOP("RestoreJournal", "not a saved entry of this version of the program"));
    for (const char* key : {"serial_number", "port", "node", "file", "time", "process", "process_start", "boot_id",
                            "settings"})
        if (!object.value(QLatin1String(key)).isString())
            return QCoreApplication::translate("RestoreJournal", "its %1 is missing")
                .arg(QLatin1String(key))
                .toStdString();
    auto number = [&](const char* key, std::int64_t high) -> std::optional<std::int64_t> {
        bool ok = false;
        const qlonglong value = object.value(QLatin1String(key)).toString().toLongLong(&ok);
        return ok && value >= 0 && value <= high ? std::optional<std::int64_t>(value) : std::nullopt;
    };
    const auto id = [&](const char* key) { return object.value(QLatin1String(key)).toInt(-1); };

    RestoreEntry entry;
    entry.SerialNumber = object.value("serial_number").toString().toStdString();
    entry.Port = object.value("port").toString().toStdString();
    entry.Node = object.value("node").toString().toStdString();
    entry.FileApplied = object.value("file").toString().toStdString();
    entry.ProcessStart = object.value("process_start").toString().toStdString();
    entry.BootID = object.value("boot_id").toString().toStdString();
    const int product = id("product_id"), version = id("version");
    const auto time = number("time", std::int64_t{1} << 40), process = number("process", 0x7FFFFFFF);
    if (product < 0 || product > 0xFFFF || version < 0 || version > 0xFFFF || !time || !process)
        return Tr(
            QT_TRANSLATE_NOOP("RestoreJournal", "its product, version, time or process is not a number it can be"));
    entry.ProductID = static_cast<std::uint16_t>(product);
    entry.VersionNumber = static_cast<std::uint16_t>(version);
    entry.Time = *time;
    entry.ProcessID = *process;

    const QByteArray hex = object.value("settings").toString().toLatin1();
    const QByteArray bytes = QByteArray::fromHex(hex);
    // fromHex skips what is not a hex digit: the text must be exactly pairs and spaces.
    if (Hex(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()))) !=
            QString::fromLatin1(hex) ||
        bytes.size() < static_cast<qsizetype>(MinimumReadImage) || static_cast<std::size_t>(bytes.size()) > MaxImageSize)
        return Tr(QT_TRANSLATE_NOOP("RestoreJournal", "its settings bytes are not a settings report"));
    entry.Image.assign(bytes.begin(), bytes.end());
    return entry;
}

std::optional<std::string> SaveRestoreEntry(const fs::path& folder, const RestoreEntry& entry)
{
    if (folder.empty())
        return Tr(
            QT_TRANSLATE_NOOP("RestoreJournal", "no folder to keep it in (neither XDG_STATE_HOME nor HOME is set)"));
    if (auto error = MakeFolder(folder))
        return Say(QT_TRANSLATE_NOOP("RestoreJournal", "cannot make %1: %2"), folder.string(), *error);
    const fs::path target = JournalFileFor(folder, entry);
    std::string scratch = (folder / ".entry-XXXXXX").string();
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0)
        return Say(QT_TRANSLATE_NOOP("RestoreJournal", "cannot write in %1: %2"), folder.string(), ErrnoText(errno));
    const std::string text = FormatRestoreEntry(entry);
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(scratch.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(scratch.c_str());
        return Say(QT_TRANSLATE_NOOP("RestoreJournal", "cannot write %1: %2"), target.string(), ErrnoText(error));
    }
    if (auto synced = SyncFolder(folder))
        return Say(QT_TRANSLATE_NOOP("RestoreJournal", "cannot sync %1: %2"), folder.string(), *synced);
    return std::nullopt;
}

std::optional<std::string> RemoveRestoreEntry(const fs::path& folder, const RestoreEntry& entry)
{
    const fs::path file = JournalFileFor(folder, entry);
    if (::unlink(file.c_str()) != 0 && errno != ENOENT)
        return Say(QT_TRANSLATE_NOOP("RestoreJournal", "cannot remove %1: %2"), file.string(), ErrnoText(errno));
    SyncFolder(folder);
    return std::nullopt;
}

std::vector<JournalItem> ReadJournal(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with("board-") && name.ends_with(".json"))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    std::vector<JournalItem> items;
    for (const fs::path& path : files) {
        QFile file(QString::fromStdString(path.string()));
        if (!file.open(QIODevice::ReadOnly)) {
            items.push_back({path, file.errorString().toStdString()});
            continue;
        }
        const QByteArray bytes = file.read(MaxEntrySize + 1);
        if (bytes.size() > MaxEntrySize) {
            items.push_back({path, Tr(QT_TRANSLATE_NOOP("RestoreJournal", "too long to be a saved entry"))});
            continue;
        }
        items.push_back({path, ParseRestoreEntry(bytes.toStdString())});
    }
    return items;
}

bool RunStillAlive(const RestoreEntry& entry)
{
    if (entry.ProcessID <= 0)
        return false;
    const std::string boot = BootID();
    if (!boot.empty() && !entry.BootID.empty() && boot != entry.BootID)
        return false;
    if (!entry.ProcessStart.empty()) {
        const std::string start = ProcessStartTime(entry.ProcessID);
        if (!start.empty() || fs::exists("/proc/self/stat"))
            return start == entry.ProcessStart;
    }
    return ::kill(static_cast<pid_t>(entry.ProcessID), 0) == 0 || errno == EPERM;
}

bool EntryIsFor(const RestoreEntry& entry, const HidInterfaceInfo& info)
{
    if (entry.SerialNumber.empty() && entry.Port.empty())
        return info.ProductID == entry.ProductID && info.Path == entry.Node;
    const BoardIdentity board{entry.Node, entry.ProductID, entry.VersionNumber, entry.SerialNumber, entry.Port};
    return board.SameBoard(info);
}

namespace {

HidInterfaceInfo InfoOf(const BoardIdentity& board)
{
    HidInterfaceInfo info;
    info.Path = board.Node;
    info.VendorID = BoardVendorID;
    info.ProductID = board.ProductID;
    info.VersionNumber = board.VersionNumber;
    info.SerialNumber = board.SerialNumber;
    info.PhysicalPort = board.PhysicalPort;
    return info;
}

}  // namespace

bool EntryIsFor(const RestoreEntry& entry, const BoardIdentity& board)
{
    const HidInterfaceInfo info = InfoOf(board);
    if (EntryIsFor(entry, info))
        return true;
    RestoreEntry same;
    same.SerialNumber = board.SerialNumber;
    same.Port = board.PhysicalPort;
    same.Node = board.Node;
    return JournalFileFor({}, same) == JournalFileFor({}, entry);
}

BoardChoice ChoiceFor(const RestoreEntry& entry)
{
    BoardChoice choice;
    choice.SerialNumber = entry.SerialNumber;
    choice.Port = entry.Port;
    if (entry.SerialNumber.empty() && entry.Port.empty())
        choice.Node = entry.Node;
    return choice;
}

std::string BoardArgument(const RestoreEntry& entry)
{
    // As BoardChoice::Parse reads it: a serial number that looks like a node or a port
    // would be taken for one.
    if (entry.Port.starts_with("usb:"))
        return entry.Port;
    if (!entry.SerialNumber.empty() && !entry.SerialNumber.starts_with('/') && !entry.SerialNumber.starts_with("usb:"))
        return entry.SerialNumber;
    return entry.Node;
}

namespace {

const char* const FromStandardInput = QT_TRANSLATE_NOOP("RestoreJournal", "the settings from standard input");

std::string FileNameOf(const RestoreEntry& entry, bool inEnglish)
{
    if (entry.FileApplied == "-")
        return inEnglish ? std::string(FromStandardInput) : Tr(FromStandardInput);
    return fs::path(entry.FileApplied).filename().string();
}

}  // namespace

std::string AppliedFileName(const RestoreEntry& entry)
{
    return FileNameOf(entry, false);
}

std::string LeftoverSentence(const RestoreEntry& entry, bool nameTheBoard, bool inEnglish)
{
    const QDateTime when = QDateTime::fromSecsSinceEpoch(entry.Time);
    const bool today = when.date() == QDate::currentDate();
    const std::string at = (today ? when.toString(QStringLiteral("HH:mm"))
                                  : when.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                               .toStdString();
    const char* const sentence = nameTheBoard
                                     ? QT_TRANSLATE_NOOP("RestoreJournal",
                                                         "The board still holds %1 (put on by run at %2, which did "
                                                         "not finish); kx5170ctl restore --board %3 puts its own "
                                                         "settings back.")
                                     : QT_TRANSLATE_NOOP("RestoreJournal",
                                                         "The board still holds %1 (put on by run at %2, which did "
                                                         "not finish); kx5170ctl restore puts its own settings back.");
    const QString text =
        inEnglish ? QString::fromUtf8(sentence) : QCoreApplication::translate("RestoreJournal", sentence);
    return text
        .arg(QString::fromStdString(PlainText(FileNameOf(entry, inEnglish))), QString::fromStdString(at),
             QString::fromStdString(PlainText(BoardArgument(entry))))
        .toStdString();
}

std::optional<Leftover> FindLeftover(const fs::path& folder, const HidInterfaceInfo& board)
{
    for (JournalItem& item : ReadJournal(folder)) {
        auto* entry = std::get_if<RestoreEntry>(&item.Entry);
        if (!entry || !EntryIsFor(*entry, board) || RunStillAlive(*entry))
            continue;
        std::string sentence = LeftoverSentence(*entry);
        return Leftover{std::move(*entry), item.File, std::move(sentence)};
    }
    return std::nullopt;
}

std::optional<Leftover> FindLeftover(const fs::path& folder, const BoardIdentity& board)
{
    return FindLeftover(folder, InfoOf(board));
}

std::optional<RestoreFailure> RestoreFromJournal(BoardSession& session, const fs::path& folder,
                                                 const RestoreEntry& entry)
{
    const std::optional<WheelSettings> values = DecodeSettingsReport(entry.Image);
    if (!values)
        return RestoreFailure{
            std::nullopt,
            Tr(QT_TRANSLATE_NOOP("RestoreJournal", "the saved settings report is too short to hold the settings")),
            false};
    // Nothing named: every setting's bytes go back as the board gave them.
    const WriteReport written = session.WriteNamed(SettingsRead{*values, entry.Image}, {});
    if (!written.SettingsTaken())
        return RestoreFailure{written.FirstFailure(),
                              Tr(QT_TRANSLATE_NOOP("RestoreJournal", "the saved settings were not written")), false};
    if (!written.Complete())
        return RestoreFailure{
            written.FirstFailure(),
            Tr(QT_TRANSLATE_NOOP(
                "RestoreJournal",
                "the saved settings were sent, but the board did not reset, so it may not store them")),
            true};
    Outcome<SettingsRead> back = session.AwaitReturn();
    if (auto* failure = std::get_if<SessionFailure>(&back))
        return RestoreFailure{
            *failure, Tr(QT_TRANSLATE_NOOP("RestoreJournal", "the board did not read back after the restore")), true};
    const std::string differing = SettingsBytesDiffering(entry.Image, std::get<SettingsRead>(back).Image);
    if (!differing.empty())
        return RestoreFailure{
            std::nullopt,
            Say(QT_TRANSLATE_NOOP("RestoreJournal", "the board holds other bytes than its own after the restore (%1)"),
                differing),
            true};
    if (auto error = RemoveRestoreEntry(folder, entry))
        return RestoreFailure{
            std::nullopt, Say(QT_TRANSLATE_NOOP("RestoreJournal", "the board's own settings are back, but %1"), *error),
            false, true};
    return std::nullopt;
}

}  // namespace kx
