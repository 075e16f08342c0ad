// Treats the input as a container file: inspects it and, when it passes,
// rips it. Whatever the bytes, the rip either writes a complete script or
// fails with an error and leaves nothing behind.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "container/inspection.h"
#include "fuzz/fuzz_check.h"
#include "rip/rip_script.h"

namespace {

namespace fs = std::filesystem;

size_t CountEntries(const fs::path& dir) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) {
    ++count;
  }
  return count;
}

const fs::path& WorkDir() {
  static const fs::path dir = [] {
    fs::path path = fs::temp_directory_path() /
                    ("brimwald-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(path);
    return path;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path& dir = WorkDir();
  fs::remove(dir / "RIP_fuzz.bat");
  {
    std::ofstream out(dir / "fuzz.str", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data),
              static_cast<std::streamsize>(size));
  }
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
        selection, [&](const std::string&) { ++shown; }, [&] { ++beeps; });
    FUZZ_CHECK(beeps == 1);
    FUZZ_CHECK(shown == static_cast<size_t>(selection.FileCount));
    FUZZ_CHECK(CountEntries(dir) == 2);
  } catch (const std::exception&) {
    FUZZ_CHECK(beeps == 0);
    FUZZ_CHECK(CountEntries(dir) == 1);  // no script, no temporary file
  }
  return 0;
}
