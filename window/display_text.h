// Texts the window shows for values from the board.
#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <string>

namespace kx {

// A value label's caption: one space, then the value.
QString Caption(const QString& value);

// Degrees in their shortest form, with the locale's decimal separator: "204.8",
// "-1440", "204,8" in German.
QString DegreesText(double degrees, const QLocale& locale);

// Text from outside (a file name, a file's contents) as a plain-text message shows it:
// control characters escaped ("\x1b"), everything else as it is.
QString ShownText(const QString& text);

}  // namespace kx
