#include "display_text.h"

namespace kx {

QString Caption(const QString& value)
{
    return QLatin1Char(' ') + value;
}

QString DegreesText(double degrees, const QLocale& locale)
{
    // Written like Position: a locale's own digits or minus sign (Arabic, Persian,
    // Swedish) would set the two numbers apart. Only the decimal separator is the user's.
    if (degrees == 0)
        degrees = 0;  // no "-0"
    QString text = QString::number(degrees, 'f', QLocale::FloatingPointShortest);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

QString VersionText(int deviceType, int deviceRevision)
{
    return QString::number(deviceType) + QLatin1Char('.') + QString::number(deviceRevision, 16).toUpper();
}

QString DeviceStringText(const std::u16string& text)
{
    QString shown = QString::fromStdU16String(text);
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return shown;
}

}  // namespace kx
