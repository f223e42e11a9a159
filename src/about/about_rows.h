#pragma once
// The rows of the About dialog and the text its Copy button puts on the clipboard, built
// from plain inputs so that the order and wording hold for every language.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vellix {

enum class AboutRowKind {
  kPlain,         // text only
  kHeader,        // a section title, drawn green
  kIndentedLink,  // a link inside a section
  kLink,          // a link at the left edge
};

struct AboutRow {
  AboutRowKind kind = AboutRowKind::kPlain;
  std::u16string text;
  std::u16string target;   // empty: nothing to open
  std::u16string tooltip;  // empty: no info tip

  friend bool operator==(const AboutRow&, const AboutRow&) = default;
};

// The target of the command-line keys row: handled by the dialog, never opened.
inline constexpr std::u16string_view kCommandLineKeysTarget = u"#cmd_commandlinekeys";

struct AboutInputs {
  std::u16string longTitle;    // the long program title
  bool administrator = false;  // the process runs with administrator rights
  std::u16string buildStamp;
  std::u16string legalNotice;  // the version resource's rights notice
  uint32_t printedChars = 0;   // typed characters so far
  bool russian = false;        // a Russian language file is active
};

// The string-table text of an id in the current language.
using AboutStringLookup = std::function<std::u16string(uint32_t id)>;

// All rows, in the order the dialog shows them.
std::vector<AboutRow> BuildAboutRows(const AboutInputs& inputs, const AboutStringLookup& lookup);

// One line per row, each ended by "\r\n": indented rows begin with a tab, headers read
// "===text===" ("=======" when the text is empty), other rows their text.
std::u16string AboutCopyText(const std::vector<AboutRow>& rows);

// The format text with its first "%d" replaced by the number ("%%" reads "%"). A
// translated text may hold anything, so no printf-style formatting is done on it.
std::u16string FillNumber(std::u16string_view format, uint32_t number);

// The tip as it fits a buffer of bufferSize code units with the terminator: unchanged when
// it fits, else cut and ended with "…" (never splitting a surrogate pair).
std::u16string FitInfoTip(std::u16string_view tip, size_t bufferSize);

}  // namespace vellix
