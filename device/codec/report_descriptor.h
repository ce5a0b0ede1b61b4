// Report lengths from a HID report descriptor.
//
// hidapi 0.13 cannot tell a report's length, so the program reads the descriptor
// itself. The bytes come from the device and are untrusted: every count is bounded,
// nothing is allocated from a declared size, and a malformed descriptor is an error.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace kx {

// Report lengths in bytes, counting the report-ID byte, which leads every report (and
// is 0 when the device numbers no reports). A report is declared when its main items
// carry at least one bit of data; 0 stands for a report that is not declared.
struct ReportLengths {
    // The longest report of each kind.
    std::uint16_t Input = 0;
    std::uint16_t Output = 0;
    std::uint16_t Feature = 0;
    bool NumberedReports = false;  // the descriptor uses Report ID items
    // Each feature report by its ID; index 0 for a device that numbers no reports.
    std::array<std::uint16_t, 256> FeatureByID{};
    // The ID of the longest input report: of several as long, the one whose data the
    // descriptor declares first. 0 when no input report is declared, or none numbered.
    std::uint8_t LongestInputID = 0;
};

// nullopt for a malformed descriptor: a truncated item, a Pop without Push, Push nested
// more than 16 deep, collections nested more than 64 deep, a Report ID of 0 or above
// 255, a report longer than 65535 bytes, an unbalanced collection, a long item, or data
// declared outside any report ID by a descriptor that numbers its reports. An empty
// descriptor is not malformed: it declares no reports, so every length is 0.
std::optional<ReportLengths> ParseReportDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace kx
