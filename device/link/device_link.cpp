#include "device_link.h"

#include "board_identity.h"
#include "input_report.h"
#include "report_descriptor.h"

#include <array>

namespace kx {

namespace {

// A refused board is worth reporting over a board that is simply absent; among
// refusals, "access denied" names the fix the user needs.
void NoteOpenFailure(DeviceLink& link, HidFailure failure)
{
    if (failure == HidFailure::None)
        failure = HidFailure::Other;
    if (link.BoardOpenFailure != HidFailure::AccessDenied)
        link.BoardOpenFailure = failure;
}

// The settings interface of a board that lists another beside it (a joystick
// interface, say) is the one whose descriptor declares feature report 8.
bool DeclaresSettingsReport(HidPlatform& platform, const std::string& path)
{
    const std::optional<std::vector<std::uint8_t>> descriptor = platform.ReportDescriptor(path);
    if (!descriptor)
        return false;
    const std::optional<ReportLengths> lengths = ParseReportDescriptor(*descriptor);
    return lengths && lengths->FeatureByID[SettingsReportID] > 0;
}

}  // namespace

Flag FindTheHid(DeviceLink& link, HidPlatform& platform, const std::function<bool(const HidInterfaceInfo&)>& accept)
{
    link.EndOfList = FlagFalse;
    link.BoardOpen = FlagFalse;
    link.BoardOpenFailure = HidFailure::None;

    const std::vector<HidInterfaceInfo> interfaces = platform.EnumerateInterfaces();

    auto examine = [&](const HidInterfaceInfo& candidate) {
        link.LastResult = 1;
        link.DevicePath = candidate.Path;
        link.Interface = candidate;
        link.Attributes = {candidate.VendorID, candidate.ProductID, candidate.VersionNumber};
    };
    auto take = [&](const HidInterfaceInfo& candidate) {
        examine(candidate);
        OpenResult feature = platform.Open(link.DevicePath, OpenMode::Blocking);
        if (!feature.Handle) {
            NoteOpenFailure(link, feature.Failure);
            return false;
        }
        link.FeatureHandle = std::move(feature.Handle);
        link.BoardOpen = FlagTrue;
        return true;
    };

    // The identity comes with the enumeration, and the descriptor is read without
    // opening: only the interface taken is opened.
    std::vector<const HidInterfaceInfo*> withoutSettings;
    bool settingsInterfaceSeen = false;
    for (const HidInterfaceInfo& candidate : interfaces) {
        examine(candidate);
        if (!IsBoardIdentity(candidate.VendorID, candidate.ProductID) || (accept && !accept(candidate)))
            continue;
        if (!DeclaresSettingsReport(platform, candidate.Path)) {
            withoutSettings.push_back(&candidate);
            continue;
        }
        settingsInterfaceSeen = true;
        if (take(candidate))
            break;
    }
    // A settings interface that cannot be opened is not stood in for by another
    // interface of the board, on which the settings could not be read.
    if (link.BoardOpen != FlagTrue && !settingsInterfaceSeen) {
        for (const HidInterfaceInfo* candidate : withoutSettings)
            if (take(*candidate))
                break;
    }
    if (link.BoardOpen != FlagTrue) {
        link.LastResult = 0;
        link.EndOfList = FlagTrue;
        return FlagFalse;
    }

    QueryDeviceCapabilities(link);

    OpenResult input = platform.Open(link.DevicePath, OpenMode::NonBlocking);
    if (!input.Handle) {
        // Half a board is no board: nothing may later read through a handle that
        // is not open.
        NoteOpenFailure(link, input.Failure);
        CloseLinkHandle(link, link.FeatureHandle);
        link.BoardOpen = FlagFalse;
        return FlagFalse;
    }
    link.InputHandle = std::move(input.Handle);
    return FlagTrue;
}

void QueryDeviceCapabilities(DeviceLink& link)
{
    // What is known of the reports belongs to the board opened now, or is not known.
    link.ReportLayout = {};
    if (!link.FeatureHandle) {
        link.LastResult = 0;
        return;
    }
    const std::optional<std::vector<std::uint8_t>> descriptor = link.FeatureHandle->ReportDescriptor();
    link.LastResult = descriptor ? 1 : 0;
    if (!descriptor)
        return;
    const std::optional<ReportLengths> lengths = ParseReportDescriptor(*descriptor);
    link.LastResult = lengths ? 1 : 0;
    if (!lengths)
        return;
    link.Capabilities.InputReportByteLength = lengths->Input;
    link.Capabilities.FeatureReportByteLength = lengths->Feature;
    link.ReportLayout.SettingsReportByteLength = lengths->FeatureByID[SettingsReportID];
    link.ReportLayout.ResetReportByteLength = lengths->FeatureByID[ResetReportID];
    if (lengths->Input > 0)
        link.ReportLayout.PositionReportID = lengths->LongestInputID;
}

std::optional<std::int16_t> WheelPosition(const DeviceLink& link, std::span<const std::uint8_t> report)
{
    if (link.Capabilities.InputReportByteLength < MinimumInputReport || report.empty())
        return std::nullopt;
    if (link.ReportLayout.PositionReportID && report[0] != *link.ReportLayout.PositionReportID)
        return std::nullopt;
    return DecodeInputPosition(report);
}

DrainedInput DrainInputReports(DeviceLink& link, int most)
{
    DrainedInput drained;
    if (!link.InputHandle) {
        drained.Lost = true;
        return drained;
    }
    // Longer than any report the position needs; a longer report is cut, and only its
    // first bytes are read.
    std::array<std::uint8_t, 64> buffer;
    for (int i = 0; i < most; ++i) {
        buffer.fill(0);
        const int n = link.InputHandle->ReadInputReport(buffer);
        link.LastResult = n > 0 ? n : (n == 0 ? 1 : 0);
        if (n < 0) {
            drained.Lost = true;
            break;
        }
        if (n == 0)
            break;
        if (const auto position = WheelPosition(link, std::span(buffer).first(static_cast<std::size_t>(n))))
            drained.NewestPosition = position;
    }
    return drained;
}

void CloseLinkHandle(DeviceLink& link, std::unique_ptr<HidHandle>& handle)
{
    if (!handle)
        return;
    handle.reset();
    link.LastResult = 1;
}

}  // namespace kx
