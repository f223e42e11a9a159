#pragma once
// Names of the named events through which instances of one user session talk (their
// suffixes are in base/messages.h).
#include <string>
#include <string_view>

#include "base/messages.h"

namespace vellix {

// "Local\" + product name with blanks as "_" + suffix, nothing in between.
std::u16string InstanceEventName(std::u16string_view productName, std::u16string_view suffix);
std::u16string InstanceEventName(std::u16string_view suffix);

}  // namespace vellix
