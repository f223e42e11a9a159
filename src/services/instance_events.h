#pragma once
// Names of the named events through which instances of one user session talk.
#include <string>
#include <string_view>

namespace vellix {

// Its existence means an instance runs; set when that instance shuts down.
inline constexpr std::u16string_view kInstanceEventSuffix = u"Event_OnlyOneInstance";
inline constexpr std::u16string_view kEditEventSuffix = u"_Edit";
inline constexpr std::u16string_view kExitEventSuffix = u"_Exit";
inline constexpr std::u16string_view kSecondStartedEventSuffix = u"_SecondStarted";
inline constexpr std::u16string_view kWaitAutoLoadEventSuffix = u"_WaitAutoLoad";

// "Local\" + product name with blanks as "_" + suffix, nothing in between.
std::u16string InstanceEventName(std::u16string_view productName, std::u16string_view suffix);
std::u16string InstanceEventName(std::u16string_view suffix);

}  // namespace vellix
