// Code-page detection of 8-bit clipboard text through the system's multi-language service.

#include <windows.h>

#include <mlang.h>
#include <objbase.h>

#include "services/charset_table.h"
#include "services/clipboard_win.h"

namespace vellix {
namespace {

// {275C23E2-3747-11D0-9FEA-00AA003F8646} and {DCCFC164-2B38-11D2-B7EC-00C04F8F5D9A},
// spelled out so that no import library has to provide them.
constexpr CLSID kMultiLanguageClass = {0x275C23E2, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};
constexpr IID kMultiLanguage2Interface = {0xDCCFC164, 0x2B38, 0x11D2, {0xB7, 0xEC, 0x00, 0xC0, 0x4F, 0x8F, 0x5D, 0x9A}};
constexpr DWORD kHtmlDetection = 8;
constexpr int kMaxAnswers = 5;

// COM for the duration of one detection when the calling thread has none yet.
class ScopedCom {
 public:
  ScopedCom() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ScopedCom() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;

 private:
  HRESULT result_;
};

}  // namespace

std::optional<uint32_t> DetectCodePage(std::string_view bytes, std::u16string* charsetName) {
  if (bytes.empty() || bytes.size() > INT_MAX) return std::nullopt;
  ScopedCom com;
  IMultiLanguage2* service = nullptr;
  if (FAILED(CoCreateInstance(kMultiLanguageClass, nullptr, CLSCTX_INPROC_SERVER, kMultiLanguage2Interface,
                              reinterpret_cast<void**>(&service))) ||
      !service)
    return std::nullopt;

  std::string copy(bytes);  // the service takes a writable buffer
  INT length = INT(copy.size());
  DetectEncodingInfo answers[kMaxAnswers] = {};
  INT count = kMaxAnswers;
  std::optional<uint32_t> codePage;
  if (SUCCEEDED(service->DetectInputCodepage(kHtmlDetection, 0, copy.data(), &length, answers, &count))) {
    DetectedEncoding detected[kMaxAnswers];
    const int n = count < 0 ? 0 : (count > kMaxAnswers ? kMaxAnswers : count);
    for (int i = 0; i < n; ++i)
      detected[i] = {answers[i].nCodePage, answers[i].nDocPercent, answers[i].nConfidence};
    if (const CharsetRow* row = ChooseDetectedCharset(std::span(detected, size_t(n)))) {
      codePage = row->codePage;
      if (charsetName) *charsetName = std::u16string(row->name);
    }
  }
  service->Release();
  return codePage;
}

}  // namespace vellix
