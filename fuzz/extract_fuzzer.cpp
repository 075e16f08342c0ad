// Treats the input as a container file: inspects it and, when it passes,
// extracts it into a folder of its own. Whatever the bytes, the extraction
// writes only below EXT_fuzz in that folder, leaves no temporary file, and
// every file it counts as written holds a record, a header and a body.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>

#include "container/inspection.h"
#include "extract/extract.h"
#include "fuzz/fuzz_check.h"
#include "testing/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class Counter : public brimwald::ExtractListener {
 public:
  void EntryFailed(const brimwald::TableEntry&,
                   const brimwald::Error&) override {
    ++failed;
  }
  bool Progress(const brimwald::ExtractProgress& progress) override {
    FUZZ_CHECK(progress.entries_done <= progress.entries_total);
    FUZZ_CHECK(progress.bytes_done <= progress.bytes_total);
    return true;
  }
  bool WantsTotals() const override { return true; }
  int failed = 0;
};

// The files below `out`, each checked to lie in EXT_fuzz and to be a
// finished one (a temporary file is named ".brimwald-XXXXXXXX.tmp").
int CheckTree(const fs::path& out) {
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(out)) {
    std::string relative = entry.path().lexically_relative(out).string();
    FUZZ_CHECK(relative.starts_with("EXT_fuzz"));
    FUZZ_CHECK(!entry.is_symlink());
    if (entry.is_regular_file()) {
      FUZZ_CHECK(relative.ends_with(".qvstr"));
      FUZZ_CHECK(entry.file_size() >= 72);
      ++files;
    }
  }
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Removed with everything in it when the program ends.
  static const brimwald::testing::TempDir work_dir;
  const fs::path dir = work_dir.path();
  const fs::path out = dir / "out";
  fs::remove_all(out);
  fs::create_directory(out);
  brimwald::testing::WriteFile(
      work_dir.File("fuzz.str"),
      std::string(reinterpret_cast<const char*>(data), size));
  brimwald::Selection selection;
  try {
    brimwald::Inspect("fuzz.str", selection, dir.string());
  } catch (const std::exception&) {
    return 0;
  }
  Counter counter;
  try {
    brimwald::ExtractResult result =
        brimwald::Extract(selection, out.string(), counter);
    FUZZ_CHECK(result.written + result.failed <= selection.FileCount);
    FUZZ_CHECK(result.failed == counter.failed);
    // Later entries with the same path replace earlier ones.
    FUZZ_CHECK(CheckTree(out) <= result.written);
  } catch (const std::exception&) {
    CheckTree(out);
  }
  return 0;
}
