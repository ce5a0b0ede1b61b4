// How the program presents itself: in About, on the command line and (by hand, kept
// equal by the packaging checks) in the desktop metadata.
#pragma once

namespace kx {

inline constexpr char ApplicationDisplayName[] = "KX5170 configuration utility";
inline constexpr char ApplicationVersion[] = "1.01";
inline constexpr char ApplicationDescription[] = "KX5170 controller configuration utility";
inline constexpr char ApplicationLicence[] = "MIT";

}  // namespace kx
