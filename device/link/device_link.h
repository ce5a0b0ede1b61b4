// The window's device state and the search for the board.
#pragma once

#include "hid_platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace kx {

// Flags are 16-bit, true is all bits set.
using Flag = std::int16_t;
inline constexpr Flag FlagTrue = -1;
inline constexpr Flag FlagFalse = 0;

struct HidCapabilities {
    std::uint16_t InputReportByteLength = 0;    // report-ID byte included
    std::uint16_t FeatureReportByteLength = 0;  // report-ID byte included
};

// What the board's descriptor says of the reports the program uses, beyond the longest
// lengths: hidraw sends and returns each report at its own length. Zero and empty
// when the descriptor does not declare them, or could not be read at the last search.
struct HidReportLayout {
    std::uint16_t SettingsReportByteLength = 0;   // feature report 8, report-ID byte included
    std::uint16_t ResetReportByteLength = 0;      // feature report 32, report-ID byte included
    std::optional<std::uint8_t> PositionReportID;  // the wheel's input report
};

struct HidAttributes {
    std::uint16_t VendorID = 0;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
};

// Held by the window for its whole life; a search never clears it as a whole, so each
// field keeps its last value from one search to the next.
struct DeviceLink {
    HidCapabilities Capabilities;
    HidReportLayout ReportLayout;
    HidAttributes Attributes;
    std::string DevicePath;
    HidInterfaceInfo Interface;  // as the enumeration listed DevicePath
    std::unique_ptr<HidHandle> FeatureHandle;  // blocking: feature reports, capabilities
    std::unique_ptr<HidHandle> InputHandle;    // non-blocking: input reports, strings
    Flag EndOfList = FlagFalse;
    Flag BoardOpen = FlagFalse;
    std::int32_t LastResult = 0;  // raw result of the latest platform call: non-zero is success
    std::optional<int> DeviceType;  // empty until a load has read the manufacturer string
    std::int16_t DeviceRevision = 0;

    // Set by each search: a board that was present but could not be opened, and why.
    HidFailure BoardOpenFailure = HidFailure::None;
};

// Searches the present HID interfaces for the board and opens it twice: FeatureHandle
// for blocking use, InputHandle for reads that never wait. Of the interfaces with the
// board's identity, those whose report descriptor declares feature report 8 (the
// settings) are tried, in the platform's order; when none does, every matching
// interface is, so a board whose descriptor cannot be read is still found. A board
// that cannot be opened is not taken; the search goes on past it and notes the reason
// in BoardOpenFailure. Returns FlagTrue when a board is open (also stored in
// BoardOpen), FlagFalse otherwise. `accept`, when given, passes over every board
// interface it does not accept, as though it were not there.
Flag FindTheHid(DeviceLink& link, HidPlatform& platform,
                const std::function<bool(const HidInterfaceInfo&)>& accept = {});

// Reads the report lengths from FeatureHandle's report descriptor. On any failure the
// capabilities stay as they were and the report layout is forgotten.
void QueryDeviceCapabilities(DeviceLink& link);

// The wheel position in an input report read from InputHandle, report-ID byte first.
// nullopt for a report of another ID than the wheel's (the board also sends others,
// such as its force-feedback state while a game drives it), for one too short to hold
// a position, and when the board declares no input report long enough. Without a
// descriptor, any report long enough is taken for the wheel's.
std::optional<std::int16_t> WheelPosition(const DeviceLink& link, std::span<const std::uint8_t> report);

// What one drain of InputHandle found.
struct DrainedInput {
    bool Lost = false;  // a read failed: the board is gone or its handle is broken
    std::optional<std::int16_t> NewestPosition;  // of the newest wheel report taken
};

// Takes the reports queued on InputHandle, never waiting, until none is left, a read
// fails, or `most` have been taken (a board flooding faster than they are read is left
// for the next drain rather than holding the thread). Only the newest wheel position
// is kept. Each read's result goes to LastResult: the length read, 1 for an empty
// queue, 0 for a failure.
DrainedInput DrainInputReports(DeviceLink& link, int most = 256);

// Closes a handle if it is open, storing the result in LastResult; a handle that is
// not open is left alone.
void CloseLinkHandle(DeviceLink& link, std::unique_ptr<HidHandle>& handle);

}  // namespace kx
