// Feature report 8: the board's twelve wheel settings.
//
// The board answers a get request with the read image; the program sends the write
// image, which is the read image moved up one byte to make room for a command byte.
// The settings table (settings_table.h) serves both directions, so the two layouts
// cannot drift apart.
#pragma once

#include "settings_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kx {

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

// The write image for a change of some settings only: a fresh zero-filled image of
// `length` bytes in which a setting with a value (values[i] for SettingsFields[i]) is
// encoded, and every other setting is the board's own bytes from `readImage`, copied
// unchanged one byte higher. Decoding and encoding again would not do: a percent byte
// comes back as its nearest percent's byte (192 as 191) and a spring byte above 127 as
// 0, so the board would be changed where nobody asked. Bytes that are no setting's
// (read bytes 1 to 13 and 29 on) are not carried over, as in EncodeSettingsReport.
// nullopt when the length is below MinimumWriteImage, the read image is shorter than
// MinimumReadImage, or a given value lies outside its field's encodable domain.
std::optional<std::vector<std::uint8_t>> EncodeSettingsOver(
    std::span<const std::uint8_t> readImage, const std::array<std::optional<std::int32_t>, SettingsCount>& values,
    std::uint8_t command, std::size_t length);

bool IsEncodable(const SettingsField& field, std::int32_t value);

}  // namespace kx
