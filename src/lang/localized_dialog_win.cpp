#include "lang/localized_dialog_win.h"

#include "base/wide.h"
#include "lang/language_keys.h"
#include "lang/language_win.h"

namespace vellix {

std::u16string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(size_t(length) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), length + 1)));
  return ToU16(text);
}

LocalizedDialog::LocalizedDialog(int template_id)
    : Dialog(template_id), section_(u"Dialog_" + StringKey(uint32_t(template_id))) {}

void LocalizedDialog::TranslateCaption() {
  if (Language* language = Language::Current()) language->TranslateCaption(hwnd(), section_, EnglishCaption());
}

bool LocalizedDialog::HasCaption() const {
  return (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

const std::u16string& LocalizedDialog::EnglishText(HWND control) {
  auto found = english_.find(control);
  if (found == english_.end()) found = english_.emplace(control, WindowText(control)).first;
  return found->second;
}

const std::u16string& LocalizedDialog::EnglishCaption() {
  if (!caption_known_) {
    english_caption_ = WindowText(hwnd());
    caption_known_ = true;
  }
  return english_caption_;
}

bool LocalizedDialog::OnInitDialog() {
  vellix::TranslateDialog(*this);
  return true;
}

}  // namespace vellix
