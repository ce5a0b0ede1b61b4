#include "number_text.h"

#include <limits>

namespace kx {

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

}  // namespace

std::optional<std::int32_t> WholeNumberValue(QStringView text, QChar localeDecimalPoint)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;

    bool negative = false;
    if (begin < end && (text[begin] == u'-' || text[begin] == u'+')) {
        negative = text[begin] == u'-';
        ++begin;
    }

    // Exact decimal rounding: a long text can name no value that a double would
    // round differently from the digits.
    constexpr std::int64_t Limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t whole = 0;
    bool sawDigit = false;
    bool sawSeparator = false;
    int firstFractionDigit = -1;
    bool fractionBeyondFirst = false;
    for (qsizetype i = begin; i < end; ++i) {
        const QChar c = text[i];
        if (IsDigit(c)) {
            sawDigit = true;
            const int digit = c.unicode() - u'0';
            if (!sawSeparator) {
                whole = whole * 10 + digit;
                if (whole > Limit)
                    return std::nullopt;
            } else if (firstFractionDigit < 0) {
                firstFractionDigit = digit;
            } else if (digit != 0) {
                fractionBeyondFirst = true;
            }
        } else if ((c == u'.' || c == localeDecimalPoint) && !sawSeparator) {
            sawSeparator = true;
        } else {
            return std::nullopt;
        }
    }
    if (!sawDigit)
        return std::nullopt;

    const bool above = firstFractionDigit > 5 || (firstFractionDigit == 5 && fractionBeyondFirst);
    const bool half = firstFractionDigit == 5 && !fractionBeyondFirst;
    if (above || (half && whole % 2 == 1))
        ++whole;

    const std::int64_t value = negative ? -whole : whole;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace kx
