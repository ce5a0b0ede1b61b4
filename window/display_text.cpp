#include "display_text.h"

#include "input_report.h"
#include "plain_text.h"
#include "wide_text.h"

namespace kx {

QString Caption(const QString& value)
{
    return QLatin1Char(' ') + value;
}

QString DegreesText(double degrees, const QLocale& locale)
{
    // Written like Position: a locale's own digits or minus sign (Arabic, Persian,
    // Swedish) would set the two numbers apart. Only the decimal separator is the user's.
    return QString::fromStdString(kx::DegreesText(degrees)).replace(QLatin1Char('.'), locale.decimalPoint());
}

QString ShownText(const QString& text)
{
    return QString::fromStdString(PlainText(text.toStdString()));
}

}  // namespace kx
