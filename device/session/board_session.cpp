#include "board_session.h"

#include "board_identity.h"
#include "input_report.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

namespace kx {

namespace {

// Larger than any report the board has; the buffer grows to the request's length when
// the board declares a longer report 32.
constexpr std::size_t ResetRequestBufferLength = 101;

// hidraw sends and returns each report at its own length; where the descriptor
// declares none, the longest feature report's.
std::size_t OwnLengthOr(std::uint16_t declared, const DeviceLink& link)
{
    return declared > 0 ? declared : link.Capabilities.FeatureReportByteLength;
}

FailureCause CauseOf(HidFailure failure)
{
    switch (failure) {
    case HidFailure::AccessDenied:
        return FailureCause::AccessDenied;
    case HidFailure::Gone:
        return FailureCause::Gone;
    case HidFailure::Refused:
        return FailureCause::Refused;
    case HidFailure::TimedOut:
        return FailureCause::TimedOut;
    case HidFailure::None:
    case HidFailure::Other:
        break;
    }
    return FailureCause::Other;
}

// The session's words in the user's language; the tables below hold the English.
QString Tr(const char* text)
{
    return QCoreApplication::translate("BoardSession", text);
}

const char* StepText(SessionStep step)
{
    switch (step) {
    case SessionStep::Search:
        return QT_TRANSLATE_NOOP("BoardSession", "opening it");
    case SessionStep::ReadSettings:
        return QT_TRANSLATE_NOOP("BoardSession", "reading its settings (report 8)");
    case SessionStep::SendSettings:
        return QT_TRANSLATE_NOOP("BoardSession", "sending the settings (report 8, command 1)");
    case SessionStep::SendCommand2:
        return QT_TRANSLATE_NOOP("BoardSession", "asking it to store them (report 8, command 2)");
    case SessionStep::SendCommand3:
        return QT_TRANSLATE_NOOP("BoardSession", "asking it to store them (report 8, command 3)");
    case SessionStep::ResetRequest:
        return QT_TRANSLATE_NOOP("BoardSession", "asking it to reset (report 32)");
    case SessionStep::AwaitReset:
        return QT_TRANSLATE_NOOP("BoardSession", "waiting for its reset");
    case SessionStep::AwaitReturn:
        return QT_TRANSLATE_NOOP("BoardSession", "waiting for it to come back from its reset");
    case SessionStep::ReadBack:
        return QT_TRANSLATE_NOOP("BoardSession", "reading its settings back");
    }
    return "";
}

const char* CauseText(FailureCause cause)
{
    switch (cause) {
    case FailureCause::NoBoard:
        return QT_TRANSLATE_NOOP("BoardSession", "no board found");
    case FailureCause::AccessDenied:
        return QT_TRANSLATE_NOOP("BoardSession", "access was denied");
    case FailureCause::Gone:
        return QT_TRANSLATE_NOOP("BoardSession", "the board went away");
    case FailureCause::Refused:
        return QT_TRANSLATE_NOOP("BoardSession", "the board refused the request");
    case FailureCause::TimedOut:
        return QT_TRANSLATE_NOOP("BoardSession", "the board did not answer in time");
    case FailureCause::Other:
        return QT_TRANSLATE_NOOP("BoardSession", "the request failed");
    case FailureCause::TooShort:
        return QT_TRANSLATE_NOOP("BoardSession", "its answer was too short");
    case FailureCause::WrongReport:
        return QT_TRANSLATE_NOOP("BoardSession", "it answered with another report");
    case FailureCause::ShortWrite:
        return QT_TRANSLATE_NOOP("BoardSession", "the report was cut short");
    case FailureCause::NotEncodable:
        return QT_TRANSLATE_NOOP("BoardSession", "a value cannot be stored by the board");
    case FailureCause::NotReset:
        return QT_TRANSLATE_NOOP("BoardSession", "it did not reset: the settings may not be stored");
    case FailureCause::NotBack:
        return QT_TRANSLATE_NOOP("BoardSession", "it did not come back");
    }
    return "";
}

}  // namespace

std::string DescribeFailure(const SessionFailure& failure)
{
    if (failure.Cause == FailureCause::NoBoard)
        return Tr(QT_TRANSLATE_NOOP("BoardSession", "no board found")).toStdString();
    const QString board =
        failure.Node.empty()
            ? Tr(QT_TRANSLATE_NOOP("BoardSession", "the board"))
            : Tr(QT_TRANSLATE_NOOP("BoardSession", "the board at %1")).arg(QString::fromStdString(failure.Node));
    QString text = Tr(QT_TRANSLATE_NOOP("BoardSession", "%1: %2 while %3"))
                       .arg(board, Tr(CauseText(failure.Cause)), Tr(StepText(failure.Step)));
    if (!failure.Detail.empty())
        text = Tr(QT_TRANSLATE_NOOP("BoardSession", "%1 (%2)")).arg(text, QString::fromStdString(failure.Detail));
    return text.toStdString();
}

bool BoardIdentity::SameBoard(const HidInterfaceInfo& info) const
{
    if (info.ProductID != ProductID)
        return false;
    if (SerialNumber.empty() && PhysicalPort.empty())
        return false;
    if (info.SerialNumber != SerialNumber)
        return false;
    // A board whose port the platform cannot tell is known by its serial number alone.
    return PhysicalPort.empty() || info.PhysicalPort.empty() || info.PhysicalPort == PhysicalPort;
}

bool SamePhysicalBoard(const BoardIdentity& a, const BoardIdentity& b)
{
    HidInterfaceInfo info;
    info.ProductID = b.ProductID;
    info.SerialNumber = b.SerialNumber;
    info.PhysicalPort = b.PhysicalPort;
    return a.SameBoard(info) && !(b.SerialNumber.empty() && b.PhysicalPort.empty());
}

bool BoardChoice::Accepts(const HidInterfaceInfo& info) const
{
    return (SerialNumber.empty() || info.SerialNumber == SerialNumber) && (Node.empty() || info.Path == Node) &&
           (Port.empty() || info.PhysicalPort == Port);
}

BoardChoice BoardChoice::Parse(const std::string& text)
{
    BoardChoice choice;
    if (text.starts_with('/'))
        choice.Node = text;
    else if (text.starts_with("usb:"))
        choice.Port = text;
    else
        choice.SerialNumber = text;
    return choice;
}

std::optional<int> BoardDetails::CountsPerTurn() const
{
    return kx::CountsPerTurn(DeviceType);
}

std::string BoardDetails::VersionText() const
{
    return DeviceType ? BoardVersionText(Identity.VersionNumber) : std::string();
}

bool WriteReport::SettingsTaken() const
{
    return !Steps.empty() && Steps.front().first == SessionStep::SendSettings && !Steps.front().second;
}

bool WriteReport::Complete() const
{
    return Steps.size() == 4 && !FirstFailure();
}

std::optional<SessionFailure> WriteReport::FirstFailure() const
{
    for (const auto& [step, failure] : Steps)
        if (failure && !(step == SessionStep::ResetRequest && ResetByDeparture))
            return failure;
    return std::nullopt;
}

BoardSession::BoardSession(HidPlatform& platform, SessionTimings timings) : Hid(platform), Times(timings) {}

BoardSession::~BoardSession()
{
    Close();
}

SessionFailure BoardSession::FailureAt(SessionStep step, FailureCause cause, std::string detail) const
{
    return {step, cause, Link.DevicePath, std::move(detail)};
}

SearchOutcome BoardSession::Search(const BoardChoice& choice)
{
    Close();
    std::function<bool(const HidInterfaceInfo&)> accept;
    if (!choice.Any())
        accept = [&choice](const HidInterfaceInfo& info) { return choice.Accepts(info); };
    SearchOutcome outcome;
    KnownType.reset();
    if (FindTheHid(Link, Hid, accept) == FlagTrue) {
        outcome.Found = true;
        Board = {Link.DevicePath, Link.Attributes.ProductID, Link.Attributes.VersionNumber,
                 Link.Interface.SerialNumber, Link.Interface.PhysicalPort};
        outcome.Identity = Board;
        return outcome;
    }
    if (Link.BoardOpenFailure == HidFailure::None)
        outcome.Failure = SessionFailure{SessionStep::Search, FailureCause::NoBoard, {}, {}};
    else
        outcome.Failure = FailureAt(SessionStep::Search, CauseOf(Link.BoardOpenFailure));
    return outcome;
}

bool BoardSession::IsOpen() const
{
    return Link.BoardOpen == FlagTrue && Link.FeatureHandle && Link.InputHandle;
}

void BoardSession::Close()
{
    CloseLinkHandle(Link, Link.FeatureHandle);
    CloseLinkHandle(Link, Link.InputHandle);
    Link.BoardOpen = FlagFalse;
}

BoardDetails BoardSession::Load()
{
    BoardDetails details;
    details.Identity = Board;
    if (!IsOpen()) {
        details.Settings = FailureAt(SessionStep::ReadSettings, FailureCause::Gone);
        return details;
    }
    auto ask = [this](DeviceString which) {
        std::optional<std::u16string> text = Link.InputHandle->GetString(which);
        Link.LastResult = text ? 1 : 0;
        Hid.Pause(Times.RequestGap);
        return text;
    };
    details.Manufacturer = ask(DeviceString::Manufacturer);
    if (details.Manufacturer)
        KnownType = BoardType(Board.VersionNumber);
    details.DeviceType = KnownType;
    details.Product = ask(DeviceString::Product);
    details.SerialNumber = ask(DeviceString::SerialNumber);
    details.Settings = ReadSettings();
    return details;
}

std::optional<int> BoardSession::DeviceType()
{
    if (!KnownType && IsOpen()) {
        const std::optional<std::u16string> manufacturer = Link.InputHandle->GetString(DeviceString::Manufacturer);
        Link.LastResult = manufacturer ? 1 : 0;
        Hid.Pause(Times.RequestGap);
        if (manufacturer)
            KnownType = BoardType(Board.VersionNumber);
    }
    return KnownType;
}

Outcome<SettingsRead> BoardSession::ReadSettings()
{
    const std::size_t length = OwnLengthOr(Link.ReportLayout.SettingsReportByteLength, Link);
    if (!Link.FeatureHandle) {
        Link.LastResult = 0;
        return FailureAt(SessionStep::ReadSettings, FailureCause::Gone);
    }
    if (length < MinimumReadImage) {
        Link.LastResult = 0;
        return FailureAt(SessionStep::ReadSettings, FailureCause::TooShort,
                         QCoreApplication::translate("BoardSession", "report 8 is %1 bytes, the settings need %2")
                             .arg(length)
                             .arg(MinimumReadImage)
                             .toStdString());
    }
    std::vector<std::uint8_t> image(length, 0);
    image[0] = SettingsReportID;
    const int received = Link.FeatureHandle->GetFeatureReport(image);
    if (received < 0) {
        Link.LastResult = 0;
        return FailureAt(SessionStep::ReadSettings, CauseOf(Link.FeatureHandle->LastFailure()));
    }
    if (received < static_cast<int>(MinimumReadImage)) {
        Link.LastResult = 0;
        return FailureAt(SessionStep::ReadSettings, FailureCause::TooShort,
                         QCoreApplication::translate("BoardSession", "%1 bytes, the settings need %2")
                             .arg(received)
                             .arg(MinimumReadImage)
                             .toStdString());
    }
    if (image[0] != SettingsReportID) {
        Link.LastResult = 0;
        return FailureAt(
            SessionStep::ReadSettings, FailureCause::WrongReport,
            QCoreApplication::translate("BoardSession", "report %1 in place of 8").arg(int{image[0]}).toStdString());
    }
    Link.LastResult = received;
    image.resize(std::min(static_cast<std::size_t>(received), length));
    const std::optional<WheelSettings> values = DecodeSettingsReport(image);
    return SettingsRead{*values, std::move(image)};
}

WriteReport BoardSession::Write(const WheelSettings& settings)
{
    const std::size_t length = OwnLengthOr(Link.ReportLayout.SettingsReportByteLength, Link);
    return SendSequence(EncodeSettingsReport(settings, 1, length), length);
}

WriteReport BoardSession::WriteNamed(const SettingsRead& held,
                                     const std::array<std::optional<std::int32_t>, SettingsCount>& values)
{
    const std::size_t length = OwnLengthOr(Link.ReportLayout.SettingsReportByteLength, Link);
    return SendSequence(EncodeSettingsOver(held.Image, values, 1, length), length);
}

WriteReport BoardSession::SendSequence(std::optional<std::vector<std::uint8_t>> encoded, std::size_t length)
{
    WriteReport report;
    report.Board = Board;
    if (!encoded) {
        // Nothing is sent: report 8 cannot hold the settings, or a value cannot be stored.
        const FailureCause cause = length < MinimumWriteImage ? FailureCause::TooShort : FailureCause::NotEncodable;
        report.Steps.push_back({SessionStep::SendSettings, FailureAt(SessionStep::SendSettings, cause)});
        return report;
    }
    std::vector<std::uint8_t>& image = *encoded;
    auto send = [&](SessionStep step) {
        if (!Link.FeatureHandle) {
            report.Steps.push_back({step, FailureAt(step, FailureCause::Gone)});
            return;
        }
        const int sent = Link.FeatureHandle->SetFeatureReport(image);
        Link.LastResult = sent > 0 ? sent : 0;
        std::optional<SessionFailure> failure;
        if (sent < 0)
            failure = FailureAt(step, CauseOf(Link.FeatureHandle->LastFailure()));
        else if (sent != static_cast<int>(image.size()))
            failure = FailureAt(step, FailureCause::ShortWrite,
                                QCoreApplication::translate("BoardSession", "%1 of %2 bytes")
                                    .arg(sent)
                                    .arg(image.size())
                                    .toStdString());
        report.Steps.push_back({step, failure});
    };
    send(SessionStep::SendSettings);
    for (const auto& [command, step] : {std::pair{std::uint8_t{2}, SessionStep::SendCommand2},
                                        std::pair{std::uint8_t{3}, SessionStep::SendCommand3}}) {
        image[0] = SettingsReportID;
        image[1] = command;
        send(step);
    }

    const std::size_t resetLength = OwnLengthOr(Link.ReportLayout.ResetReportByteLength, Link);
    std::vector<std::uint8_t> answer(std::max(ResetRequestBufferLength, resetLength), 0);
    answer[0] = ResetReportID;
    std::optional<SessionFailure> failure;
    if (!Link.FeatureHandle) {
        failure = FailureAt(SessionStep::ResetRequest, FailureCause::Gone);
    } else {
        // The answer itself carries nothing the program uses.
        const int received = Link.FeatureHandle->GetFeatureReport(std::span(answer).first(resetLength));
        Link.LastResult = received > 0 ? received : 0;
        if (received < 0)
            failure = FailureAt(SessionStep::ResetRequest, CauseOf(Link.FeatureHandle->LastFailure()));
    }
    report.Steps.push_back({SessionStep::ResetRequest, failure});
    const bool stored = std::all_of(report.Steps.begin(), report.Steps.end() - 1,
                                    [](const auto& step) { return !step.second; });
    if (failure && stored) {
        report.ResetByDeparture = AwaitDeparture();
        if (!report.ResetByDeparture)
            report.Steps.back().second =
                FailureAt(SessionStep::ResetRequest, FailureCause::NotReset,
                          QCoreApplication::translate("BoardSession", "the request ended with: %1")
                              .arg(Tr(CauseText(failure->Cause)))
                              .toStdString());
    }
    return report;
}

bool BoardSession::AwaitDeparture()
{
    const auto asked = Hid.Now();
    while (Hid.Now() - asked < Times.ResetGone) {
        if (!Present())
            return true;
        Hid.Pause(Times.ResetPoll);
    }
    return !Present();
}

bool BoardSession::Present()
{
    // The input handle fails once the device is gone, even when a new node of the same
    // name has appeared meanwhile.
    if (!Link.InputHandle || DrainInputReports(Link).Lost)
        return false;
    if (!Hid.InterfacesMayHaveChanged())
        return true;
    for (const HidInterfaceInfo& info : Hid.EnumerateInterfaces())
        if (info.Path == Link.DevicePath)
            return true;
    return false;
}

Outcome<SettingsRead> BoardSession::AwaitReturn()
{
    const BoardIdentity written = Board;
    auto failure = [&](SessionStep step, FailureCause cause, std::string detail) {
        return SessionFailure{step, cause, written.Node, std::move(detail)};
    };
    auto seconds = [](std::chrono::milliseconds d) { return QString::number((d.count() + 999) / 1000); };

    const auto resetAsked = Hid.Now();
    bool gone = false;
    while (!gone && Hid.Now() - resetAsked < Times.ResetGone) {
        Hid.Pause(Times.ResetPoll);
        gone = !Present();
    }
    Close();
    if (!gone)
        return failure(SessionStep::AwaitReset, FailureCause::NotReset,
                       QCoreApplication::translate("BoardSession", "still there %1 s after the reset request")
                           .arg(seconds(Times.ResetGone))
                           .toStdString());

    // Only the board that was written is waited for: another board present meanwhile
    // is passed over. Nothing else tells two boards apart.
    if (written.SerialNumber.empty() && written.PhysicalPort.empty())
        return failure(SessionStep::AwaitReturn, FailureCause::NotBack,
                       QCoreApplication::translate("BoardSession",
                                                   "it has no serial number and its port is unknown, so it "
                                                   "cannot be told from another board")
                           .toStdString());
    const BoardChoice none;
    const auto wentAt = Hid.Now();
    std::optional<SessionFailure> last;
    while (Hid.Now() - wentAt < Times.ResetBack) {
        Hid.Pause(Times.ResetPoll);
        const bool found =
            FindTheHid(Link, Hid, [&written](const HidInterfaceInfo& info) { return written.SameBoard(info); }) ==
            FlagTrue;
        if (!found) {
            if (Link.BoardOpenFailure != HidFailure::None)
                last = FailureAt(SessionStep::AwaitReturn, CauseOf(Link.BoardOpenFailure));
            continue;
        }
        Board = {Link.DevicePath, Link.Attributes.ProductID, Link.Attributes.VersionNumber,
                 Link.Interface.SerialNumber, Link.Interface.PhysicalPort};
        Outcome<SettingsRead> read = ReadSettings();
        if (auto* settings = std::get_if<SettingsRead>(&read))
            return std::move(*settings);
        last = std::get<SessionFailure>(read);
        last->Step = SessionStep::ReadBack;
        Close();
    }
    if (last && last->Cause == FailureCause::AccessDenied)
        return *last;
    return failure(SessionStep::AwaitReturn, FailureCause::NotBack,
                   (last ? QCoreApplication::translate("BoardSession", "not back within %1 s of its reset: %2")
                               .arg(seconds(Times.ResetBack), QString::fromStdString(DescribeFailure(*last)))
                         : QCoreApplication::translate("BoardSession", "not back within %1 s of its reset")
                               .arg(seconds(Times.ResetBack)))
                       .toStdString());
}

std::vector<DeviceHolder> BoardSession::OtherHolders() const
{
    return IsOpen() ? Hid.OtherHolders(Link.DevicePath) : std::vector<DeviceHolder>{};
}

std::vector<DeviceHolder> BoardSession::AwaitNoHolders(std::chrono::milliseconds bound)
{
    const auto start = Hid.Now();
    std::vector<DeviceHolder> holders = OtherHolders();
    while (!holders.empty() && Hid.Now() - start < bound) {
        Hid.Pause(Times.ResetPoll * 4);
        holders = OtherHolders();
    }
    return holders;
}

DrainedInput BoardSession::Drain()
{
    if (!IsOpen())
        return {true, std::nullopt};
    // The kernel holds 63 reports per handle; a board flooding faster than we read is
    // left for the next drain rather than holding the thread.
    return DrainInputReports(Link, 256);
}

void LinkSupervisor::Drain()
{
    if (!Session.IsOpen() || ReadFailed)
        return;
    const DrainedInput drained = Session.Drain();
    if (drained.NewestPosition)
        Newest = drained.NewestPosition;
    if (drained.Lost)
        ReadFailed = true;
}

void LinkSupervisor::Restart()
{
    Newest.reset();
    ReadFailed = false;
    SinceSearch = std::chrono::milliseconds(0);
}

LinkSupervisor::News LinkSupervisor::Tick(bool searchNow)
{
    News news;
    if (Session.IsOpen()) {
        Drain();
        if (ReadFailed) {
            // A broken link shows no reading, and the board is looked for at once.
            Session.Close();
            news.Lost = true;
            Restart();
        } else {
            news.Position = std::exchange(Newest, std::nullopt);
            return news;
        }
    }
    // While nothing is plugged in or out, a search would find what the last one found.
    SinceSearch += Session.Timings().Tick;
    const bool changed = Session.Platform().InterfacesMayHaveChanged() || searchNow;
    if (!news.Lost && !changed && SinceSearch < Session.Timings().SafetyNetSearch)
        return news;
    SinceSearch = std::chrono::milliseconds(0);
    news.Search = Session.Search(Choice);
    Restart();
    return news;
}

void LinkSupervisor::Follow(const std::function<void(const News&)>& onNews, const std::function<bool()>& stop)
{
    HidPlatform& platform = Session.Platform();
    const SessionTimings& times = Session.Timings();
    auto nextTick = platform.Now() + times.Tick;
    while (!stop()) {
        platform.Pause(times.Drain);
        if (platform.Now() < nextTick) {
            Drain();
            continue;
        }
        nextTick += times.Tick;
        onNews(Tick());
    }
}

std::vector<BoardSession::Listing> BoardSession::List()
{
    std::vector<Listing> boards;
    for (const HidInterfaceInfo& info : Hid.EnumerateInterfaces()) {
        if (!IsBoardIdentity(info.VendorID, info.ProductID))
            continue;
        // The interfaces of one board share its serial number and its port; two boards
        // with one serial number stand in two ports.
        auto same = std::find_if(boards.begin(), boards.end(), [&](const Listing& board) {
            return board.ProductID == info.ProductID && board.SerialNumber == info.SerialNumber &&
                   board.Port == info.PhysicalPort && !(info.SerialNumber.empty() && info.PhysicalPort.empty());
        });
        if (same == boards.end())
            same = boards.insert(boards.end(),
                                 Listing{info.ProductID, info.VersionNumber, info.SerialNumber, {}, info.PhysicalPort});
        const OpenResult open = Hid.Open(info.Path, OpenMode::Blocking);
        same->Nodes.emplace_back(info.Path, open.Handle ? HidFailure::None
                                            : open.Failure == HidFailure::None ? HidFailure::Other
                                                                               : open.Failure);
    }
    return boards;
}

}  // namespace kx
