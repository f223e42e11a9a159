#pragma once
// The code pages that the clipboard's 8-bit text detection accepts, and the choice among
// the detector's answers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vellix {

struct CharsetRow {
  std::u16string_view name;
  uint32_t codePage;
};

// 119 rows in lookup order; some code pages appear under more than one name.
std::span<const CharsetRow> CharsetTable();
// The first row with codePage, or nullptr.
const CharsetRow* FindCharset(uint32_t codePage);

// One answer of the detector.
struct DetectedEncoding {
  uint32_t codePage = 0;
  int32_t docPercent = 0;
  int32_t confidence = 0;
};

// The answer with the greatest score (confidence x document percentage, or confidence
// alone when the percentage is 0), earliest on a tie, only with a score above 0, and only
// when its code page is in the table.
const CharsetRow* ChooseDetectedCharset(std::span<const DetectedEncoding> answers);

}  // namespace vellix
