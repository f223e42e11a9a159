#pragma once
// The Windows version the program runs on, for the log's start record.

#include <cstdint>
#include <string>
#include <string_view>

namespace vellix {

struct WindowsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  bool ntPlatform = true;   // false for Windows 95, 98 and ME
  bool workstation = true;  // product type workstation
  std::u16string servicePack;
};

// The name of a Windows version: "Windows 10", "Windows Server 2008 R2", "Unknown Windows"...
std::u16string WindowsName(const WindowsVersion& version);
// Name, " 64x" or " 32x", " build N" and the service-pack text (up to 99 characters).
std::u16string FormatSystemDescription(const WindowsVersion& version, bool wow64);

// Computed on the first call, then kept for the life of the process (Windows build).
std::u16string GetSystemDescription();
// How often the system was asked (tests check that it is once).
int SystemDescriptionQueries();

}  // namespace vellix
