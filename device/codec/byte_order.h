// Little-endian reads and writes: every 16-bit field on the wire is low byte first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kx {

inline std::uint16_t ReadLE16(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline void WriteLE16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value)
{
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace kx
