#include "testing/big_container.h"

#include "samples/container_builder.h"

namespace brimwald::testing {

std::map<std::string, std::string> WriteBigContainer(const TempDir& dir,
                                                     int count) {
  std::vector<samples::TestEntry> entries;
  for (int i = 0; i < count; ++i) {
    std::string body(size_t{4} << 20, '\0');
    for (size_t at = 0; at < body.size(); at += 4096) {
      body[at] = static_cast<char>(i);
      body[at + 1] = static_cast<char>(at >> 12);
    }
    entries.push_back({"big" + std::to_string(i), "h", std::move(body)});
  }
  samples::ContainerBuilder builder =
      samples::ContainerBuilder::WithEntries(entries);
  builder.WriteTo(dir.File("big.str"));
  std::map<std::string, std::string> files;
  for (size_t i = 0; i < entries.size(); ++i) {
    files["EXT_big/big" + std::to_string(i) + ".qvstr"] =
        builder.bytes().substr(32 + 72 * i, 72) + "h" + entries[i].body;
  }
  return files;
}

size_t WholeFiles(const TempDir& dir,
                  const std::map<std::string, std::string>& expected,
                  std::vector<std::string>& wrong) {
  size_t whole = 0;
  for (const std::string& path : dir.Tree()) {
    if (path.back() == '/' || path == "big.str") continue;
    auto file = expected.find(path);
    if (file != expected.end() && ReadFile(dir.File(path)) == file->second) {
      ++whole;
    } else {
      wrong.push_back(path);
    }
  }
  return whole;
}

}  // namespace brimwald::testing
