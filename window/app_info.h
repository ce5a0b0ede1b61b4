// How the program presents itself: in About, on the command line and (by hand, kept
// equal by the packaging checks) in the desktop metadata.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace kx {

inline constexpr char ApplicationDisplayName[] = QT_TRANSLATE_NOOP("Application", "KX5170 configuration utility");
inline constexpr char ApplicationVersion[] = "1.01";
inline constexpr char ApplicationDescription[] = QT_TRANSLATE_NOOP("Application", "KX5170 controller configuration utility");
inline constexpr char ApplicationLicence[] = "MIT";
// kx5170-config-demo's description on its command line.
inline constexpr char DemoDescription[] =
    QT_TRANSLATE_NOOP("Application", "KX5170 controller configuration utility, on a simulated board for trying it out");

// One of the texts above in the user's language, for a person to read. The program's
// name as the system knows it (settings, desktop file) stays the English one.
inline QString ApplicationText(const char* text)
{
    return QCoreApplication::translate("Application", text);
}

}  // namespace kx
