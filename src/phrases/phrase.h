#pragma once
// One phrase: the text Vellix types, the keystrokes (abbreviations) that trigger it and the
// options that say how it is typed. Field names are those of the database file.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "base/system_time.h"

namespace vellix {

// Keystroke or file name -> enabled flag (1 or 0). std::map orders the keys by their UTF-16
// code units, so "BR" sorts before "br" and a string before its own extensions.
using FlagMap = std::map<std::u16string, int>;

// Values of the UseWithList field.
inline constexpr int32_t kUseIncludeList = 0;
inline constexpr int32_t kUseExcludeList = 1;
inline constexpr int32_t kNotUse = 2;

// True when a and b are equal, with only the ASCII letters A-Z/a-z folded when
// caseSensitive is false.
bool KeystrokesEqual(std::u16string_view a, std::u16string_view b, bool caseSensitive);

class Phrase {
 public:
  Phrase();
  Phrase(const Phrase&) = delete;
  Phrase& operator=(const Phrase&) = delete;

  // Whether the phrase is written when its collection is saved.
  virtual bool IsSavable() const { return true; }
  virtual ~Phrase();

  // A deep copy of every field, DateCreated included (the copy keeps the source's date, so
  // that editing a collection does not rewrite the creation time of every phrase).
  std::unique_ptr<Phrase> Clone() const;

  struct KeystrokeCount {
    int visited = 0;
    int enabled = 0;
  };
  // Counts the keystrokes; with stopAtFirstEnabled the walk ends right after the first
  // enabled one.
  KeystrokeCount CountKeystrokes(bool stopAtFirstEnabled) const;
  bool HasEnabledKeystroke() const;
  // True when an enabled keystroke equals text (see KeystrokesEqual).
  bool MatchesKeystroke(std::u16string_view text, bool caseSensitive) const;

  uint32_t Id() const { return id_; }
  void SetId(uint32_t id) { id_ = id; }
  const std::u16string& Word() const { return word_; }
  void SetWord(std::u16string word) { word_ = std::move(word); }
  const FlagMap& Prefixes() const { return prefixes_; }
  FlagMap& Prefixes() { return prefixes_; }
  int32_t CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(int32_t value) { caseSensitive_ = value; }
  int32_t AddOrReplace() const { return addOrReplace_; }
  void SetAddOrReplace(int32_t value) { addOrReplace_ = value; }
  int32_t LeftAfter() const { return leftAfter_; }
  void SetLeftAfter(int32_t value) { leftAfter_ = value; }
  int32_t CountUsage() const { return countUsage_; }
  void SetCountUsage(int32_t value) { countUsage_ = value; }
  int32_t Enabled() const { return enabled_; }
  void SetEnabled(int32_t value) { enabled_ = value; }
  int32_t UseWithList() const { return useWithList_; }
  void SetUseWithList(int32_t value) { useWithList_ = value; }
  const FlagMap& Include() const { return include_; }
  FlagMap& Include() { return include_; }
  const FlagMap& Exclude() const { return exclude_; }
  FlagMap& Exclude() { return exclude_; }
  const SystemTime& DateCreated() const { return dateCreated_; }
  void SetDateCreated(const SystemTime& value) { dateCreated_ = value; }

 private:
  uint32_t id_ = 0;
  std::u16string word_;
  FlagMap prefixes_;
  int32_t caseSensitive_ = 1;
  int32_t addOrReplace_ = 1;
  int32_t leftAfter_ = 0;
  int32_t countUsage_ = 0;
  int32_t enabled_ = 1;
  int32_t useWithList_ = kNotUse;
  FlagMap include_;
  FlagMap exclude_;
  SystemTime dateCreated_;
};

}  // namespace vellix
