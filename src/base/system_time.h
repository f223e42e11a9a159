#pragma once
// Calendar time in the layout of the Windows SYSTEMTIME record (eight 16-bit fields).

#include <cstdint>

namespace vellix {

struct SystemTime {
  uint16_t year = 0;
  uint16_t month = 0;
  uint16_t dayOfWeek = 0;
  uint16_t day = 0;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t milliseconds = 0;

  friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

// The current UTC time, from the standard clock (no platform call).
SystemTime CurrentUtcTime();

}  // namespace vellix
