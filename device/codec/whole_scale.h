// Scaling a whole number of counts by a ratio of whole numbers, rounded once.
#pragma once

#include <cstdint>

namespace kx {

// value × to / from, to the nearest whole number, halves away from zero, so that a
// value and its negative scale alike. Whole numbers throughout: a double would be exact
// here too, but this leaves no doubt at the halves (256 counts of 8192 are exactly
// 312.5 of 10000). `from` is positive; the product must fit in 64 bits.
constexpr std::int64_t ScaleRounded(std::int64_t value, std::int64_t to, std::int64_t from)
{
    const std::int64_t product = value * to;
    std::int64_t quotient = product / from;
    const std::int64_t remainder = product % from;
    if (2 * (remainder < 0 ? -remainder : remainder) >= from)
        quotient += product < 0 ? -1 : 1;
    return quotient;
}

}  // namespace kx
