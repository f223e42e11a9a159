#include "services/system_description.h"

#include "base/number_text.h"

#include <string>

namespace vellix {
namespace {

const char16_t* WorkstationOr(const WindowsVersion& v, const char16_t* workstation,
                              const char16_t* server) {
  return v.workstation ? workstation : server;
}

}  // namespace

std::u16string WindowsName(const WindowsVersion& v) {
  switch (v.major) {
    case 3:
      return u"Windows NT 3.51";
    case 4:
      if (v.minor == 0) return v.ntPlatform ? u"Windows NT 4.0" : u"Windows 95";
      if (v.minor == 10) return u"Windows 98";
      if (v.minor == 90) return u"Windows ME";
      break;
    case 5:
      if (v.minor == 0) return u"Windows 2000";
      if (v.minor == 1) return u"Windows XP";
      if (v.minor == 2) return u"Windows Server 2003";
      break;
    case 6:
      if (v.minor == 0) return WorkstationOr(v, u"Windows Vista", u"Windows Server 2008");
      if (v.minor == 1) return WorkstationOr(v, u"Windows 7", u"Windows Server 2008 R2");
      if (v.minor == 2) return WorkstationOr(v, u"Windows 8", u"Windows Server 2012");
      if (v.minor == 3) return WorkstationOr(v, u"Windows 8.1", u"Windows Server 2012 R2");
      break;
    case 10:
      return WorkstationOr(v, u"Windows 10", u"Windows Server 2016");
  }
  return u"Unknown Windows";
}

std::u16string FormatSystemDescription(const WindowsVersion& v, bool wow64) {
  const uint32_t build = v.ntPlatform ? v.build : (v.build & 0xFFFF);
  std::u16string text = WindowsName(v);
  text += wow64 ? u" 64x" : u" 32x";
  text += u" build " + Decimal(build) + u" ";
  text += v.servicePack.substr(0, 99);
  return text;
}

}  // namespace vellix
