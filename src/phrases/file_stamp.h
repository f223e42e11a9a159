#pragma once
// What tells one version of a file from another without reading it: its size and the time
// of its last write.

#include <cstdint>
#include <string>

namespace vellix {

// A file that does not exist (or cannot be asked) has exists false and the rest 0.
struct FileStamp {
  bool exists = false;
  uint64_t size = 0;
  uint64_t lastWrite = 0;  // in the system's units (100 ns on Windows)

  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

#if defined(_WIN32)
// The stamp of the file at path as the file system has it now.
FileStamp ReadFileStamp(const std::u16string& path);
#endif

}  // namespace vellix
