#include "replace/update.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "container/inspection.h"
#include "extract/extract.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::ReadFile;
using testing::TempDir;

class Quiet : public ExtractListener {
 public:
  void EntryFailed(const TableEntry&, const Error& error) override {
    ADD_FAILURE() << error.what();
  }
  bool Progress(const ExtractProgress&) override { return true; }
};

class Silent : public VerifyListener {
 public:
  void Found(const VerifyFinding& finding) override {
    ADD_FAILURE() << finding.path << ": " << finding.why;
  }
};

// The files below `root`'s EXT_ folder, by path.
std::map<std::string, std::string> Files(const TempDir& root) {
  std::map<std::string, std::string> files;
  for (const std::string& path : root.Tree()) {
    if (path.starts_with("EXT_") && !path.ends_with("/")) {
      files[path] = ReadFile(root.File(path));
    }
  }
  return files;
}

// `qvstr` with a new header and body, its sizes to match.
std::string Edited(const std::string& qvstr, const std::string& header,
                   const std::string& body) {
  ContainerBuilder record;
  record.Bytes(0, qvstr.substr(0, 72))
      .Int32(32, static_cast<int32_t>(header.size()))
      .Int32(16, static_cast<int32_t>(body.size()));
  return record.bytes() + header + body;
}

// Three files of an extracted tree edited (one of them the winner of a
// duplicated path), one stray added: exactly the three entries change, and
// extracting again gives the edited tree but for the re-pointed offsets.
TEST(UpdateTest, TakesBackExactlyTheEditedFiles) {
  TempDir dir;
  TempDir again;
  std::vector<samples::TestEntry> entries = samples::SampleEntries(10);
  entries.push_back({"dup/x", "h1", "first"});
  entries.push_back({"DUP/X", "h2", "second"});
  Selection selection = testing::WriteChosen(
      ContainerBuilder::WithEntries(entries), dir.path(), "m.str");
  Quiet quiet;
  Extract(selection, "", quiet);
  std::map<std::string, std::string> tree = Files(dir);
  std::vector<std::string> edited;
  for (const auto& [path, bytes] : tree) {
    if (!path.starts_with("EXT_m/dup/") && edited.size() < 2) {
      edited.push_back(path);
    }
  }
  edited.push_back("EXT_m/dup/x.qvstr");
  for (const std::string& path : edited) {
    tree[path] = Edited(tree[path], "new header " + path, "new body");
    testing::WriteFile(dir.File(path), tree[path]);
  }
  testing::WriteFile(dir.File("EXT_m/stray.qvstr"), "stray");
  const std::string before = ReadFile(dir.File("m.str"));

  UpdateResult planned = Update(selection, "", true);
  EXPECT_EQ(planned.replaced.size(), 3u);
  EXPECT_EQ(ReadFile(dir.File("m.str")), before);

  UpdateResult result = Update(selection, "", false);
  ASSERT_EQ(result.replaced.size(), 3u);
  EXPECT_EQ(result.replaced[2].index, 11);  // the winner of dup\x
  ASSERT_EQ(result.others.size(), 1u);
  EXPECT_EQ(result.others[0].kind, VerifyFinding::Kind::kStray);

  Inspect("m.str", selection, dir.path());
  Extract(selection, again.path(), quiet);
  std::map<std::string, std::string> fresh = Files(again);
  ASSERT_EQ(fresh.size(), tree.size());
  for (const auto& [path, bytes] : fresh) {
    std::string expected = tree[path];
    if (std::find(edited.begin(), edited.end(), path) != edited.end()) {
      // Only BodyOffset (8) and HeaderOffset (24) may differ.
      for (size_t at : {size_t{8}, size_t{24}}) {
        expected.replace(at, 4, bytes.substr(at, 4));
      }
    }
    EXPECT_EQ(bytes, expected) << path;
  }
  Silent silent;
  EXPECT_EQ(Verify(selection, again.path(), silent).problems, 0);
}

}  // namespace
}  // namespace brimwald
