// How the program presents itself.
#pragma once

namespace kx {

inline constexpr char ProductName[] = "KX5170 controller configuration utility";
inline constexpr char ApplicationTitle[] = "KX5170 configuration utility";
inline constexpr char ApplicationVersion[] = "1.01";

}  // namespace kx
