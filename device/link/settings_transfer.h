// Report 8 on the wire: reading the board's settings and the write sequence.
//
// hidraw returns a feature report at the board's length for that report and sends a
// set request at exactly the length given, which a board refuses unless it is the
// report's own. So report 8 and report 32 each go at their own length as the board's
// descriptor declares it; where it declares none (or could not be read), at the
// longest feature length, FeatureReportByteLength.
#pragma once

#include "device_link.h"
#include "settings_report.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kx {

// Get request for report 8 on FeatureHandle with a buffer of report 8's length. The
// answer is the read image, as many bytes as the board returned: nullopt when the
// request fails, the answer carries another report ID or is too short to hold the
// settings (MinimumReadImage), or report 8's length is itself too short.
std::optional<std::vector<std::uint8_t>> ReadSettingsReport(DeviceLink& link);

// The write sequence: the write image with command 1 at report 8's length, the same
// image with command 2, then 3, then a get request for report 32 at report 32's length
// whose answer is discarded. Every step is sent whatever the one before did. Returns
// whether the command-1 image, the one that carries the settings, was taken; false
// without sending anything when the settings cannot be encoded or report 8 is too
// short to hold them (MinimumWriteImage).
bool SendSettingsSequence(DeviceLink& link, const WheelSettings& settings);

}  // namespace kx
