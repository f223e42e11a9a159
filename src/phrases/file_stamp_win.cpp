#include <windows.h>

#include "base/wide.h"
#include "phrases/file_stamp.h"

namespace vellix {

FileStamp ReadFileStamp(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(AsWide(path.c_str()), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return {};
  }
  FileStamp stamp;
  stamp.exists = true;
  stamp.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.lastWrite = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return stamp;
}

}  // namespace vellix
