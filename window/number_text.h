// Reading the whole-number value of a text box.
#pragma once

#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace kx {

// A plain decimal number: blanks around it, an optional sign, digits with at most one
// decimal separator ("." or the locale's), rounded to the nearest whole number with
// halves going to the even neighbour. nullopt for anything else, and for a value
// outside the signed 32-bit range.
std::optional<std::int32_t> WholeNumberValue(QStringView text, QChar localeDecimalPoint);

// What `text` reads as with `locale`'s group separator: blanks around, an optional
// sign, one to three digits, then one or more groups of the separator and three
// digits, then optionally the locale's decimal point and digits, read as
// WholeNumberValue reads the text without its separators ("5.000" in German: 5000).
// nullopt for a text with no separator, or not grouped so, or outside 32 bits.
std::optional<std::int32_t> GroupedNumberValue(QStringView text, const QLocale& locale);

// A box's value in `locale`: WholeNumberValue with its decimal point, except that a
// text that also reads as another number grouped refuses (nullopt), for it means two
// numbers: "5.000" in German is 5 to WholeNumberValue, which takes "." in every
// locale, and 5000 to the person who typed it.
std::optional<std::int32_t> BoxNumberValue(QStringView text, const QLocale& locale);

// Why BoxNumberValue refuses a text that reads two ways, both readings shown:
// "Stops (each side): "5.000" could mean 5000 or 5. Type 5000 or 5." Empty when
// `text` does not read two ways (it is then taken, or refused as no number).
QString TwoReadingsRefusal(QStringView caption, QStringView text, const QLocale& locale);

}  // namespace kx
