#include "settings_conversion.h"

#include "input_report.h"
#include "translatable.h"
#include "whole_scale.h"

#include <cstdint>
#include <string_view>

namespace kx {

std::variant<SettingsFile, SettingsFileError> ConvertSettingsFile(const SettingsFile& file, std::optional<int> boardType)
{
    if (!file.BoardType)
        return RefuseSettings(0, QT_TRANSLATE_NOOP("SettingsFile", "the file does not say which board type it was saved "
                                                                   "from (no \"board_type\" line), so its counts a turn "
                                                                   "are unknown"));
    const std::optional<int> from = CountsPerTurn(file.BoardType);
    if (!from)
        return RefuseSettings(0, QT_TRANSLATE_NOOP("SettingsFile", "the file was saved from board type %1, whose counts "
                                                                   "a turn this program does not know"),
                              {std::to_string(*file.BoardType)});
    const std::optional<int> to = CountsPerTurn(boardType);
    if (!to)
        return boardType ? RefuseSettings(0,
                                          QT_TRANSLATE_NOOP("SettingsFile", "this board is board type %1, whose counts a "
                                                                            "turn this program does not know"),
                                          {std::to_string(*boardType)})
                         : RefuseSettings(0, QT_TRANSLATE_NOOP("SettingsFile", "this board's type could not be read, so "
                                                                               "its counts a turn are unknown"));

    SettingsFile converted = file;
    converted.BoardType = boardType;
    for (std::size_t i = 0; i < SettingsCount; ++i) {
        const SettingsField& field = SettingsFields[i];
        if (!file.Values[i] || std::string_view(field.Unit) != "counts")
            continue;
        const std::int64_t value = ScaleRounded(*file.Values[i], *to, *from);
        if (value < field.Lowest || value > field.Highest)
            return RefuseSettings(0,
                                  QT_TRANSLATE_NOOP("SettingsFile", "%1 = %2 at %3 counts a turn would be %4 at this "
                                                                    "board's %5, outside its range, %6 to %7"),
                                  {field.Key, std::to_string(*file.Values[i]), std::to_string(*from),
                                   std::to_string(value), std::to_string(*to), std::to_string(field.Lowest),
                                   std::to_string(field.Highest)});
        converted.Values[i] = static_cast<std::int32_t>(value);
    }
    return converted;
}

}  // namespace kx
