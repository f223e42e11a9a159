#include "engine/dead_keys.h"

#include <algorithm>

namespace vellix {

char16_t CombiningMarkFor(char16_t spacing) noexcept {
  switch (spacing) {
    case u'`': return 0x0300;       // grave
    case 0x00B4:                    // acute accent
    case u'\'': return 0x0301;      // the apostrophe dead key of international layouts
    case u'^': return 0x0302;       // circumflex
    case u'~': return 0x0303;       // tilde
    case 0x00AF: return 0x0304;     // macron
    case 0x02D8: return 0x0306;     // breve
    case 0x02D9: return 0x0307;     // dot above
    case 0x00A8:                    // diaeresis
    case u'"': return 0x0308;       // the quotation mark dead key of international layouts
    case 0x02DA:                    // ring above
    case 0x00B0: return 0x030A;     // degree sign, the ring key of some layouts
    case 0x02DD: return 0x030B;     // double acute
    case 0x02C7: return 0x030C;     // caron
    case 0x00B8:                    // cedilla
    case u',': return 0x0327;
    case 0x02DB: return 0x0328;     // ogonek
    default: return 0;
  }
}

size_t ComposeAfterDeadKey(char16_t dead, std::u16string_view text, Precompose precompose,
                           char16_t* out, size_t capacity) noexcept {
  if (capacity == 0) return 0;
  if (text == u" ") {
    out[0] = dead;
    return 1;
  }
  const char16_t mark = CombiningMarkFor(dead);
  if (mark != 0 && text.size() == 1 && precompose != nullptr) {
    if (const char16_t composed = precompose(text[0], mark); composed != 0) {
      out[0] = composed;
      return 1;
    }
  }
  out[0] = dead;
  const size_t n = std::min(text.size(), capacity - 1);
  std::copy_n(text.data(), n, out + 1);
  return n + 1;
}

}  // namespace vellix
