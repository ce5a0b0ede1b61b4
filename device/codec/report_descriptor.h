// Report lengths from a HID report descriptor.
//
// hidapi 0.13 cannot tell a report's length, so the program reads the descriptor
// itself. The bytes come from the device and are untrusted: every count is bounded,
// nothing is allocated from a declared size, and a malformed descriptor is an error.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace kx {

// Longest report of each kind in bytes, counting the report-ID byte, which leads every
// report (and is 0 when the device numbers no reports). 0 when the descriptor declares
// no report of that kind.
struct ReportLengths {
    std::uint16_t Input = 0;
    std::uint16_t Output = 0;
    std::uint16_t Feature = 0;
    bool NumberedReports = false;  // the descriptor uses Report ID items
};

// nullopt for a malformed descriptor: a truncated item, a Pop without Push, Push nested
// more than 16 deep, collections nested more than 64 deep, a Report ID of 0 or above
// 255, a report longer than 65535 bytes, an unbalanced collection, a long item, or data
// declared outside any report ID by a descriptor that numbers its reports. An empty
// descriptor is not malformed: it declares no reports, so every length is 0.
std::optional<ReportLengths> ParseReportDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace kx
