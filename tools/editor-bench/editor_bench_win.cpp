// Opens the phrase editor on a database of N phrases (default 10 000) and prints how long
// the opening takes until the list is filled (the dialog's initialisation, which loads the
// file and fills the list), and until the window has painted once, and how long paging
// down through the list takes. Prints figures only.
//
//   editor-bench.exe [phrases] [runs] [detail]
//
// With "detail" it also times the grid's row insertion and cell setters in the open editor.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "base/wide.h"
#include "editor/phrase_editor_win.h"
#include "phrases/phrase_database_file.h"
#include "services/settings.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::u16string WriteDatabase(int count) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"vellix_editor_bench.xml";
  vellix::PhraseDatabase db;
  for (int i = 0; i < count; ++i) {
    auto phrase = std::make_unique<vellix::Phrase>();
    phrase->SetWord(u"Phrase number " + vellix::ToU16(std::to_wstring(i)) + u" with a little text to show");
    phrase->Prefixes()[std::u16string(u"k").append(vellix::ToU16(std::to_wstring(i)))] = 1;
    phrase->SetEnabled(i % 10 != 0);
    db.Add(std::move(phrase));
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (vellix::PhraseDatabaseFile::Save(db, vellix::ToU16(path), nullptr, nullptr) != 1) return {};
  return vellix::ToU16(path);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Pages down through the open list, painting after each page as a user's scrolling would,
// and prints the median and the longest page.
void ReportScrolling(HWND list) {
  constexpr int kPages = 60;
  std::vector<double> pages;
  for (int i = 0; i < kPages; ++i) {
    LARGE_INTEGER start, done;
    QueryPerformanceCounter(&start);
    SendMessageW(list, WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(list);
    QueryPerformanceCounter(&done);
    pages.push_back(Milliseconds(start, done));
  }
  SendMessageW(list, WM_VSCROLL, SB_TOP, 0);
  std::sort(pages.begin(), pages.end());
  std::printf("scrolling %d pages down: median %.1f ms, longest %.1f ms per page\n", kPages, pages[kPages / 2],
              pages.back());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int count = argc > 1 ? _wtoi(argv[1]) : 10000;
  const int runs = argc > 2 ? _wtoi(argv[2]) : 3;
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  const std::u16string path = WriteDatabase(count);
  if (path.empty()) {
    std::fprintf(stderr, "cannot write the database\n");
    return 1;
  }
  vellix::Settings& settings = vellix::Settings::Instance();
  const std::u16string savedPath = settings.databasePath;
  settings.databasePath = path;
  settings.sounds = 0;
  std::printf("phrases %d\n", count);
  {
    vellix::PhraseDatabase loaded;
    LARGE_INTEGER start, done;
    QueryPerformanceCounter(&start);
    vellix::PhraseDatabaseFile::Load(loaded, path);
    QueryPerformanceCounter(&done);
    std::printf("loading the file alone: %.1f ms\n", Milliseconds(start, done));
  }
  for (int run = 0; run < runs; ++run) {
    vellix::PhraseDatabase working;
    vellix::PhraseEditor editor(working, u"", nullptr, false);
    LARGE_INTEGER start, filled, painted;
    QueryPerformanceCounter(&start);
    HWND window = editor.CreateModeless(nullptr);
    QueryPerformanceCounter(&filled);
    if (!window) return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    Pump();
    QueryPerformanceCounter(&painted);
    std::printf("run %d: rows %d, open to list filled %.1f ms, to first paint %.1f ms\n", run + 1,
                editor.grid().RowCount(), Milliseconds(start, filled), Milliseconds(start, painted));
    if (run == 0) ReportScrolling(editor.grid().hwnd());
    if (run == 0 && argc > 3) {  // where the time of filling goes
      vellix::PhraseGrid& grid = editor.grid();
      LARGE_INTEGER t0, t1, t2, t3;
      grid.SuspendRedraw();
      grid.RemoveAllRows();
      QueryPerformanceCounter(&t0);
      for (int i = 0; i < count; ++i) grid.InsertRow(i + 1);
      QueryPerformanceCounter(&t1);
      for (int i = 0; i < count; ++i) grid.SetText(i, 0, u"text");
      QueryPerformanceCounter(&t2);
      for (int i = 0; i < count; ++i) grid.SetCheck(i, 0, i % 2);
      QueryPerformanceCounter(&t3);
      grid.ResumeRedraw();
      std::printf("insert %.1f ms, set text %.1f ms, set check %.1f ms\n", Milliseconds(t0, t1),
                  Milliseconds(t1, t2), Milliseconds(t2, t3));
    }
    DestroyWindow(window);
    Pump();
  }
  settings.databasePath = savedPath;
  SetFileAttributesW(vellix::AsWide(path.c_str()), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(vellix::AsWide(path.c_str()));
  return 0;
}
