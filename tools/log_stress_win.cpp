// Test helper: appends records to a log file through LogWriter, as an instance of the
// program would. Usage: log_stress <log path> <count> <tag> [<characters per record>]
// Each record's text is "<tag> <n> " followed by as many letters as asked for.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "base/wide.h"
#include "services/log_writer.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  const int count = _wtoi(argv[2]);
  const std::wstring tag = argv[3];
  const int width = argc > 4 ? _wtoi(argv[4]) : 200;
  vellix::LogWriter log;
  if (!log.Open(vellix::AsU16(argv[1]))) return 1;
  for (int i = 0; i < count; ++i) {
    std::wstring text = tag + L" " + std::to_wstring(i) + L" ";
    text.append(size_t(width), wchar_t(L'a' + i % 26));
    log.Write(vellix::ToU16(text));
  }
  log.Flush();
  return 0;
}
