// Reading the whole-number value of a text box.
#pragma once

#include <QChar>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace kx {

// A plain decimal number: blanks around it, an optional sign, digits with at most one
// decimal separator ("." or the locale's), rounded to the nearest whole number with
// halves going to the even neighbour. nullopt for anything else, and for a value
// outside the signed 32-bit range.
std::optional<std::int32_t> WholeNumberValue(QStringView text, QChar localeDecimalPoint);

}  // namespace kx
