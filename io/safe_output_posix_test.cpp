// What every command that writes (extract, rip, quarnel's cut) must never
// do to what lies at its targets: hand a setuid file to root, turn a device
// into a file, remove a link it didn't make, write into a folder moved
// away, trip over its own temporary names, or replace what it reads.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

#include "container/inspection.h"
#include "cut/cut_range.h"
#include "extract/extract.h"
#include "io/forced_fallbacks.h"
#include "rip/rip_script.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

namespace fs = std::filesystem;
using samples::ContainerBuilder;
using testing::ReadFile;
using testing::TempDir;

constexpr uid_t kSomeoneElse = 65534;  // nobody

class Recorder : public ExtractListener {
 public:
  void EntryFailed(const TableEntry& entry, const Error& error) override {
    failed[entry.Index] = error.what();
  }
  bool Progress(const ExtractProgress& progress) override {
    if (on_progress) on_progress(progress);
    return true;
  }
  std::map<int32_t, std::string> failed;
  std::function<void(const ExtractProgress&)> on_progress;
};

class SafeOutputTest : public ::testing::Test {
 protected:
  Selection Write(const std::string& name, const ContainerBuilder& builder,
                  const std::string& folder = "") {
    std::string directory = folder.empty() ? dir_.path() : dir_.File(folder);
    return testing::WriteChosen(builder, directory, name);
  }
  ExtractResult ExtractInto(const Selection& selection,
                            const std::string& root = "") {
    return Extract(selection, root, recorder_);
  }
  static mode_t ModeOf(const std::string& path) {
    struct stat status;
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode;
  }
  TempDir dir_;
  Recorder recorder_;
};

// A setuid program of another user at a target must not come out as root's
// setuid program with the container's bytes in it.
TEST_F(SafeOutputTest, ReplacedFilesKeepNoSetuidSetgidOrStickyBit) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant another's file";
  Selection m =
      Write("m.str", ContainerBuilder::WithEntries({{"tool", "h", "b"}}));
  fs::create_directory(dir_.File("EXT_m"));
  const std::vector<std::pair<std::string, std::function<void()>>> writers = {
      {"EXT_m/tool.qvstr", [&] { ExtractInto(m); }},
      {"RIP_m.bat",
       [&] {
         Rip(
             m, [](const TableEntry&) {}, [] {});
       }},
      {"cut.bin",
       [&] { CutRange(dir_.File("m.str"), dir_.File("cut.bin"), 0, 3); }},
  };
  for (const auto& [target, write] : writers) {
    const std::string path = dir_.File(target);
    testing::WriteFile(path, "#!/bin/sh\n");
    ASSERT_EQ(::chown(path.c_str(), kSomeoneElse, kSomeoneElse), 0);
    ASSERT_EQ(::chmod(path.c_str(), 06755), 0);
    write();
    EXPECT_NE(ReadFile(path), "#!/bin/sh\n") << target;
    EXPECT_EQ(ModeOf(path) & 07777, 0755u) << target;
  }
}

