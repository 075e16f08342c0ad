#include "rip/rip_script.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/error.h"
#include "container/inspection.h"
#include "io/atomic_file.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;
using testing::ReadFile;

using samples::TestEntry;
using testing::TempDir;

std::string Hex(int64_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<uint32_t>(value));
  return text;
}

// The script as written out by hand from the line formats, for comparison.
std::string ExpectedScript(const std::string& base, int32_t vfs_start,
                           const std::vector<VfsRecord>& records,
                           const std::vector<std::string>& entry_names) {
  std::string script = "MD \"EXT_" + base + "\"\r\n";
  for (size_t i = 0; i < records.size(); ++i) {
    const VfsRecord& f = records[i];
    std::string piece = "\"EXT_" + base + "\\" + entry_names[i];
    std::string cut = "quarnel \"" + base + ".str\" " + piece;
    int64_t r = vfs_start + 72 * static_cast<int64_t>(i);
    script += cut + ".mainhd\" 0x" + Hex(r) + " 0x" + Hex(r + 71) + "\r\n";
    script += cut + ".strhd\" 0x" + Hex(f.HeaderOffset) + " 0x" +
              Hex(int64_t{f.HeaderOffset} + f.HeaderSize - 1) + "\r\n";
    script += cut + ".strbd\" 0x" + Hex(f.BodyOffset) + " 0x" +
              Hex(int64_t{f.BodyOffset} + f.BodySize - 1) + "\r\n";
    script += "COPY /B " + piece + ".mainhd\" + " + piece + ".strhd\" + " +
              piece + ".strbd\" " + piece + ".qvstr\"\r\n";
    script += "DEL " + piece + ".mainhd\"\r\n";
    script += "DEL " + piece + ".strhd\"\r\n";
    script += "DEL " + piece + ".strbd\"\r\n\r\n";
  }
  return script;
}

class RipScriptTest : public ::testing::Test {
 protected:
  // Writes `builder` as music.str and inspects it.
  void Choose(const ContainerBuilder& builder,
              const std::string& name = "music.str") {
    selection_ = testing::WriteChosen(builder, dir_.path(), name);
  }
  void RunRip() {
    Rip(
        selection_,
        [this](const TableEntry& entry) { shown_.push_back(entry.Name); },
        [this] {
          ++beeps_;
          names_at_beep_ = dir_.Names();
        });
  }
  // Runs a rip that must fail, and checks that it left nothing behind.
  void ExpectFailureLeavesNothing() {
    std::vector<std::string> before = dir_.Names();
    EXPECT_ANY_THROW(RunRip());
    EXPECT_EQ(dir_.Names(), before);
    EXPECT_EQ(beeps_, 0);
  }
  std::string Script() const { return ReadFile(dir_.File("RIP_music.bat")); }

  TempDir dir_;
  Selection selection_;
  std::vector<std::string> shown_;
  int beeps_ = 0;
  std::vector<std::string> names_at_beep_;
};

TEST_F(RipScriptTest, ScriptMatchesTheLineFormatsByteForByte) {
  ContainerBuilder builder = ContainerBuilder::WithEntries({
      {"sfx/door.wav", "HDR", "BODYBYTES"},
      {"music/theme", std::string(100, 'h'), std::string(70000, 'b')},
      {"a.w.wavav", "", ""},
      {"\x80\xFF name!&^", "h", "b"},
  });
  std::vector<VfsRecord> records = builder.records();
  // An empty header and body at offset 0: ranges 0 to FFFFFFFF.
  records[2].HeaderOffset = 0;
  records[2].BodyOffset = 0;
  builder.Record(32 + 72 * 2, records[2]);
  Choose(builder);
  RunRip();

  std::vector<std::string> names = {"sfx\\door", "music\\theme", "a.wav",
                                    "\x80\xFF name!&^"};
  EXPECT_EQ(Script(), ExpectedScript("music", 32, records, names));
  EXPECT_NE(Script().find(".strhd\" 0x0 0xFFFFFFFF\r\n"), std::string::npos);
  EXPECT_EQ(shown_, names);
  EXPECT_EQ(beeps_, 1);
  // The beep comes when the script is complete and nothing else is left.
  EXPECT_EQ(names_at_beep_,
            (std::vector<std::string>{"RIP_music.bat", "music.str"}));
}

