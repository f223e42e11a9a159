#include "about/about_rows.h"

#include "base/number_text.h"
#include "base/utf.h"
#include "resource.h"
#include "services/statistics.h"
#include "services/web_links.h"

namespace vellix {
namespace {

constexpr std::u16string_view kEllipsis = u"\u2026";

AboutRow Row(AboutRowKind kind, std::u16string text, std::u16string_view target = {},
             std::u16string_view tooltip = {}) {
  return AboutRow{kind, std::move(text), std::u16string(target), std::u16string(tooltip)};
}

// A web link inside a section: the address is both target and tooltip.
AboutRow WebRow(std::u16string text, std::u16string_view address) {
  return Row(AboutRowKind::kIndentedLink, std::move(text), address, address);
}

struct ProductRow {
  uint32_t name;     // "name: one-line description"
  uint32_t tooltip;  // the longer description
  int page;          // index of ProductPageAddress
};
constexpr ProductRow kProducts[] = {
    {IDS_PRODUCT_CLIP, IDS_PRODUCT_CLIP_TIP, kClipProductPage},
    {IDS_PRODUCT_NOTES, IDS_PRODUCT_NOTES_TIP, kNotesProductPage},
    {IDS_PRODUCT_TIMER, IDS_PRODUCT_TIMER_TIP, kTimerProductPage},
};

}  // namespace

std::vector<AboutRow> BuildAboutRows(const AboutInputs& in, const AboutStringLookup& lookup) {
  std::vector<AboutRow> rows;
  rows.push_back(Row(AboutRowKind::kPlain, in.longTitle + u" [Admin privilegies: " +
                                               (in.administrator ? u"Yes" : u"No") + u"]"));
  rows.push_back(Row(AboutRowKind::kPlain, lookup(IDS_RELEASED) + u": " + in.buildStamp));
  rows.push_back(Row(AboutRowKind::kPlain, in.legalNotice));
  rows.push_back(Row(AboutRowKind::kLink, lookup(IDS_COMMAND_LINE_KEYS), kCommandLineKeysTarget,
                     lookup(IDS_COMMAND_LINE_HELP)));

  rows.push_back(Row(AboutRowKind::kHeader, u"WWW"));
  rows.push_back(WebRow(lookup(IDS_HOME_PAGE), HomePageAddress()));
  rows.push_back(WebRow(lookup(IDS_TECHNICAL_SUPPORT), SupportAddress()));
  rows.push_back(WebRow(lookup(ID_VISIT_FORUM), ForumAddress()));
  rows.push_back(WebRow(lookup(IDS_NEWS_ENGLISH), NewsFeedAddress(false)));
  rows.push_back(WebRow(lookup(IDS_NEWS_RUSSIAN), NewsFeedAddress(true)));
  rows.push_back(WebRow(lookup(IDS_USER_GROUP), SocialPageAddress()));

  rows.push_back(Row(AboutRowKind::kHeader, lookup(IDS_OTHER_PRODUCTS)));
  for (const ProductRow& product : kProducts) {
    rows.push_back(Row(AboutRowKind::kIndentedLink, lookup(product.name), ProductPageAddress(product.page),
                       lookup(product.tooltip)));
  }

  rows.push_back(Row(AboutRowKind::kHeader, lookup(IDS_CHARS_TYPED) + u": " + FormatDigitGroups(in.printedChars)));
  const std::u16string_view article = EncyclopediaAddress(in.russian);
  rows.push_back(Row(AboutRowKind::kIndentedLink,
                     FillNumber(lookup(IDS_ENCYCLOPEDIA_PAGES), in.printedChars / kCharsPerPage) +
                         std::u16string(kEllipsis),
                     article, article));
  return rows;
}

std::u16string AboutCopyText(const std::vector<AboutRow>& rows) {
  std::u16string text;
  for (const AboutRow& row : rows) {
    switch (row.kind) {
      case AboutRowKind::kHeader:
        text += row.text.empty() ? u"=======" : u"===" + row.text + u"===";
        break;
      case AboutRowKind::kIndentedLink:
        text += u"\t" + row.text;
        break;
      case AboutRowKind::kPlain:
      case AboutRowKind::kLink:
        text += row.text;
        break;
    }
    text += u"\r\n";
  }
  return text;
}

std::u16string FillNumber(std::u16string_view format, uint32_t number) {
  std::u16string text;
  bool filled = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size()) {
      if (format[i + 1] == u'%') {
        text += u'%';
        ++i;
        continue;
      }
      if (format[i + 1] == u'd' && !filled) {
        text += Decimal(number);
        filled = true;
        ++i;
        continue;
      }
    }
    text += format[i];
  }
  return text;
}

std::u16string FitInfoTip(std::u16string_view tip, size_t bufferSize) {
  if (bufferSize == 0) return {};
  const size_t room = bufferSize - 1;  // the terminator
  if (tip.size() <= room) return std::u16string(tip);
  if (room < kEllipsis.size()) return CutText(tip, room);
  return CutText(tip, room - kEllipsis.size()) + std::u16string(kEllipsis);
}

}  // namespace vellix
