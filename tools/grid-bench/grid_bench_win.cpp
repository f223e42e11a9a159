// Prints how long the phrase grid takes for the editor's heavy steps with many rows: filling
// it with redrawing suspended (as after a load), selecting and scrolling to the last row,
// painting the visible rows, finding a row by its datum, and clearing it. Each step runs
// five times; the figures of every run and their median are printed.
//
//   grid-bench.exe [rows]     (default 10000)

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "controls/phrase_grid_win.h"

namespace {

using vellix::CellKind;
using vellix::PhraseGrid;

double NowMs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Figures {
  std::vector<double> fill, select, paint, find, clear;
};

void Print(const char* name, std::vector<double> values) {
  std::printf("%-28s", name);
  for (double v : values) std::printf(" %9.2f", v);
  std::sort(values.begin(), values.end());
  std::printf("   median %9.2f ms\n", values[values.size() / 2]);
}

void Run(PhraseGrid& grid, HWND list, int rows, Figures& figures) {
  double start = NowMs();
  grid.SuspendRedraw();
  for (int i = 0; i < rows; ++i) {
    const int row = grid.InsertRow(static_cast<uint32_t>(i + 1));
    grid.SetCheck(row, 0, i % 7 != 0);
    grid.SetText(row, 0, u"A phrase of an ordinary length, number " + std::u16string(1, char16_t(u'0' + i % 10)));
    grid.SetCheck(row, 1, i % 2 != 0);
    grid.SetText(row, 1, i % 2 ? u"Yes" : u"No");
    grid.SetChoice(row, 2, i % 2);
    grid.SetText(row, 3, u"0");
  }
  grid.ResumeRedraw();
  figures.fill.push_back(NowMs() - start);

  start = NowMs();
  grid.SelectRow(rows - 1);
  figures.select.push_back(NowMs() - start);

  start = NowMs();
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  figures.paint.push_back(NowMs() - start);

  start = NowMs();
  for (int i = 0; i < 100; ++i) grid.FindRow(static_cast<uint32_t>(rows));
  figures.find.push_back((NowMs() - start) / 100);

  start = NowMs();
  grid.SuspendRedraw();
  grid.RemoveAllRows();
  grid.ResumeRedraw();
  figures.clear.push_back(NowMs() - start);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rows = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10000;
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  HWND host = CreateWindowExW(0, L"STATIC", L"grid bench", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_OWNERDATA, 10, 10,
                              600, 440,
                              host, reinterpret_cast<HMENU>(100), GetModuleHandleW(nullptr), nullptr);
  PhraseGrid grid;
  if (!host || !list || !grid.Attach(list)) {
    std::fprintf(stderr, "grid-bench: cannot create the list (is there a display?)\n");
    return 1;
  }
  grid.SetColumns({{u"Phrase", 300, LVCFMT_LEFT, CellKind::CheckText, {}},
                   {u"Case Sensitive", 100, LVCFMT_LEFT, CellKind::CheckFixedText, {}},
                   {u"Action", 100, LVCFMT_LEFT, CellKind::Choice, {u"Add", u"Replace"}},
                   {u"Usage Count", 80, LVCFMT_CENTER, CellKind::ReadOnly, {}}});
  Figures figures;
  for (int run = 0; run < 5; ++run) Run(grid, list, rows, figures);
  std::printf("phrase grid, %d rows (ms per run)\n", rows);
  Print("fill, redrawing suspended", figures.fill);
  Print("select and scroll to last", figures.select);
  Print("paint visible rows", figures.paint);
  Print("find last row by datum", figures.find);
  Print("clear", figures.clear);
  DestroyWindow(host);
  return 0;
}
