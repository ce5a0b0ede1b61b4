#include "settings_conversion.h"

#include "input_report.h"
#include "whole_scale.h"

#include <cstdint>
#include <string_view>

namespace kx {

namespace {

std::string TypeText(int type)
{
    return "board type " + std::to_string(type);
}

}  // namespace

std::variant<SettingsFile, std::string> ConvertSettingsFile(const SettingsFile& file, std::optional<int> boardType)
{
    if (!file.BoardType)
        return std::string("the file does not say which board type it was saved from (no \"board_type\" line), "
                           "so its counts a turn are unknown");
    const std::optional<int> from = CountsPerTurn(file.BoardType);
    if (!from)
        return "the file was saved from " + TypeText(*file.BoardType) +
               ", whose counts a turn this program does not know";
    const std::optional<int> to = CountsPerTurn(boardType);
    if (!to)
        return boardType ? "this board is " + TypeText(*boardType) + ", whose counts a turn this program does not know"
                         : std::string("this board's type could not be read, so its counts a turn are unknown");

    SettingsFile converted = file;
    converted.BoardType = boardType;
    for (std::size_t i = 0; i < SettingsCount; ++i) {
        const SettingsField& field = SettingsFields[i];
        if (!file.Values[i] || std::string_view(field.Unit) != "counts")
            continue;
        const std::int64_t value = ScaleRounded(*file.Values[i], *to, *from);
        if (value < field.Lowest || value > field.Highest)
            return std::string(field.Key) + " = " + std::to_string(*file.Values[i]) + " at " + std::to_string(*from) +
                   " counts a turn would be " + std::to_string(value) + " at this board's " + std::to_string(*to) +
                   ", outside its range, " + std::to_string(field.Lowest) + " to " + std::to_string(field.Highest);
        converted.Values[i] = static_cast<std::int32_t>(value);
    }
    return converted;
}

}  // namespace kx
