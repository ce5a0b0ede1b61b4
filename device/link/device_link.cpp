#include "device_link.h"

#include "board_identity.h"
#include "report_descriptor.h"

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

}  // namespace

Flag FindTheHid(DeviceLink& link, HidPlatform& platform)
{
    link.EndOfList = FlagFalse;
    link.BoardOpen = FlagFalse;
    link.BoardOpenFailure = HidFailure::None;

    const std::vector<HidInterfaceInfo> interfaces = platform.EnumerateInterfaces();

    for (std::size_t memberIndex = 0;; ++memberIndex) {
        if (memberIndex >= interfaces.size()) {
            link.LastResult = 0;
            link.EndOfList = FlagTrue;
            break;
        }
        const HidInterfaceInfo& candidate = interfaces[memberIndex];
        link.LastResult = 1;
        link.DevicePath = candidate.Path;
        link.Attributes = {candidate.VendorID, candidate.ProductID, candidate.VersionNumber};

        // The identity comes with the enumeration: only the board itself is opened.
        if (!IsBoardIdentity(candidate.VendorID, candidate.ProductID))
            continue;

        OpenResult feature = platform.Open(link.DevicePath, OpenMode::Blocking);
        if (!feature.Handle) {
            NoteOpenFailure(link, feature.Failure);
            continue;
        }
        link.FeatureHandle = std::move(feature.Handle);
        link.BoardOpen = FlagTrue;
        break;
    }

    if (link.BoardOpen != FlagTrue)
        return FlagFalse;

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
}

void CloseLinkHandle(DeviceLink& link, std::unique_ptr<HidHandle>& handle)
{
    if (!handle)
        return;
    handle.reset();
    link.LastResult = 1;
}

}  // namespace kx
