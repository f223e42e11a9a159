#include "phrases/phrase_xml_values.h"

#include <climits>

#include "phrases/phrase.h"

namespace vellix {
namespace {

constexpr std::string_view kListModes[] = {"UseIncludeList", "UseExcludeList", "NotUse"};

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string_view ListModeWord(int32_t mode) {
  return (mode >= 0 && mode < 3) ? kListModes[mode] : std::string_view();
}

std::optional<int32_t> ParseNumber(std::string_view value) {
  size_t i = 0;
  auto at = [&value](size_t k) { return k < value.size() ? value[k] : '\0'; };
  while (at(i) == ' ' || at(i) == '\t' || at(i) == '\n' || at(i) == '\r' || at(i) == '\v' ||
         at(i) == '\f') {
    ++i;
  }
  bool negative = false;
  if (at(i) == '+' || at(i) == '-') negative = value[i++] == '-';
  if (at(i) < '0' || at(i) > '9') return std::nullopt;
  int64_t number = 0;
  for (; at(i) >= '0' && at(i) <= '9'; ++i) {
    if (number <= int64_t(INT32_MAX) + 1) number = number * 10 + (value[i] - '0');
  }
  if (negative) number = -number;
  if (number > INT32_MAX) return INT32_MAX;
  if (number < INT32_MIN) return INT32_MIN;
  return int32_t(number);
}

int32_t ReadListMode(std::string_view value) {
  for (int32_t mode = 0; mode < 3; ++mode) {
    if (EqualsIgnoringAsciiCase(value, kListModes[mode])) return mode;
  }
  return kNotUse;
}

}  // namespace vellix
