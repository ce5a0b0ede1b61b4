#include "input_report.h"

#include "byte_order.h"

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

}  // namespace kx
