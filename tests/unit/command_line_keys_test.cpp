#include "services/command_line_keys.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "services/instance_events.h"

namespace vellix {
namespace {

CommandLineKeys Parse(std::initializer_list<std::u16string_view> arguments) {
  CommandLineKeys keys;
  size_t index = 0;
  for (std::u16string_view argument : arguments) {
    keys.ParseArgument(argument, ++index == arguments.size());
  }
  return keys;
}

TEST(CommandLineKeysTest, EachSpellingOfAKeySetsItsFlag) {
  struct Case {
    std::u16string_view argument;
    uint32_t flags;
  };
  const Case cases[] = {
      {u"/EXIT", CommandLineKeys::kExit},
      {u"-exit", CommandLineKeys::kExit},
      {u"/Exit", CommandLineKeys::kExit},
      {u"/autoload", CommandLineKeys::kAutoload},
      {u"-NoAutoLoad", CommandLineKeys::kNoAutoload},
      {u"/edit", CommandLineKeys::kEdit},
      {u"/?", CommandLineKeys::kHelp},
      {u"-?", CommandLineKeys::kHelp},
      // The invariant lower-case of the capital I with dot above is a plain i.
      {u"/EX\u0130T", CommandLineKeys::kExit},
      {u"/ED\u0130T", CommandLineKeys::kEdit},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Parse({c.argument}).Flags(), c.flags)
        << std::string(c.argument.begin(), c.argument.end());
  }
}

TEST(CommandLineKeysTest, ParametersThatAreNotKnownKeysAreIgnored) {
  struct Case {
    std::u16string_view argument;
  };
  const Case cases[] = {
      {u"exit"},       // no switch character
      {u"edit"},
      {u"/exi"},       // a prefix is not the key
      {u"/exits"},
      {u"/"},
      {u"-"},
      {u""},
      {u"//exit"},     // only one switch character is taken off
      {u"/unknown"},
      {u"/ex\u0131t"},  // the dotless i stays what it is
      {u"/\uFF45xit"},  // a full-width e is not an e
      {u"C:\\data\\Database.xml"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Parse({c.argument}).Flags(), 0u) << std::string(c.argument.begin(), c.argument.end());
  }
}

TEST(CommandLineKeysTest, SeveralKeysCombineAndUnknownOnesBetweenThemDoNotMatter) {
  const CommandLineKeys keys = Parse({u"/noautoload", u"file.txt", u"/bogus", u"-EXIT"});
  EXPECT_TRUE(keys.NoAutoload());
  EXPECT_TRUE(keys.Exit());
  EXPECT_FALSE(keys.Edit());
  EXPECT_FALSE(keys.Help());
  EXPECT_FALSE(keys.Autoload());

  const CommandLineKeys all = Parse({u"/exit", u"/autoload", u"/noautoload", u"/edit", u"/?"});
  EXPECT_EQ(all.Flags(), 31u);
}

TEST(CommandLineKeysTest, KeyListHoldsTheHelpRowsInKeyOrderWithoutAutoload) {
  const std::u16string text = KeyListText([](uint32_t id) {
    switch (id) {
      case 35: return std::u16string(u"Command Line Keys");
      case 34: return std::u16string(u"Show information about command line keys");
      case 33: return std::u16string(u"Edit phrases");
      case 31: return std::u16string(u"Done running instance of Vellix");
      case 32: return std::u16string(u"Disable setting \"Start with Windows\"");
      default: return std::u16string(u"?unexpected?");
    }
  });
  EXPECT_EQ(text,
            u"Command Line Keys\n\n"
            u"/?    - Show information about command line keys\n"
            u"/edit    - Edit phrases\n"
            u"/exit    - Done running instance of Vellix\n"
            u"/noautoload    - Disable setting \"Start with Windows\"\n");
}

TEST(InstanceEventNameTest, RunsPrefixProductAndSuffixTogether) {
  EXPECT_EQ(InstanceEventName(kInstanceEventSuffix), u"Local\\VellixEvent_OnlyOneInstance");
  EXPECT_EQ(InstanceEventName(kExitEventSuffix), u"Local\\Vellix_Exit");
  EXPECT_EQ(InstanceEventName(u"My Product", kEditEventSuffix), u"Local\\My_Product_Edit");
}

}  // namespace
}  // namespace vellix
