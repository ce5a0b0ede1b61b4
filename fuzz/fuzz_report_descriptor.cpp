// The report-descriptor parser on any bytes, and the link that sizes its buffers from
// what the parser says: a descriptor from the device decides how much is asked for and
// sent, so it must never lead to an access outside a buffer or an oversized request.
#include "board_identity.h"
#include "board_model.h"
#include "board_session.h"
#include "device_link.h"
#include "fuzz_check.h"
#include "report_descriptor.h"
#include "simulated_hid.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

using namespace kx;

namespace {

bool SameLengths(const ReportLengths& a, const ReportLengths& b)
{
    return a.Input == b.Input && a.Output == b.Output && a.Feature == b.Feature &&
           a.NumberedReports == b.NumberedReports;
}

void CheckLengths(const ReportLengths& lengths)
{
    // A declared report has an ID byte and at least one byte of data.
    for (std::uint16_t length : {lengths.Input, lengths.Output, lengths.Feature})
        FUZZ_REQUIRE(length == 0 || length >= 2);
}

// Items that only change the global state, with no main item after them, declare
// nothing; an End Collection with no collection open is malformed.
void CheckAppended(std::span<const std::uint8_t> descriptor, const ReportLengths& lengths)
{
    std::vector<std::uint8_t> longer(descriptor.begin(), descriptor.end());
    for (std::uint8_t b : {0x75, 0x08, 0x95, 0xFF, 0x05, 0x01, 0x09, 0x30})  // size, count, usage page, usage
        longer.push_back(b);
    const auto same = ParseReportDescriptor(longer);
    FUZZ_REQUIRE(same && SameLengths(*same, lengths));

    longer.push_back(0xC0);
    FUZZ_REQUIRE(!ParseReportDescriptor(longer));
}

// The board answers with this descriptor: the search, the settings read and the write
// sequence run on whatever lengths it declares.
void CheckLink(std::span<const std::uint8_t> descriptor, const std::optional<ReportLengths>& lengths)
{
    SimulatedHidPlatform platform;
    SimulatedDevice& board = platform.AddBoard();
    board.Descriptor.assign(descriptor.begin(), descriptor.end());

    {
        DeviceLink link;
        FUZZ_REQUIRE(FindTheHid(link, platform) == FlagTrue);
        FUZZ_REQUIRE(link.Capabilities.FeatureReportByteLength == (lengths ? lengths->Feature : 0));
        FUZZ_REQUIRE(link.Capabilities.InputReportByteLength == (lengths ? lengths->Input : 0));
    }
    const std::size_t feature = lengths ? lengths->Feature : 0;
    BoardSession session(platform);
    FUZZ_REQUIRE(session.Search().Found);
    // Each report at its own declared length, or the longest when it is not declared.
    const auto own = [&](std::uint8_t id) -> std::size_t {
        return lengths && lengths->FeatureByID[id] > 0 ? lengths->FeatureByID[id] : feature;
    };
    const std::size_t settingsLength = own(SettingsReportID), resetLength = own(ResetReportID);

    const Outcome<SettingsRead> read = session.ReadSettings();
    if (const auto* held = std::get_if<SettingsRead>(&read)) {
        FUZZ_REQUIRE(held->Image.size() >= MinimumReadImage && held->Image.size() <= settingsLength);
        const bool taken = session.Write(held->Values).SettingsTaken();
        FUZZ_REQUIRE(taken == (settingsLength == BoardModel::StandardFeatureReportLength));
    } else {
        // The board answers report 8 with as much of its 64 bytes as asked for.
        FUZZ_REQUIRE(settingsLength < MinimumReadImage);
        FUZZ_REQUIRE(!session.Write(WheelSettings{}).SettingsTaken());
    }
    // Nothing is ever asked for or sent beyond the length the descriptor declares.
    for (const BoardModel::FeatureRequest& request : board.Board->Log)
        FUZZ_REQUIRE(request.Length == (request.Bytes[0] == ResetReportID ? resetLength : settingsLength));

    session.Close();
    FUZZ_REQUIRE(platform.OpenHandles() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> descriptor(data, size);
    const std::optional<ReportLengths> lengths = ParseReportDescriptor(descriptor);
    if (lengths) {
        CheckLengths(*lengths);
        CheckAppended(descriptor, *lengths);
    }
    CheckLink(descriptor, lengths);
    return 0;
}
