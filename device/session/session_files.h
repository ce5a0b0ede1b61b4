// Settings files as both faces read and save them: the bytes of a file, read with the
// size limit the reader enforces, and what a saved file says of the board it came from.
#pragma once

#include "session_types.h"
#include "settings_file.h"

#include <QString>

#include <string>
#include <variant>

namespace kx {

// The bytes of a settings file, or why they cannot be read ("No such file or
// directory"). One byte more than a settings file may hold is read, so that the reader
// can refuse an over-long file without reading all of it (a device node or a pipe might
// never end).
std::variant<std::string, QString> ReadSettingsFileBytes(const QString& path);

// The board's product, serial number, version and type, and the time of saving as
// ISO 8601 with the local offset, for a file saved from it.
SettingsFileOrigin SavedFileOrigin(const BoardDetails& details);

// Why a settings file (or its conversion, or its rotation) was refused, in the user's
// language.
QString SettingsReasonText(const SettingsFileError& error);
// "rally.kx5170:3: ..." in the user's language: the file's name and line, and why the
// file was refused. The name is quoted as plain text.
QString DescribeSettingsFileErrorText(const QString& fileName, const SettingsFileError& error);

}  // namespace kx
