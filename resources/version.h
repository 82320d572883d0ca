// The version record shown to the desktop and the About window.
#pragma once

namespace version {
inline constexpr const char* kProductName = "Taloma";
inline constexpr const char* kVersion = "2.00";
}  // namespace version
