// What both programs do before their window opens.
#pragma once

#include "app_info.h"

#include <QApplication>

namespace kx {

inline void SetApplicationMetadata()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ApplicationVersion));
    QCoreApplication::setOrganizationName(QString::fromLatin1(ProductName));
    // Lets a desktop match the running window to its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kx5170.config"));
}

}  // namespace kx