TEST_F(RipScriptTest, RecordsAreReadFromVfsStartWhereverItIs) {
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"one", "h1", "b1"}, {"two", "h2", "b2"}});
  // Move the table to the end of the file.
  size_t moved = builder.bytes().size() + 5;
  for (size_t i = 0; i < 2; ++i)
    builder.Record(moved + 72 * i, builder.records()[i]);
  builder.VfsStart(static_cast<int32_t>(moved));
  Choose(builder);
  RunRip();
  EXPECT_EQ(Script(), ExpectedScript("music", static_cast<int32_t>(moved),
                                     builder.records(), {"one", "two"}));
}

// Blocks are gathered and written past the file's buffer in one go; a
// script of several such writes must still hold every block once, in order.
TEST_F(RipScriptTest, ScriptOfManyEntriesIsWholeAcrossWrites) {
  std::vector<TestEntry> entries;
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) {
    std::string name = "f" + std::to_string(i % 7) + "\\" +
                       std::string(static_cast<size_t>(i % 40), 'n') +
                       std::to_string(i);
    entries.push_back({name, "h", "b"});
    names.push_back(name);
  }
  ContainerBuilder builder = ContainerBuilder::WithEntries(entries);
  Choose(builder);
  RunRip();
  std::string script = Script();
  EXPECT_GT(script.size(), 3 * AtomicFile::kBufferSize);
  EXPECT_EQ(script, ExpectedScript("music", 32, builder.records(), names));
}

TEST_F(RipScriptTest, NoFilesGivesTheDirectoryLineOnly) {
  Choose(ContainerBuilder::WithEntries({}));
  RunRip();
  EXPECT_EQ(Script(), "MD \"EXT_music\"\r\n");
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(beeps_, 1);
}

TEST_F(RipScriptTest, RepeatedRipRewritesTheScriptFromTheStart) {
  Choose(ContainerBuilder::WithEntries({{"x", "h", "b"}}));
  RunRip();
  std::string first = Script();
  RunRip();
  EXPECT_EQ(Script(), first);
}

TEST_F(RipScriptTest, RefusesWithoutAPassedInspection) {
  ExpectFailureLeavesNothing();  // nothing chosen yet
  Choose(ContainerBuilder::WithEntries({{"x", "h", "b"}}));
  Choose(ContainerBuilder().Magic("NOTASTREAM!!"), "other.str");
  EXPECT_FALSE(selection_.Passed);
  ExpectFailureLeavesNothing();
  EXPECT_TRUE(
      testing::Says(testing::ErrorFrom([&] { RunRip(); }), "other.str"));
}

TEST_F(RipScriptTest, BrokenTablesFailAndLeaveAnOlderScriptAlone) {
  testing::WriteFile(dir_.File("RIP_music.bat"), "older script");
  ContainerBuilder good =
      ContainerBuilder::WithEntries({{"a", "h", "b"}, {"b", "h", "b"}});
  auto with = [&](auto edit) {
    ContainerBuilder builder = good;
    edit(builder);
    return builder;
  };
  std::vector<ContainerBuilder> broken = {
      with([](ContainerBuilder& b) { b.FileCount(-1); }),
      with(
          [](ContainerBuilder& b) { b.FileCount(29826162); }),  // x72 overflows
      with([](ContainerBuilder& b) { b.FileCount(3); }),  // runs off the file
      with([](ContainerBuilder& b) { b.VfsStart(-72); }),
      with([](ContainerBuilder& b) { b.VfsStart(INT32_MAX - 10); }),
      with([](ContainerBuilder& b) { b.Int32(32 + 72 + 48, 1 << 30); }),
      with([](ContainerBuilder& b) { b.Int32(32 + 72 + 48, -1); }),
      with([](ContainerBuilder& b) {
        b.Int32(32 + 24, INT32_MAX).Int32(32 + 32, 2);  // header end
      }),
      with([](ContainerBuilder& b) {
        b.Int32(32 + 8, INT32_MIN).Int32(32 + 16, -1);  // body end
      }),
  };
  for (size_t i = 0; i < broken.size(); ++i) {
    SCOPED_TRACE(i);
    Choose(broken[i]);
    ExpectFailureLeavesNothing();
    EXPECT_EQ(Script(), "older script");
  }
}

