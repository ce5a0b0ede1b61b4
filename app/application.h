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
}

}  // namespace kx
