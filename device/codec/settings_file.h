// Settings files: the twelve settings as text a person can read and edit.
//
//     # KX5170 wheel settings
//     kx5170-settings = 1
//     board_type = 1
//     centre_offset = -100     # counts, -32768 to 32767
//     stops = 5000             # counts, 0 to 65535
//
// UTF-8, one `key = value` a line, `#` starts a comment (also after a value), blank
// lines are ignored, LF, CRLF or CR line ends. The first line that is not blank or a
// comment is the marker `kx5170-settings = 1`. Keys are the settings table's; values
// are whole decimal numbers. `board_type` (the high byte of the board's version) may
// be given. `rotation = 900` gives the stops as the wheel's rotation lock to lock in
// degrees (one decimal at most) in place of `stops`; it becomes stops only for a board
// whose counts a turn are known (ResolveRotation).
// A file may name only some settings: the others keep what the board holds.
//
// Plain C++, no Qt: the window and kx5170ctl read and write files through this alone.
#pragma once

#include "settings_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kx {

// A larger file is refused unread: no settings file comes near it.
inline constexpr std::size_t MaxSettingsFileSize = 64 * 1024;
inline constexpr int SettingsFileVersion = 1;
inline constexpr const char* SettingsFileSuffix = ".kx5170";

struct SettingsFile {
    // By index into SettingsFields; empty for a setting the file does not name.
    std::array<std::optional<std::int32_t>, SettingsCount> Values{};
    std::optional<int> BoardType;
    // `rotation`, in tenths of a degree lock to lock; never given with stops.
    std::optional<std::int64_t> RotationTenths;
};

inline constexpr const char* RotationKey = "rotation";

struct SettingsFileError {
    int Line = 0;  // 1-based; 0 when the fault is the file as a whole (size, encoding)
    std::string Reason;  // in English, Template with its Arguments put in
    // For a face that says it in the user's language: the English text with %1, %2 ...
    // (marked for translation in the context "SettingsFile"), and what goes in them.
    std::string Template;
    std::vector<std::string> Arguments;
};

// Template with %1, %2 ... replaced by `arguments`, in one pass: an argument that holds
// "%2" is put in as it is.
std::string FillTemplate(std::string_view text, const std::vector<std::string>& arguments);
// A refusal at `line` (0: of the file as a whole): `text` is the English template,
// marked for translation in the context "SettingsFile".
SettingsFileError RefuseSettings(int line, const char* text, std::vector<std::string> arguments = {});

enum class OutOfRange {
    Refuse,  // any value outside its setting's bounds refuses the file
    Clamp,   // a clamped setting is brought to its nearer bound, as the window does;
             // a refused one (stops, centre_offset) still refuses the file
};

// Reads a file's bytes. Refuses, with the first fault's line and reason: a file larger
// than MaxSettingsFileSize, one that is not UTF-8 text (a NUL byte, invalid UTF-8), a
// missing marker or one of another version, a line that is not `key = value`, an
// unknown key (a typo must not pass unnoticed), a key given twice, a value that is not
// a whole number or lies outside its setting's range (see OutOfRange), a rotation that
// is not degrees with one decimal at most, and a rotation given with stops (they say
// one thing twice, and might disagree).
std::variant<SettingsFile, SettingsFileError> ParseSettingsFile(std::string_view bytes,
                                                                OutOfRange outOfRange = OutOfRange::Refuse);

// "rally.kx5170:7: unknown key "stop"" (no line number for a whole-file fault). The
// file name and every piece of the file quoted in the reason are plain text, control
// characters written out (see PlainText): the message is safe on a terminal.
std::string DescribeSettingsFileError(std::string_view fileName, const SettingsFileError& error);

// The file with its rotation turned into stops for a board of `countsPerTurn`
// (StopsForRotation) and the rotation left out; a file without one as it is. Refused,
// with a reason that says what to do: counts a turn unknown (nullopt), and stops outside
// their range, which names the most this board turns.
std::variant<SettingsFile, SettingsFileError> ResolveRotation(const SettingsFile& file, std::optional<int> countsPerTurn);

// The board's settings with the file's values put in their place. A rotation not
// resolved is not among them.
WheelSettings ApplySettingsFile(const WheelSettings& board, const SettingsFile& file);

// Whether the file was written for a board that counts another number of encoder steps
// a turn, so that its stops and centre offset would mean other angles on this one.
// False when the file names no board type.
bool SettingsFileCountsDiffer(const SettingsFile& file, std::optional<int> boardType);

// What a saved file says about the board it came from, in its comments.
struct SettingsFileOrigin {
    std::string Product;
    std::string SerialNumber;
    std::string Version;  // as the window shows it: "3.7"
    std::string Date;     // ISO 8601
    std::optional<int> BoardType;
};

// A whole file: the marker, board_type when known, and all twelve settings in the
// window's order, each followed by a comment with its unit and range.
std::string FormatSettingsFile(const WheelSettings& settings, const SettingsFileOrigin& origin);

}  // namespace kx
