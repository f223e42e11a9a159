#pragma once
// The command-line keys of the program: five flags, each set by a parameter that begins
// with "/" or "-" and names the key in any case. Other parameters are ignored.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vellix {

class CommandLineKeys {
 public:
  static constexpr uint32_t kExit = 1;
  static constexpr uint32_t kAutoload = 2;
  static constexpr uint32_t kNoAutoload = 4;
  static constexpr uint32_t kEdit = 8;
  static constexpr uint32_t kHelp = 16;

  // One parameter as the shell splits them; isSwitch when it began with "/" or "-" (param
  // is then the text after that character). isLast is accepted for the caller's loop.
  void ParseParam(std::u16string_view param, bool isSwitch, bool isLast);
  // A whole parameter as typed, switch character included.
  void ParseArgument(std::u16string_view argument, bool isLast);

  bool Exit() const { return (flags_ & kExit) != 0; }
  bool Autoload() const { return (flags_ & kAutoload) != 0; }
  bool NoAutoload() const { return (flags_ & kNoAutoload) != 0; }
  bool Edit() const { return (flags_ & kEdit) != 0; }
  bool Help() const { return (flags_ & kHelp) != 0; }
  uint32_t Flags() const { return flags_; }

  // The flag of a key name (case ignored), 0 for an unknown name.
  static uint32_t KeyFlag(std::u16string_view name);

 private:
  uint32_t flags_ = 0;
};

// The text of the key list box: string 35 + "\n\n", then one line per key of the help
// table: "/" + key + "    - " + its string + "\n". lookup gives a string-table text.
std::u16string KeyListText(const std::function<std::u16string(uint32_t id)>& lookup);

}  // namespace vellix
