// The input report on any bytes: the position is the report's bytes 1 and 2, and the
// degrees shown for it stay within the wheel's range at one decimal.
#include "fuzz_check.h"
#include "input_report.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

using namespace kx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<std::int16_t> position = DecodeInputPosition(std::span(data, size));
    FUZZ_REQUIRE(position.has_value() == (size >= MinimumInputReport));
    if (!position)
        return 0;
    FUZZ_REQUIRE(static_cast<std::uint16_t>(*position) == (data[1] | data[2] << 8));

    // The device type comes from the board's release number: any value is possible.
    const int deviceType = size > 3 ? static_cast<std::int8_t>(data[3]) : 1;
    const std::optional<int> perTurn = CountsPerTurn(deviceType);
    FUZZ_REQUIRE(!perTurn || *perTurn == 8192 || *perTurn == 10000);
    for (int counts : {8192, 10000}) {
        const double degrees = PositionDegrees(*position, counts);
        FUZZ_REQUIRE(std::isfinite(degrees));
        FUZZ_REQUIRE(std::fabs(degrees) <= 32768.0 * 360.0 / counts + 0.05);
        FUZZ_REQUIRE((degrees < 0) == (*position < 0) || degrees == 0);
        // One decimal, as near as a double holds it.
        FUZZ_REQUIRE(std::fabs(degrees * 10.0 - std::round(degrees * 10.0)) < 1e-6);
        FUZZ_REQUIRE(std::fabs(degrees - *position * 360.0 / counts) <= 0.05 + 1e-9);
    }
    return 0;
}
