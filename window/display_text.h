// Texts the window shows for values from the board.
#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <string>

namespace kx {

// A value label's caption: one space, then the value.
QString Caption(const QString& value);

// Degrees in their shortest form, in ASCII digits with "-" for a negative value and
// the locale's decimal separator: "204.8", "-1440", "204,8" in German.
QString DegreesText(double degrees, const QLocale& locale);

// "3.7" for version 0x0307: the type in decimal, the revision in upper-case hex.
QString VersionText(int deviceType, int deviceRevision);

// A device string as the label shows it: Unicode, with control characters blanked so
// a hostile name cannot break the layout.
QString DeviceStringText(const std::u16string& text);

}  // namespace kx
