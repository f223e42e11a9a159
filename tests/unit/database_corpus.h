#pragma once
// The seed corpus of the database fuzzer (fuzz/corpus/database), compiled in.

#include <string_view>
#include <vector>

namespace vellix::testing {

struct CorpusFile {
  std::string_view name;
  std::string_view bytes;
};

extern const std::vector<CorpusFile> kDatabaseCorpus;

}  // namespace vellix::testing
