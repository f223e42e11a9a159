// database-bench: how long Vellix takes to load and to save a large phrase database, and
// how much memory that needs. Times come from QueryPerformanceCounter, memory from the
// process's working set.
//
//   database-bench.exe DATABASE RUNS
//       loads DATABASE RUNS times (PhraseDatabaseFile::Load, the first one in fresh memory as
//       at start-up), then saves the collection to a copy beside DATABASE: RUNS times through
//       PhraseDatabaseFile::Save (the text in fresh memory, a temporary file, flushed, then
//       put in place) and RUNS times as the background saves after typed phrases do it
//       (PhraseSaver: the same writing, the text buffer kept from one save to the next), and
//       times the text of such a save alone. Prints the medians in milliseconds and the peak
//       working set after each part.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "base/wide.h"
#include "phrases/database_file_writer_win.h"
#include "phrases/phrase_database_file.h"
#include "phrases/phrase_saver.h"

namespace vellix {
namespace {

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Megabytes(size_t bytes) { return double(bytes) / (1024.0 * 1024.0); }

// The working set now and its peak so far.
PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

void PrintMemory(const wchar_t* when) {
  const PROCESS_MEMORY_COUNTERS counters = Memory();
  std::wprintf(L"  working set %ls: %.1f MB, peak so far %.1f MB\n", when,
               Megabytes(counters.WorkingSetSize), Megabytes(counters.PeakWorkingSetSize));
}

int Bench(const wchar_t* database, int runs) {
  const std::u16string path = AsU16(database);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(database, GetFileExInfoStandard, &data);
  std::wprintf(L"%ls: %.1f MB\n", database, Megabytes(size_t(data.nFileSizeLow) | (size_t(data.nFileSizeHigh) << 32)));
  PrintMemory(L"before");

  PhraseDatabase collection;
  std::vector<double> load;
  for (int run = 0; run < runs; ++run) {
    PhraseDatabase phrases;
    const double t = Now();
    if (!PhraseDatabaseFile::Load(phrases, path)) {
      std::fwprintf(stderr, L"cannot load %ls\n", database);
      return 1;
    }
    load.push_back(Now() - t);
    if (run == runs - 1) collection.TakeOver(phrases);
  }
  std::wprintf(L"load (%zu phrases): median %.1f ms, first %.1f ms\n", collection.Size(), Median(load),
               load.front());
  // The two parts of a load: reading the file's bytes and reading the phrases from them.
  std::vector<double> read, parse;
  for (int run = 0; run < runs; ++run) {
    std::string bytes;
    double t = Now();
    PhraseDatabaseFile::ReadFileBytes(path, bytes);
    read.push_back(Now() - t);
    PhraseDatabase phrases;
    t = Now();
    PhraseDatabaseFile::ParseFileBytes(phrases, bytes);
    parse.push_back(Now() - t);
  }
  std::wprintf(L"  of which reading the file %.1f ms, reading the phrases %.1f ms (medians)\n", Median(read),
               Median(parse));
  PrintMemory(L"after the loads");

  const std::u16string copy = path + u".bench-copy.xml";
  std::vector<double> save;
  for (int run = 0; run < runs; ++run) {
    const double t = Now();
    if (!PhraseDatabaseFile::Save(collection, copy, nullptr, nullptr)) {
      std::fwprintf(stderr, L"cannot save the copy\n");
      return 1;
    }
    save.push_back(Now() - t);
  }
  std::wprintf(L"save, text in fresh memory: median %.1f ms, first %.1f ms\n", Median(save), save.front());
  PrintMemory(L"after those saves");

  std::mutex lock;
  std::vector<double> background;
  {
    PhraseSaver saver([](const std::u16string& target, std::string_view text) {
      return DatabaseFileWriter(SystemFileOperations()).Write(ToWide(target), text);
    });
    for (int run = 0; run < runs; ++run) {
      const double t = Now();
      saver.SaveInBackground(collection, lock, copy);
      saver.Finish(std::chrono::minutes(1));
      background.push_back(Now() - t);
    }
  }
  std::wprintf(L"background save, buffer kept: median %.1f ms, first %.1f ms\n", Median(background),
               background.front());
  // The share of the text in it: the document written into a kept buffer, no file.
  std::string text;
  std::vector<double> serialize;
  for (int run = 0; run <= runs; ++run) {
    const double t = Now();
    PhraseDatabaseFile::SerializeInto(collection, text);
    if (run > 0) serialize.push_back(Now() - t);  // the first run takes the buffer's pages
  }
  std::wprintf(L"  of which the text (SerializeInto, buffer kept): median %.1f ms\n", Median(serialize));
  PrintMemory(L"after the background saves");
  SetFileAttributesW(AsWide(copy.c_str()), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(AsWide(copy.c_str()));
  return 0;
}

}  // namespace
}  // namespace vellix

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fwprintf(stderr, L"usage: database-bench DATABASE RUNS\n");
    return 2;
  }
  return vellix::Bench(argv[1], std::max(1, _wtoi(argv[2])));
}
