#include "number_text.h"

#include <QCoreApplication>

#include <limits>
#include <utility>

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

// Where the text starts and ends once the blanks around it are left off.
std::pair<qsizetype, qsizetype> WithoutBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return {begin, end};
}

}  // namespace

std::optional<std::int32_t> WholeNumberValue(QStringView text, QChar localeDecimalPoint)
{
    auto [begin, end] = WithoutBlanks(text);

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

std::optional<std::int32_t> GroupedNumberValue(QStringView text, const QLocale& locale)
{
    const QString separator = locale.groupSeparator();
    const QString point = locale.decimalPoint();
    if (separator.isEmpty() || point.size() != 1)
        return std::nullopt;
    auto [begin, end] = WithoutBlanks(text);
    QString plain;
    if (begin < end && (text[begin] == u'-' || text[begin] == u'+'))
        plain += text[begin++];

    // The whole part: 1 to 3 digits, then groups of the separator and 3 digits.
    qsizetype i = begin;
    int digits = 0;
    int groups = 0;
    while (i < end) {
        if (IsDigit(text[i])) {
            plain += text[i++];
            if (++digits > 3)
                return std::nullopt;
        } else if (text.sliced(i).startsWith(separator)) {
            if (digits == 0 || (groups > 0 && digits != 3))
                return std::nullopt;
            ++groups;
            digits = 0;
            i += separator.size();
        } else {
            break;
        }
    }
    if (groups == 0 || digits != 3)
        return std::nullopt;
    // What follows: the locale's decimal point and digits, or nothing.
    if (i < end && text[i] != point.front())
        return std::nullopt;
    plain += text.sliced(i, end - i);
    return WholeNumberValue(plain, point.front());
}

std::optional<std::int32_t> BoxNumberValue(QStringView text, const QLocale& locale)
{
    const std::optional<std::int32_t> value = WholeNumberValue(text, locale.decimalPoint().front());
    const std::optional<std::int32_t> grouped = GroupedNumberValue(text, locale);
    if (value && grouped && *grouped != *value)
        return std::nullopt;
    return value;
}

QString TwoReadingsRefusal(QStringView caption, QStringView text, const QLocale& locale)
{
    const std::optional<std::int32_t> plain = WholeNumberValue(text, locale.decimalPoint().front());
    const std::optional<std::int32_t> grouped = GroupedNumberValue(text, locale);
    if (!plain || !grouped || *plain == *grouped)
        return {};
    return QCoreApplication::translate("frmMain", "%1: \"%2\" could mean %3 or %4. Type %3 or %4.")
        .arg(caption, text.trimmed(), QString::number(*grouped), QString::number(*plain));
}

}  // namespace kx
