// The phrase editor's search box: the rows are filtered by the picker's search (every word
// of the query in a keystroke or the text, without regard to case), together with "Checked
// Only". Ctrl+F focuses the box, Escape there clears it, Enter and Down go to the rows.
// Only the rows are filtered: the working collection, and so what is saved, keeps every
// phrase.

#include "editor/phrase_editor_win.h"

#include <commctrl.h>

#include "base/boundary.h"
#include "base/wide.h"
#include "lang/language_win.h"
#include "picker/picker_window_win.h"
#include "resource.h"

namespace vellix {
namespace {

constexpr UINT_PTR kSearchSubclass = 1;

// The editor of this thread whose Ctrl+F the hook takes; one editor at a time.
HWND g_searchEditor = nullptr;
HWND g_searchBox = nullptr;

bool IsEmpty(HWND edit) { return GetWindowTextLengthW(edit) == 0; }

}  // namespace

void PhraseEditor::SetUpSearch() {
  searchBox_ = Item(IDC_EDITOR_SEARCH);
  if (!searchBox_) return;
  const std::u16string cue = GetLocalizedString(IDS_EDITOR_SEARCH_CUE);
  SendMessageW(searchBox_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(cue.c_str()));
  SetWindowSubclass(searchBox_, &PhraseEditor::SearchBoxProc, kSearchSubclass, reinterpret_cast<DWORD_PTR>(this));
  g_searchEditor = hwnd();
  g_searchBox = searchBox_;
  // A dialog's modal loop knows no accelerators: a hook of this thread sees Ctrl+F first.
  findHook_.reset(SetWindowsHookExW(WH_KEYBOARD, &PhraseEditor::FindKeyHook, nullptr, GetCurrentThreadId()));
}

LRESULT CALLBACK PhraseEditor::FindKeyHook(int code, WPARAM wparam, LPARAM lparam) noexcept {
  const bool keyDown = (static_cast<uint32_t>(lparam) & 0x80000000u) == 0;
  if (code == HC_ACTION && wparam == 'F' && keyDown && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0 &&
      g_searchEditor && IsWindow(g_searchBox) && GetActiveWindow() == g_searchEditor) {
    SetFocus(g_searchBox);
    SendMessageW(g_searchBox, EM_SETSEL, 0, -1);
    return 1;  // taken: the grid would start an edit with it
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK PhraseEditor::SearchBoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                             DWORD_PTR data) noexcept {
  try {
    auto* self = reinterpret_cast<PhraseEditor*>(data);
    switch (message) {
      case WM_GETDLGCODE: {
        // Escape clears a query before it may close the editor.
        const auto* keys = reinterpret_cast<const MSG*>(lparam);
        if (keys && keys->message == WM_KEYDOWN && keys->wParam == VK_ESCAPE && !IsEmpty(window)) {
          return DefSubclassProc(window, message, wparam, lparam) | DLGC_WANTMESSAGE;
        }
        break;
      }
      case WM_KEYDOWN:
        if (wparam == VK_ESCAPE && !IsEmpty(window)) {
          SetWindowTextW(window, L"");
          return 0;
        }
        if (wparam == VK_DOWN) {
          SetFocus(self->list_.grid().hwnd());
          return 0;
        }
        break;
      case WM_CHAR:
        if (wparam == VK_ESCAPE) return 0;  // no beep for the Escape taken above
        break;
      case WM_NCDESTROY:
        RemoveWindowSubclass(window, &PhraseEditor::SearchBoxProc, id);
        if (g_searchBox == window) {
          g_searchBox = nullptr;
          g_searchEditor = nullptr;
        }
        break;
      default:
        break;
    }
  } catch (...) {
    ReportCaughtException("editor search box");
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

std::u16string PhraseEditor::SearchQuery() const {
  if (!searchBox_) return {};
  const int length = GetWindowTextLengthW(searchBox_);
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(searchBox_, AsWide(text.data()), length + 1)));
  return text;
}

void PhraseEditor::PrepareSearch() {
  searchHits_.clear();
  const std::u16string query = SearchQuery();
  if (search_.Words(query).empty()) return;
  // Built again after a change or a refill for another reason (a load, Add, Delete,
  // Paste); while only the query changes, the index stays and a growing query searches
  // only the last hits.
  if (searchStale_ || !searchRefill_) {
    search_.Build(working_, u"", false, false);
    searchStale_ = false;
  }
  for (const SearchHit& hit : search_.Find(query)) {
    if (hit.id >= searchHits_.size()) searchHits_.resize(hit.id + 1, false);
    searchHits_[hit.id] = true;
  }
  // A query that finds nothing still hides every row.
  if (searchHits_.empty()) searchHits_.push_back(false);
}

bool PhraseEditor::PassesSearch(const Phrase& phrase, uint32_t selectId) {
  if (searchHits_.empty()) return true;  // no query
  if (phrase.Id() == selectId && selectId != 0 && !searchRefill_) return true;
  return phrase.Id() < searchHits_.size() && searchHits_[phrase.Id()];
}

void PhraseEditor::OnSearchChanged() {
  // A cell being edited has ended already: the search box took the focus from it.
  const PhraseGrid& grid = list_.grid();
  const int row = grid.SelectedRow();
  // The selected row is selected again when the query finds it, and hidden when not.
  searchRefill_ = true;
  FillList(row >= 0 ? grid.RowData(row) : 0);
  searchRefill_ = false;
  RefreshTitle();
}


}  // namespace vellix
