#include "table/entry_problems.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "samples/container_builder.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using samples::TestEntry;

// The problems of every entry of a container of `entries`, after `edit`.
std::vector<std::vector<std::string>> ProblemsOf(
    const std::vector<TestEntry>& entries,
    void (*edit)(ContainerBuilder&) = nullptr) {
  testing::TempDir dir;
  ContainerBuilder builder = ContainerBuilder::WithEntries(entries);
  if (edit != nullptr) edit(builder);
  builder.WriteTo(dir.File("c.str"));
  Selection selection{.FileName = "c.str",
                      .BaseName = "c",
                      .FilePath = "c.str",
                      .Directory = dir.path(),
                      .VfsStart = 32,
                      .FileCount = static_cast<int32_t>(entries.size()),
                      .Passed = true};
  TableWalk walk(selection);
  TableWalk lookup(selection);
  EntryProblems problems(walk, lookup);
  std::vector<std::vector<std::string>> found;
  while (walk.Next()) found.push_back(problems.Check(walk.entry()));
  return found;
}

// Paths compare as Windows reads them, exactly, and a later entry names the
// entry that held its path just before it, not the first one.
TEST(EntryProblemsTest, NamesTheEntryThatHeldThePathLast) {
  struct Case {
    std::string name;
    int32_t replaces;  // -1: a path of its own
  };
  const std::vector<Case> cases = {
      {"sfx/door.wav", -1},
      {"SFX/Door", 0},
      {"sfx. /door", 1},
      {"/sfx//door", 2},
      {"sfx/door.", -1},
      {"sfx/doors", -1},
      {"music /theme", -1},
      {"music/theme", 6},
      {"sfx\\door", 3},
      {"sfx/d\xC3\xB6or", -1},
      {"sfx/D\xC3\xB6OR", 9},
      {"sfx/d\xC3\x96or", -1},
      {"", -1},
      {"/", 12},
      {"a/", -1},
      {"A\\", 14},
      {"x.WAV.wav", -1},
      {"X.WAV", 16},
  };
  std::vector<TestEntry> entries;
  for (const Case& c : cases) entries.push_back({c.name, "h", "b"});
  std::vector<std::vector<std::string>> found = ProblemsOf(entries);
  ASSERT_EQ(found.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    if (cases[i].replaces < 0) {
      EXPECT_TRUE(found[i].empty()) << i << ": " << found[i][0];
    } else {
      EXPECT_EQ(found[i],
                std::vector<std::string>{"same path as entry " +
                                         std::to_string(cases[i].replaces) +
                                         ", which it replaces"})
          << i;
    }
  }
}

TEST(EntryProblemsTest, ReportsBrokenPiecesLongPartsAndLostNames) {
  std::vector<std::vector<std::string>> found =
      ProblemsOf({{"a", "h", "b"},
                  {"x/" + std::string(249, 'n'), "h", "b"},
                  {"lost", "h", "b"},
                  {"lost", "h", "b"},
                  {"minus", "h", "b"},
                  {"minus", "h", "b"}},
                 [](ContainerBuilder& builder) {
                   builder.Int32(32 + 8, 1 << 20);            // entry 0's body
                   builder.Int32(32 + 72 * 2 + 48, 1 << 24);  // entry 2's name
                   builder.Int32(32 + 72 * 4 + 32, -3);  // entry 4's HeaderSize
                   builder.Int32(32 + 72 * 5 + 16, -5);  // entry 5's BodySize
                 });
  ASSERT_EQ(found.size(), 6u);
  ASSERT_EQ(found[0].size(), 1u);
  EXPECT_TRUE(found[0][0].starts_with("body: the range 0x100000 to"))
      << found[0][0];
  EXPECT_EQ(found[1], std::vector<std::string>{
                          "a part of its path has 256 bytes; filesystems "
                          "store at most 255"});
  ASSERT_EQ(found[2].size(), 1u);
  EXPECT_TRUE(found[2][0].starts_with("name: NameOffset 16777216 lies past"))
      << found[2][0];
  // A lost name holds no path: the next "lost" replaces nothing.
  EXPECT_TRUE(found[3].empty());
  // A negative size is named, not the range it makes.
  EXPECT_EQ(found[4], std::vector<std::string>{"header: HeaderSize is -3"});
  EXPECT_EQ(found[5], (std::vector<std::string>{"body: BodySize is -5",
                                                "same path as entry 4, which "
                                                "it replaces"}));
}

// Every path shares one hash here: only comparing the keys themselves
// tells them apart.
// The same paths under three hashes: a real one, one that all paths share
// (only comparing the keys tells them apart), and one that places them all
// in the same slot of the table as it grows. Each must give the same
// answers, past several growths of the table.
TEST(PathHoldersTest, GivesExactAnswersWhateverTheHashes) {
  std::vector<std::string> keys;
  std::vector<std::optional<int32_t>> expected;
  std::map<std::string, int32_t> last;
  for (int32_t i = 0; i < 5000; ++i) {
    std::string key = "k" + std::to_string((i * 7919) % 3001);
    auto found = last.find(key);
    expected.push_back(found == last.end() ? std::nullopt
                                           : std::optional(found->second));
    last[key] = i;
    keys.push_back(key);
  }
  const std::vector<PathHolders::Hash> hashes = {
      nullptr, [](const std::string& key) { return key.size() > 3 ? 7u : 9u; },
      [](const std::string& key) {
        return static_cast<uint32_t>(std::hash<std::string>()(key)) << 20;
      }};
  for (size_t h = 0; h < hashes.size(); ++h) {
    auto key_of = [&](int32_t index) {
      return keys[static_cast<size_t>(index)];
    };
    PathHolders holders =
        hashes[h] ? PathHolders(key_of, 0, hashes[h]) : PathHolders(key_of);
    // The colliding hashes make this quadratic: fewer keys for them.
    size_t count = h == 0 ? keys.size() : 1200;
    for (size_t i = 0; i < count; ++i) {
      ASSERT_EQ(holders.Replace(keys[i], static_cast<int32_t>(i)), expected[i])
          << "hash " << h << ", key " << i;
    }
  }
}

}  // namespace
}  // namespace brimwald
