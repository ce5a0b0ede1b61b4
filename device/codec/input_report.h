// The board's input report: report ID, then the wheel position as a signed 16-bit
// little-endian count of encoder steps.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kx {

inline constexpr std::size_t MinimumInputReport = 3;

// nullopt for a report too short to hold the position.
std::optional<std::int16_t> DecodeInputPosition(std::span<const std::uint8_t> report);

// Encoder counts per turn of the wheel by device type; nullopt for a type whose
// counts are unknown, or when the type was never read.
std::optional<int> CountsPerTurn(std::optional<int> deviceType);

// The position in degrees, to one decimal, halves going up.
double PositionDegrees(std::int16_t position, int countsPerTurn);

// Degrees in their shortest form, in ASCII digits with "-" for a negative value and
// the given decimal separator: "204.8", "-1440", "0.5". Never "-0".
std::string DegreesText(double degrees, char decimalPoint = '.');

}  // namespace kx
