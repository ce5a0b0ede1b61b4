// The KX5170 board's USB identity and the report IDs the program uses.
#pragma once

#include <cstdint>
#include <string>

namespace kx {

inline constexpr std::uint16_t BoardVendorID = 0x6C1B;
inline constexpr std::uint16_t BoardProductIDs[] = {0x5E11, 0x5E12, 0x5E13};

inline constexpr std::uint8_t SettingsReportID = 8;
inline constexpr std::uint8_t ResetReportID = 32;

// The board's type and revision: the high and low byte of its version number, both
// unsigned (a version of 0x8107 is type 129, revision 7).
inline int BoardType(std::uint16_t versionNumber)
{
    return versionNumber >> 8;
}
inline int BoardRevision(std::uint16_t versionNumber)
{
    return versionNumber & 0xFF;
}

// "3.7": the type in decimal, the revision in upper-case hex without leading zeros.
std::string BoardVersionText(std::uint16_t versionNumber);

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
