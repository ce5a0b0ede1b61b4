#include "display_text.h"

namespace kx {

QString Caption(const QString& value)
{
    return QLatin1Char(' ') + value;
}

QString DegreesText(double degrees, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(degrees, 'f', QLocale::FloatingPointShortest);
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
