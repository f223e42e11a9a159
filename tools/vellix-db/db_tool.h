#pragma once
// vellix-db: checks, lists and normalizes phrase database files from the command line. The
// verbs are platform-free; file access goes through DbToolFiles, which reads and writes
// with the program's own rules on Windows and with plain streams elsewhere.

#include <string>
#include <vector>

#include "phrases/phrase_database.h"
#include "phrases/phrase_database_file.h"

namespace vellix {

class DbToolFiles {
 public:
  virtual ~DbToolFiles() = default;
  virtual FileReadStatus Read(const std::u16string& path, std::string& bytes) = 0;
  // Writes the collection exactly as the program saves it; true when written.
  virtual bool Save(const PhraseDatabase& collection, const std::u16string& path) = 0;
  // Writes bytes as the whole file (through a temporary file that replaces it); true when
  // written.
  virtual bool WriteFile(const std::u16string& path, std::string_view bytes) = 0;
  // Whether something (a file or a folder) exists at path.
  virtual bool Exists(const std::u16string& path) = 0;
};

struct DbToolOutput {
  std::string out;
  std::string err;
};

// The upper-case form of one UTF-16 unit as the engine compares keystrokes: the invariant
// locale's on Windows, the C library's simple mapping elsewhere. Each main defines it.
char16_t ToolUpperCase(char16_t unit);

// Runs the tool with the arguments after the program name; the exit code: 0 done, 1 the
// file could not be read, had no root or could not be written, 2 usage error.
int RunDbTool(const std::vector<std::u16string>& arguments, DbToolFiles& files, DbToolOutput& output);

}  // namespace vellix
