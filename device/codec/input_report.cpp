#include "input_report.h"

#include "byte_order.h"
#include "whole_scale.h"

#include <array>
#include <charconv>
#include <cmath>

namespace kx {

std::optional<std::int16_t> DecodeInputPosition(std::span<const std::uint8_t> report)
{
    if (report.size() < MinimumInputReport)
        return std::nullopt;
    return static_cast<std::int16_t>(ReadLE16(report, 1));
}

std::optional<int> CountsPerTurn(std::optional<int> deviceType)
{
    if (deviceType == 1)
        return 8192;
    if (deviceType == 2 || deviceType == 3)
        return 10000;
    return std::nullopt;
}

namespace {

// Tenths of a degree in a turn lock to lock: stops count each side, so one count of
// stops is two of the turn.
constexpr std::int64_t TenthsPerTurnOfStops = 2 * 3600;

}  // namespace

std::optional<std::int64_t> RotationTenths(std::int64_t stops, std::optional<int> countsPerTurn)
{
    if (!countsPerTurn || *countsPerTurn <= 0)
        return std::nullopt;
    return ScaleRounded(stops, TenthsPerTurnOfStops, *countsPerTurn);
}

std::optional<std::int64_t> StopsForRotation(std::int64_t tenths, std::optional<int> countsPerTurn)
{
    if (!countsPerTurn || *countsPerTurn <= 0)
        return std::nullopt;
    return ScaleRounded(tenths, *countsPerTurn, TenthsPerTurnOfStops);
}

std::string TenthsText(std::int64_t tenths, char decimalPoint)
{
    const std::int64_t magnitude = tenths < 0 ? -tenths : tenths;
    std::string text = (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10);
    if (magnitude % 10 != 0)
        text += decimalPoint + std::to_string(magnitude % 10);
    return text;
}

double PositionDegrees(std::int16_t position, int countsPerTurn)
{
    const double degrees = static_cast<double>(position * 360) / countsPerTurn;
    return std::floor(degrees * 10.0 + 0.5) / 10.0;
}

std::string DegreesText(double degrees, char decimalPoint)
{
    if (degrees == 0)
        degrees = 0;  // no "-0"
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), degrees);
    std::string shown(text.data(), result.ptr);
    for (char& c : shown)
        if (c == '.')
            c = decimalPoint;
    return shown;
}

}  // namespace kx
