// Report 8 on the wire: reading the board's settings and the write sequence.
#pragma once

#include "device_link.h"
#include "settings_report.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kx {

// Get request for report 8 on FeatureHandle at FeatureReportByteLength. nullopt when the
// request fails, the answer is shorter than asked, or carries another report ID.
std::optional<std::vector<std::uint8_t>> ReadSettingsReport(DeviceLink& link);

// The write sequence: the write image with command 1, the same image with command 2,
// then 3, then a get request for report 32 whose answer is discarded. Every step is
// sent whatever the one before did. Returns whether the command-1 image, the one that
// carries the settings, was taken; false without sending anything when the settings
// cannot be encoded or the board's feature report is too short to hold them.
bool SendSettingsSequence(DeviceLink& link, const WheelSettings& settings);

}  // namespace kx
