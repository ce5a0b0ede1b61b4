// Feature report 8: the board's twelve wheel settings.
//
// The board answers a get request with the read image; the program sends the write
// image, which is the read image moved up one byte to make room for a command byte.
// One table of fields serves both directions, so the two layouts cannot drift apart.
#pragma once

#include "device_link.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kx {

struct WheelSettings {
    std::int32_t Slimit = 0;
    std::int32_t Homing = 0;
    std::int32_t Stiff = 0;
    std::int32_t Damp = 0;
    std::int32_t TDamp = 0;
    std::int32_t DampingScale = 0;
    std::int32_t OverallScale = 0;
    std::int32_t TInertia = 0;
    std::int32_t TFriction = 0;
    std::int32_t MotorFilter = 0;
    std::int32_t InputFilter = 0;
    std::int32_t Spring = 0;

    friend bool operator==(const WheelSettings&, const WheelSettings&) = default;
};

enum class FieldCoding {
    Byte,        // b = v
    Spring,      // b = v; a byte above 127 reads as 0
    Percent,     // percent of 255
    Unsigned16,  // little-endian
    Signed16,    // little-endian two's complement
};

struct SettingsField {
    const char* Name;
    std::int32_t WheelSettings::*Value;
    std::size_t ReadOffset;  // the write image has the field one byte higher
    FieldCoding Coding;
    std::int32_t EncodableMin;  // values outside are never encoded
    std::int32_t EncodableMax;
};

// In the order the window fills its boxes.
extern const std::array<SettingsField, 12> SettingsFields;

inline constexpr std::size_t MinimumReadImage = 29;   // the last field read is byte 28
inline constexpr std::size_t MinimumWriteImage = 30;  // the last field written is byte 29

std::int32_t DecodePercent(std::uint8_t b);
std::uint8_t EncodePercent(std::int32_t percent);

// nullopt for an image shorter than MinimumReadImage. Any byte values decode.
std::optional<WheelSettings> DecodeSettingsReport(std::span<const std::uint8_t> readImage);

// A fresh zero-filled write image of `length` bytes. nullopt when the length is below
// MinimumWriteImage or a value lies outside its field's encodable domain: such a value
// would reach the board as something other than what the user typed.
std::optional<std::vector<std::uint8_t>> EncodeSettingsReport(const WheelSettings& settings, std::uint8_t command,
                                                              std::size_t length);

bool IsEncodable(const SettingsField& field, std::int32_t value);

// Get request for report 8 on FeatureHandle at FeatureReportByteLength. nullopt when the
// request fails, the answer is shorter than asked, or carries another report ID.
std::optional<std::vector<std::uint8_t>> ReadSettingsReport(DeviceLink& link);

// The write sequence: the write image with command 1, the same image with command 2,
// then 3, then a get request for report 32 whose answer is discarded. Every step is
// sent whatever the one before did. Returns whether the command-1 image, the one that
// carries the settings, was taken; false without sending anything when the settings
// cannot be encoded or the board's feature report is too short to hold them.
bool SendSettingsSequence(DeviceLink& link, const WheelSettings& settings);

}  // namespace kx
