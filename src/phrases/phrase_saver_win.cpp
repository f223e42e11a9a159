// The process's phrase saver: it writes through DatabaseFileWriter, which replaces the
// database in one step through a temporary file.

#include "phrases/phrase_saver.h"

#include "base/wide.h"
#include "phrases/database_file_writer_win.h"

namespace vellix {

PhraseSaver& PhraseSaver::Instance() {
  static PhraseSaver saver([](const std::u16string& path, std::string_view text) {
    return DatabaseFileWriter(SystemFileOperations()).Write(ToWide(path), text);
  });
  return saver;
}

}  // namespace vellix
