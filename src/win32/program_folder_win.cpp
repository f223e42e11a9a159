#include "win32/program_folder.h"

#include <windows.h>

#include "base/wide.h"

namespace vellix {

std::u16string ProgramFile() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return ToU16(path);
    }
    path.resize(path.size() * 2);  // the path was cut; try again with more room
  }
}

std::u16string ProgramFolder() {
  std::u16string path = ProgramFile();
  const size_t slash = path.find_last_of(u"\\/");
  path.resize(slash == std::u16string::npos ? 0 : slash + 1);
  if (path.empty() || path.back() != u'\\') path += u'\\';
  return path;
}

}  // namespace vellix
