#include "input_report.h"

#include "byte_order.h"

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
