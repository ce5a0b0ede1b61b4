#include "session_files.h"

#include "plain_text.h"

#include <QCoreApplication>

#include "board_identity.h"
#include "wide_text.h"

#include <QDateTime>
#include <QFile>

namespace kx {

std::variant<std::string, QString> ReadSettingsFileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray bytes = file.read(static_cast<qint64>(MaxSettingsFileSize) + 1);
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return bytes.toStdString();
}

SettingsFileOrigin SavedFileOrigin(const BoardDetails& details)
{
    SettingsFileOrigin origin;
    if (details.Product)
        origin.Product = PrintableDeviceText(*details.Product);
    if (details.SerialNumber)
        origin.SerialNumber = PrintableDeviceText(*details.SerialNumber);
    origin.Version = BoardVersionText(details.Identity.VersionNumber);
    origin.BoardType = details.DeviceType;
    const QDateTime now = QDateTime::currentDateTime();
    origin.Date = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString();
    return origin;
}

QString SettingsReasonText(const SettingsFileError& error)
{
    if (error.Template.empty())
        return QString::fromStdString(error.Reason);
    return QString::fromStdString(FillTemplate(
        QCoreApplication::translate("SettingsFile", error.Template.c_str()).toStdString(), error.Arguments));
}

QString DescribeSettingsFileErrorText(const QString& fileName, const SettingsFileError& error)
{
    const QString reason = SettingsReasonText(error);
    const QString name = QString::fromStdString(PlainText(fileName.toStdString()));
    return error.Line > 0 ? QStringLiteral("%1:%2: %3").arg(name).arg(error.Line).arg(reason)
                          : QStringLiteral("%1: %2").arg(name, reason);
}

}  // namespace kx
