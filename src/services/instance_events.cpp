#include "services/instance_events.h"

#include "services/program_title.h"

namespace vellix {

std::u16string InstanceEventName(std::u16string_view productName, std::u16string_view suffix) {
  std::u16string name = u"Local\\";
  for (char16_t c : productName) name += (c == u' ') ? u'_' : c;
  name += suffix;
  return name;
}

std::u16string InstanceEventName(std::u16string_view suffix) {
  return InstanceEventName(kProductName, suffix);
}

}  // namespace vellix
