#include "base/system_time.h"

#include <chrono>

namespace vellix {

SystemTime CurrentUtcTime() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const auto days = floor<std::chrono::days>(now);
  const year_month_day date{days};
  const weekday wd{days};
  const hh_mm_ss<milliseconds> clock{duration_cast<milliseconds>(now - days)};
  SystemTime t;
  t.year = static_cast<uint16_t>(int(date.year()));
  t.month = static_cast<uint16_t>(unsigned(date.month()));
  t.day = static_cast<uint16_t>(unsigned(date.day()));
  t.dayOfWeek = static_cast<uint16_t>(wd.c_encoding());
  t.hour = static_cast<uint16_t>(clock.hours().count());
  t.minute = static_cast<uint16_t>(clock.minutes().count());
  t.second = static_cast<uint16_t>(clock.seconds().count());
  t.milliseconds = static_cast<uint16_t>(clock.subseconds().count());
  return t;
}

}  // namespace vellix
