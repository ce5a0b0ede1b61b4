// The write handler's number reader against a plain reference written from the rule
// itself: blanks around, an optional sign, digits with at most one decimal separator,
// rounded to the nearest whole number with halves to the even neighbour, and nothing
// outside the signed 32-bit range.
#include "fuzz_check.h"
#include "number_text.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

using namespace kx;

namespace {

std::optional<std::int32_t> Reference(const std::u16string& text, char16_t point)
{
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;

    bool negative = false;
    if (begin < end && (text[begin] == u'+' || text[begin] == u'-'))
        negative = text[begin++] == u'-';

    std::string whole, fraction;
    bool separator = false;
    for (std::size_t i = begin; i < end; ++i) {
        const char16_t c = text[i];
        if (c >= u'0' && c <= u'9')
            (separator ? fraction : whole) += static_cast<char>(c);
        else if (!separator && (c == u'.' || c == point))
            separator = true;
        else
            return std::nullopt;
    }
    if (whole.empty() && fraction.empty())
        return std::nullopt;

    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.size() > 11)
        return std::nullopt;
    std::int64_t value = whole.empty() ? 0 : std::stoll(whole);

    // Compare the fraction with one half, as digits.
    fraction.erase(std::min(fraction.find_last_not_of('0') + 1, fraction.size()));
    const bool half = fraction == "5";
    const bool aboveHalf = !fraction.empty() && (fraction[0] > '5' || (fraction[0] == '5' && fraction.size() > 1));
    if (aboveHalf || (half && value % 2 == 1))
        ++value;
    if (negative)
        value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// Mostly the characters a number is made of, now and then one that has no place in it.
constexpr char16_t Common[16] = {u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7',
                                 u'8', u'9', u'.', u',', u' ', u'\t', u'-', u'+'};
constexpr char16_t Rare[16] = {u'e', u'E', u'x', u'\n', u'\0', u'\u0660', u'\uFF11', u'\u00A0',
                               u'\u066B', u'\u2212', u'\r', u'9', u'0', u'5', char16_t{0xD800}, u'/'};
constexpr char16_t Points[4] = {u'.', u',', u'\u066B', u','};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const char16_t point = Points[data[0] & 3];
    const bool raw = data[0] & 4;

    std::u16string text;
    if (raw) {
        // Any UTF-16: surrogates, NULs, other scripts' digits.
        for (std::size_t i = 1; i + 1 < size; i += 2)
            text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    } else {
        for (std::size_t i = 1; i < size; ++i)
            text += data[i] >= 0xF0 ? Rare[data[i] & 15] : Common[data[i] & 15];
    }

    // Code unit for code unit: QString::fromUtf16 would take a leading U+FEFF as a
    // byte-order mark and drop it, and a box can hold one.
    const QString qtext(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
    const std::optional<std::int32_t> read = WholeNumberValue(qtext, QChar(point));
    const std::optional<std::int32_t> expected = Reference(text, point);
    FUZZ_REQUIRE(read == expected);
    return 0;
}