// A FIFO (anyone can make one) and, as root, a device node are refused and
// stay what they are; an extraction goes on with the other entries.
TEST_F(SafeOutputTest, OnlyRegularFilesAreReplaced) {
  Selection m = Write(
      "m.str", ContainerBuilder::WithEntries(
                   {{"dev", "h", "b"}, {"fifo", "h", "b"}, {"ok", "h", "b"}}));
  fs::create_directory(dir_.File("EXT_m"));
  ASSERT_EQ(::mkfifo(dir_.File("EXT_m/fifo.qvstr").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(dir_.File("cut.fifo").c_str(), 0644), 0);
  bool devices = ::geteuid() == 0;
  if (devices) {
    ASSERT_EQ(::mknod(dir_.File("EXT_m/dev.qvstr").c_str(), S_IFCHR | 0666,
                      makedev(1, 3)),
              0);
    ASSERT_EQ(::mknod(dir_.File("null").c_str(), S_IFCHR | 0666, makedev(1, 3)),
              0);
  }
  ExtractResult result = ExtractInto(m);
  EXPECT_EQ(result.written, devices ? 1 : 2);
  EXPECT_NE(recorder_.failed[1].find("it is a FIFO, not a file"),
            std::string::npos)
      << recorder_.failed[1];
  EXPECT_TRUE(S_ISFIFO(ModeOf(dir_.File("EXT_m/fifo.qvstr"))));
  Error cut = testing::ErrorFrom(
      [&] { CutRange(dir_.File("m.str"), dir_.File("cut.fifo"), 0, 3); });
  EXPECT_TRUE(testing::Says(cut, "it is a FIFO, not a file"));
  EXPECT_TRUE(S_ISFIFO(ModeOf(dir_.File("cut.fifo"))));
  if (!devices) GTEST_SKIP() << "device nodes need root";
  EXPECT_NE(recorder_.failed[0].find("it is a device, not a file"),
            std::string::npos)
      << recorder_.failed[0];
  EXPECT_TRUE(S_ISCHR(ModeOf(dir_.File("EXT_m/dev.qvstr"))));
  cut = testing::ErrorFrom(
      [&] { CutRange(dir_.File("m.str"), dir_.File("null"), 0, 3); });
  EXPECT_TRUE(testing::Says(cut, "it is a device, not a file"));
  EXPECT_TRUE(S_ISCHR(ModeOf(dir_.File("null"))));
}

// A cut whose output lies below a dangling link fails, and the link, which
// it didn't make, stays.
TEST_F(SafeOutputTest, ACutLeavesALinkItDidntMake) {
  testing::WriteFile(dir_.File("in"), "0123");
  fs::create_symlink("/nonexistent/brimwald", dir_.File("media"));
  Error error = testing::ErrorFrom(
      [&] { CutRange(dir_.File("in"), dir_.File("media/sub/x"), 0, 1); });
  EXPECT_TRUE(testing::Says(error, "symbolic link")) << error.what();
  EXPECT_TRUE(fs::is_symlink(dir_.File("media")));
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"in", "media"}));
}

// A folder moved out of the output folder and replaced with a link in the
// middle of an extraction receives nothing after the move, and the entries
// meant for it fail.
TEST_F(SafeOutputTest, AFolderMovedAwayReceivesNothingMore) {
  std::vector<samples::TestEntry> entries;
  for (int i = 0; i < 20; ++i) {
    entries.push_back({"d/e" + std::to_string(i), "h", "b"});
  }
  Selection one = Write("one.str", ContainerBuilder::WithEntries(entries));
  fs::create_directory(dir_.File("elsewhere"));
  recorder_.on_progress = [&](const ExtractProgress& progress) {
    if (progress.entries_done != 5) return;
    fs::rename(dir_.File("EXT_one/d"), dir_.File("moved"));
    fs::create_directory_symlink(dir_.File("elsewhere"),
                                 dir_.File("EXT_one/d"));
  };
  ExtractResult result = ExtractInto(one);
  EXPECT_EQ(result.written, 5);
  EXPECT_EQ(result.failed, 15);
  EXPECT_EQ(fs::directory_entry(dir_.File("moved")).exists(), true);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.File("moved")), {}), 5);
  EXPECT_TRUE(fs::is_empty(dir_.File("elsewhere")));
  EXPECT_NE(recorder_.failed[5].find("entry 5 'd\\e5'"), std::string::npos);
  EXPECT_NE(recorder_.failed[5].find("symbolic link"), std::string::npos)
      << recorder_.failed[5];
}