TEST_F(RipScriptTest, OverflowsNameTheContainerTheEntryAndTheField) {
  Choose(ContainerBuilder::WithEntries({{"a", "h", "b"}, {"b", "h", "b"}})
             .Int32(32 + 72 + 24, INT32_MAX)
             .Int32(32 + 72 + 32, 2));
  Error error = testing::ErrorFrom([&] { RunRip(); });
  EXPECT_EQ(error.kind(), ErrorKind::kEntry);
  EXPECT_TRUE(testing::Says(
      error,
      "music.str': entry 1 'b': HeaderOffset + HeaderSize - 1 leaves the "
      "signed 32-bit range"))
      << error.what();
}

TEST_F(RipScriptTest, RecordEndAtTheTopOfTheRangeOverflows) {
  // A sparse file reaching the top of the signed 32-bit range, with one
  // record whose fields fit but whose 72nd byte would lie past it.
  const int32_t r = INT32_MAX - 60;
  std::string path = dir_.File("music.str");
  ContainerBuilder().VfsStart(r).FileCount(1).Bytes(32, "name").WriteTo(path);
  std::error_code error;
  std::filesystem::resize_file(path, uintmax_t{1} << 31, error);
  if (error) GTEST_SKIP() << "no sparse files here: " << error.message();
  ContainerBuilder record;
  record.Record(0, {.BodyOffset = 36,
                    .BodySize = 1,
                    .HeaderOffset = 36,
                    .HeaderSize = 1,
                    .NameOffset = 32});
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(r);
  file.write(record.bytes().data() + 0, 72 - 20);  // up to the last used field
  file.close();
  Inspect("music.str", selection_, dir_.path());
  EXPECT_THROW(RunRip(), Error);
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"music.str"});
}

TEST_F(RipScriptTest, ScriptThatCantBeReplacedLeavesNoTemporaryFile) {
  Choose(ContainerBuilder::WithEntries({{"x", "h", "b"}}));
  std::filesystem::create_directory(dir_.File("RIP_music.bat"));
  std::filesystem::create_directory(dir_.File("RIP_music.bat/keep"));
  ExpectFailureLeavesNothing();
}

TEST_F(RipScriptTest, ContainerNameThatCantBeQuotedIsRefused) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows file names can't hold a double quote";
#endif
  Choose(ContainerBuilder::WithEntries({{"x", "h", "b"}}), "say\"hi\".str");
  ASSERT_TRUE(selection_.Passed);
  ExpectFailureLeavesNothing();
}

TEST_F(RipScriptTest, PercentSignsAreDoubledInTheScript) {
  Choose(ContainerBuilder::WithEntries({{"50%/%x%", "h", "b"}}), "m%1.str");
  RunRip();
  std::string script = ReadFile(dir_.File("RIP_m%1.bat"));
  EXPECT_EQ(script.substr(0, script.find("\r\n")), "MD \"EXT_m%%1\"");
  EXPECT_NE(
      script.find("quarnel \"m%%1.str\" \"EXT_m%%1\\50%%\\%%x%%.mainhd\""),
      std::string::npos);
  EXPECT_EQ(shown_, std::vector<std::string>{"50%\\%x%"});
}

}  // namespace
}  // namespace brimwald
