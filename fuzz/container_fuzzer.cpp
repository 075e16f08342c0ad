// Treats the input as a container file: inspects it and, when it passes,
// rips it. Whatever the bytes, the rip either writes a complete script or
// fails with an error and leaves nothing behind.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>

#include "container/inspection.h"
#include "fuzz/fuzz_check.h"
#include "rip/rip_script.h"
#include "testing/temp_dir.h"

namespace {

namespace fs = std::filesystem;

size_t CountEntries(const fs::path& dir) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) {
    ++count;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Removed with everything in it when the program ends.
  static const brimwald::testing::TempDir work_dir;
  const fs::path dir = work_dir.path();
  fs::remove(dir / "RIP_fuzz.bat");
  brimwald::testing::WriteFile(
      work_dir.File("fuzz.str"),
      std::string(reinterpret_cast<const char*>(data), size));
  brimwald::Selection selection;
  try {
    std::string text = brimwald::Inspect("fuzz.str", selection, dir.string());
    FUZZ_CHECK(selection.Passed == (text != brimwald::kInvalidFileText));
  } catch (const std::exception&) {
    FUZZ_CHECK(!selection.Passed);
  }
  size_t shown = 0;
  int beeps = 0;
  try {
    brimwald::Rip(
        selection, [&](const brimwald::TableEntry&) { ++shown; },
        [&] { ++beeps; });
    FUZZ_CHECK(beeps == 1);
    FUZZ_CHECK(shown == static_cast<size_t>(selection.FileCount));
    FUZZ_CHECK(CountEntries(dir) == 2);
  } catch (const std::exception&) {
    FUZZ_CHECK(beeps == 0);
    FUZZ_CHECK(CountEntries(dir) == 1);  // no script, no temporary file
  }
  return 0;
}
