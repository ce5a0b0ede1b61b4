// The KX5170 board's USB identity and the report IDs the program uses.
#pragma once

#include <cstdint>

namespace kx {

inline constexpr std::uint16_t BoardVendorID = 0x6C1B;
inline constexpr std::uint16_t BoardProductIDs[] = {0x5E11, 0x5E12, 0x5E13};

inline constexpr std::uint8_t SettingsReportID = 8;
inline constexpr std::uint8_t ResetReportID = 32;

// The board's type: the high byte of its version number, as a settings file and
// kx5170ctl give it (0 to 255).
inline int BoardType(std::uint16_t versionNumber)
{
    return versionNumber >> 8;
}

inline bool IsBoardIdentity(std::uint16_t vendorId, std::uint16_t productId)
{
    if (vendorId != BoardVendorID)
        return false;
    for (std::uint16_t product : BoardProductIDs)
        if (productId == product)
            return true;
    return false;
}

}  // namespace kx
