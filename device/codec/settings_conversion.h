// A settings file saved from a board of another type, brought to this one.
//
// Board types count different numbers of encoder steps a turn (CountsPerTurn), so the
// settings given in counts (stops, centre_offset) mean other angles on another board.
// Converting scales them so that they keep their angle; every other setting is a
// strength or a filter, the same on every board, and is left as the file gives it.
#pragma once

#include "settings_file.h"

#include <optional>
#include <string>
#include <variant>

namespace kx {

// The file with each setting in counts that it names multiplied by this board's counts
// a turn over the file's board's, rounded to the nearest whole count (halves away from
// zero, so that a setting and its negative convert alike), and BoardType set to
// `boardType`; settings it does not name stay unnamed. Between two types that count
// alike the values are unchanged.
//
// Refused, with a reason for the user that names what stands in the way: a file that
// does not say its board type, a file's or this board's type (nullopt: not read) whose
// counts a turn are unknown, and a converted value outside its setting's range
// (Lowest to Highest), which names the setting, the converted value and the range.
// Nothing is converted in part: a refusal leaves the caller with the file as it was.
std::variant<SettingsFile, SettingsFileError> ConvertSettingsFile(const SettingsFile& file, std::optional<int> boardType);

}  // namespace kx