// Both ways to a folder, the one-call lookup and the walk kept for systems
// that refuse it, write the same bytes, spell a folder as first named, and
// send nothing to a folder moved away, even through a link that stays below
// the output root.
TEST_F(SafeOutputTest, EveryWayWritesTheSameAndFollowsNoLink) {
  ContainerBuilder builder = ContainerBuilder::WithEntries(
      {{"d\\big", "HD", "body"}, {"D\\e", "h", "b"}, {"d\\f", "h", "b"}});
  Selection m = Write("m.str", builder);
  recorder_.on_progress = [&](const ExtractProgress& progress) {
    if (progress.entries_done != 2) return;
    fs::rename(dir_.File("EXT_m/d"), dir_.File("moved"));
    fs::create_directory_symlink("../moved", dir_.File("EXT_m/d"));
  };
  for (bool walk : {false, true}) {
    forced_fallbacks().folder_walk = walk;
    fs::remove_all(dir_.File("EXT_m"));
    fs::remove_all(dir_.File("moved"));
    EXPECT_EQ(ExtractInto(m).written, 2);
    EXPECT_TRUE(ReadFile(dir_.File("moved/big.qvstr")) ==
                builder.bytes().substr(32, 72) + "HDbody");
    EXPECT_EQ(ReadFile(dir_.File("moved/e.qvstr")),
              builder.bytes().substr(32 + 72, 72) + "hb");
    EXPECT_NE(recorder_.failed[2].find("symbolic link"), std::string::npos)
        << recorder_.failed[2];
  }
  forced_fallbacks() = {};
}

// A temporary name never grows with the target's: a name that fits once
// fits every time.
TEST_F(SafeOutputTest, LongNamesAreReplacedAsOftenAsWritten) {
  std::string part(249, 'n');
  Selection m =
      Write("m.str", ContainerBuilder::WithEntries({{part, "h", "b"}}));
  for (int run = 0; run < 2; ++run) {
    ExtractResult result = ExtractInto(m);
    EXPECT_EQ(result.written, 1) << run << ": " << recorder_.failed[0];
  }
  std::string base(240, 'r');
  Selection r =
      Write(base + ".str", ContainerBuilder::WithEntries({{"a", "h", "b"}}));
  for (int run = 0; run < 2; ++run) {
    Rip(
        r, [](const TableEntry&) {}, [] {});
  }
  EXPECT_TRUE(fs::is_regular_file(dir_.File("RIP_" + base + ".bat")));
}

// What a killed run left is removed by the next run that writes there,
// unless a running writer still holds it.
TEST_F(SafeOutputTest, TheNextRunRemovesTemporaryFilesNobodyHolds) {
  Selection m = Write("m.str", ContainerBuilder::WithEntries(
                                   {{"a", "h", "b"}, {"sub/b", "h", "b"}}));
  fs::create_directories(dir_.File("EXT_m/sub"));
  testing::WriteFile(dir_.File("EXT_m/.brimwald-0000ABCD.tmp"), "left");
  testing::WriteFile(dir_.File("EXT_m/sub/.brimwald-00001234.tmp"), "left");
  testing::WriteFile(dir_.File("EXT_m/.brimwald-notmine.tmp"), "other");
  testing::WriteFile(dir_.File("EXT_m/.brimwald-0000BEEF.tmp"), "held");
  int held = ::open(dir_.File("EXT_m/.brimwald-0000BEEF.tmp").c_str(),
                    O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  ExtractInto(m);
  ::close(held);
  EXPECT_EQ(dir_.Tree(), (std::vector<std::string>{
                             "EXT_m/", "EXT_m/.brimwald-0000BEEF.tmp",
                             "EXT_m/.brimwald-notmine.tmp", "EXT_m/a.qvstr",
                             "EXT_m/sub/", "EXT_m/sub/b.qvstr", "m.str"}));
}

// A container that lies where one of its own entries goes is never
// replaced by that entry.
TEST_F(SafeOutputTest, ExtractionNeverReplacesItsContainer) {
  fs::create_directory(dir_.File("EXT_m"));
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"m", "h", "b"}, {"x", "h", "b"}});
  Selection m = Write("m.qvstr", builder, "EXT_m");
  ExtractResult result = ExtractInto(m, dir_.path());
  EXPECT_EQ(result.written, 1);
  EXPECT_NE(recorder_.failed[0].find("which is being read"), std::string::npos)
      << recorder_.failed[0];
  EXPECT_EQ(ReadFile(dir_.File("EXT_m/m.qvstr")), builder.bytes());
}

}  // namespace
}  // namespace brimwald
