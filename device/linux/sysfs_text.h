// Small text files the kernel writes under /sys and /proc, read with a bound: a file
// there is never trusted to be short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// At most limit + 1 bytes of the file, so that the caller can tell a file that is too
// long; nullopt when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadBounded(const std::filesystem::path& file, std::size_t limit);

// The first line of a file of at most `limit` bytes, without its line end or trailing
// blanks; nullopt when the file cannot be read or is longer.
std::optional<std::string> ReadFirstLine(const std::filesystem::path& file, std::size_t limit = 4096);

// One to four hex digits, followed by nothing but blanks and line ends, as sysfs writes
// a 16-bit attribute ("0307\n").
std::optional<std::uint16_t> ParseHex16(std::span<const std::uint8_t> text);
std::optional<std::uint16_t> ParseHex16(std::string_view text);

bool AllDigits(std::string_view text);

// "hidraw12" for ("hidraw12", "hidraw"): the prefix followed by a number of at most nine
// digits, and nothing else.
bool IsNumberedName(std::string_view name, std::string_view prefix);

// The names in a directory, sorted; none when it cannot be read.
std::vector<std::string> DirectoryNames(const std::filesystem::path& directory);

}  // namespace kx
