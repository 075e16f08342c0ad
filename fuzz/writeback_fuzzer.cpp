// Treats the input as an edit and a container: the first two bytes say how
// to edit one file of the container's extracted tree, the rest are the
// container. The tree is then taken back with update, and the edited file
// put back with replace -o. Whatever the bytes: no error but the project's
// own, nothing written outside the folder, no temporary file left, and a
// refused or failed write-back leaves the container as it was.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "base/error.h"
#include "container/inspection.h"
#include "extract/extract.h"
#include "fuzz/fuzz_check.h"
#include "io/atomic_file.h"
#include "replace/replace.h"
#include "replace/update.h"
#include "testing/chosen_container.h"
#include "testing/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using brimwald::testing::ReadFile;
using brimwald::testing::WriteFile;

// The regular files below `dir`, each checked to be no temporary file.
std::vector<fs::path> Files(const fs::path& dir) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    FUZZ_CHECK(!brimwald::IsTemporaryName(entry.path().filename().string()));
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  return files;
}

// Edits `bytes` (a .qvstr's) the way `how` says: a new length, a size
// field set to `value`, a byte changed.
std::string Edited(std::string bytes, uint8_t how, uint8_t value) {
  switch (how % 5) {
    case 0:
      return bytes + std::string(value, 'e');
    case 1:
      return bytes.substr(0, bytes.size() * value / 256);
    case 2:  // HeaderSize, possibly negative
    case 3:  // BodySize
      if (bytes.size() >= 72) {
        size_t at = how % 5 == 2 ? 32 : 16;
        for (size_t i = 0; i < 4; ++i) {
          bytes[at + i] = static_cast<char>(i == 3 ? value : value / 3);
        }
      }
      return bytes;
    default:
      if (!bytes.empty()) bytes[value % bytes.size()] ^= 0x5A;
      return bytes;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // Removed with everything in it when the program ends.
  static const brimwald::testing::TempDir work_dir;
  const fs::path dir = fs::path(work_dir.path()) / "run";
  fs::remove_all(dir);
  fs::create_directory(dir);
  const std::string container = (dir / "fuzz.str").string();
  WriteFile(container,
            std::string(reinterpret_cast<const char*>(data) + 2, size - 2));
  brimwald::Selection selection;
  try {
    brimwald::Inspect("fuzz.str", selection, dir.string());
    if (!selection.Passed) return 0;
    brimwald::testing::QuietListener quiet;
    brimwald::Extract(selection, "", quiet);
  } catch (const brimwald::Error&) {
    return 0;
  }
  if (!fs::is_directory(dir / "EXT_fuzz")) return 0;
  std::vector<fs::path> tree = Files(dir / "EXT_fuzz");
  if (tree.empty()) return 0;
  const fs::path edited = tree[data[0] % tree.size()];
  WriteFile(edited.string(),
            Edited(ReadFile(edited.string()), data[0] / 8, data[1]));
  const std::string before = ReadFile(container);
  try {
    brimwald::UpdateResult result = brimwald::Update(selection, {});
    if (!result.written) FUZZ_CHECK(ReadFile(container) == before);
  } catch (const brimwald::Error&) {
    FUZZ_CHECK(ReadFile(container) == before);
  } catch (const std::exception&) {
    const bool an_error_of_the_projects_own = false;
    FUZZ_CHECK(an_error_of_the_projects_own);
  }
  const std::string out = (dir / "out.str").string();
  try {
    brimwald::Inspect("fuzz.str", selection, dir.string());
    brimwald::ReplaceEntries(selection, {{0, edited.string()}}, out);
  } catch (const brimwald::Error&) {
    FUZZ_CHECK(!fs::exists(out));
  } catch (const std::exception&) {
    const bool an_error_of_the_projects_own = false;
    FUZZ_CHECK(an_error_of_the_projects_own);
  }
  for (const fs::path& file : Files(dir)) {
    std::string relative = file.lexically_relative(dir).string();
    FUZZ_CHECK(relative == "fuzz.str" || relative == "out.str" ||
               relative.starts_with("EXT_fuzz"));
  }
  return 0;
}
