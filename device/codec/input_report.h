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

// The wheel's rotation lock to lock (from one end stop to the other, twice the stops
// each side) in tenths of a degree: what `stops` counts really give, to the nearest
// tenth, halves away from zero. nullopt when the counts a turn are unknown. Both faces
// show a rotation through this alone, so the dial, the field and kx5170ctl agree.
std::optional<std::int64_t> RotationTenths(std::int64_t stops, std::optional<int> countsPerTurn);

// The stops each side, to the nearest whole count (halves away from zero, as a file's
// counts are converted), that give a rotation of `tenths` tenths of a degree lock to
// lock: round(degrees / 2 × counts a turn / 360). nullopt when the counts a turn are
// unknown. Not checked against the stops' range: the caller says what is too much.
std::optional<std::int64_t> StopsForRotation(std::int64_t tenths, std::optional<int> countsPerTurn);

// Tenths of a degree as degrees, the tenth only where there is one: "900", "899.9",
// "-0.5", with the given decimal separator; never in exponent form.
std::string TenthsText(std::int64_t tenths, char decimalPoint = '.');

// The position in degrees, to one decimal, halves going up.
double PositionDegrees(std::int16_t position, int countsPerTurn);

// Degrees in their shortest form, in ASCII digits with "-" for a negative value and
// the given decimal separator: "204.8", "-1440", "0.5". Never "-0".
std::string DegreesText(double degrees, char decimalPoint = '.');

}  // namespace kx
