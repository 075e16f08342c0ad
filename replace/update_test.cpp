#include "replace/update.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "container/inspection.h"
#include "extract/extract.h"
#include "io/forced_fallbacks.h"
#include "io/input_file.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/error_from.h"
#include "testing/temp_dir.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace brimwald {
namespace {

namespace fs = std::filesystem;

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

using testing::EditedQvstr;

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
    tree[path] = EditedQvstr(tree[path], "new header " + path, "new body");
    testing::WriteFile(dir.File(path), tree[path]);
  }
  testing::WriteFile(dir.File("EXT_m/stray.qvstr"), "stray");
  const std::string before = ReadFile(dir.File("m.str"));

  UpdateResult planned = Update(selection, {.dry_run = true});
  EXPECT_EQ(planned.replaced.size(), 3u);
  EXPECT_EQ(ReadFile(dir.File("m.str")), before);

  UpdateResult result = Update(selection, {});
  ASSERT_EQ(result.replaced.size(), 3u);
  EXPECT_EQ(result.replaced[2].index, 11);  // the winner of dup\x
  ASSERT_EQ(result.others.size(), 1u);
  EXPECT_EQ(result.others[0].kind, VerifyFinding::Kind::kStray);
  EXPECT_FALSE(result.Complete());  // the stray was left alone
  fs::remove(dir.File("EXT_m/stray.qvstr"));

  // The tree now holds the container's new records: what a fresh
  // extraction writes, byte for byte.
  Inspect("m.str", selection, dir.path());
  Extract(selection, again.path(), quiet);
  std::map<std::string, std::string> fresh = Files(again);
  EXPECT_EQ(fresh, Files(dir));
  Silent silent;
  EXPECT_EQ(Verify(selection, again.path(), silent).problems, 0);
}

// A container of sample entries extracted beside itself, for edits.
struct Extracted {
  Extracted() {
    selection = testing::WriteChosen(
        ContainerBuilder::WithEntries(samples::SampleEntries(6)), dir.path(),
        "m.str");
    Quiet quiet;
    Extract(selection, "", quiet);
    bytes = ReadFile(Container());
  }
  std::string Container() const { return dir.File("m.str"); }
  std::string Tree(const std::string& path) const {
    return dir.File("EXT_m/" + path);
  }
  // Gives the tree's file `path` a new body.
  void Edit(const std::string& path, const std::string& body) const {
    testing::WriteFile(Tree(path), EditedQvstr(ReadFile(Tree(path)), "", body));
  }

  TempDir dir;
  Selection selection;
  std::string bytes;  // the container as extracted
};

// Settled: the tree verifies, and a second update leaves the very file
// that the first wrote, byte for byte. As root, the container keeps its
// owner.
TEST(UpdateTest, ASecondUpdateChangesNothing) {
  Extracted m;
  m.Edit("track3.qvstr", "a body of a new length");
#ifndef _WIN32
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(m.Container().c_str(), 65534, 65534), 0);
  }
#endif
  UpdateResult first = Update(m.selection, {});
  ASSERT_TRUE(first.written);
  EXPECT_TRUE(first.Complete());
  Inspect("m.str", m.selection, m.dir.path());
  Silent silent;
  EXPECT_EQ(Verify(m.selection, "", silent).problems, 0);
  const std::string after = ReadFile(m.Container());
  const auto stamp = fs::last_write_time(m.Container());
#ifndef _WIN32
  struct stat before;
  ASSERT_EQ(::stat(m.Container().c_str(), &before), 0);
#endif
  UpdateResult second = Update(m.selection, {});
  EXPECT_FALSE(second.written);
  EXPECT_TRUE(second.replaced.empty());
  EXPECT_TRUE(second.Complete());
  EXPECT_EQ(ReadFile(m.Container()), after);
  EXPECT_EQ(fs::last_write_time(m.Container()), stamp);
#ifndef _WIN32
  struct stat status;
  ASSERT_EQ(::stat(m.Container().c_str(), &status), 0);
  EXPECT_EQ(status.st_ino, before.st_ino);
  if (root) {
    EXPECT_EQ(status.st_uid, 65534u);
  }
#endif
}

// The old container kept as m.str~, over an older backup or none: a second
// link to the very file where the filesystem allows, else a copy; the new
// container is what an update without a backup writes.
TEST(UpdateTest, KeepsTheOldContainerAsABackup) {
  Extracted plain;
  plain.Edit("track3.qvstr", "a body of a new length");
  ASSERT_TRUE(Update(plain.selection, {}).written);
  for (bool copy : {false, true}) {
    for (bool older : {false, true}) {
      Extracted m;
      m.Edit("track3.qvstr", "a body of a new length");
      const std::string backup = m.dir.File("m.str~");
      if (older) testing::WriteFile(backup, "an older backup");
      const FileId old_id = InputFile(m.Container()).id();
      forced_fallbacks().backup_copy = copy;
      UpdateResult result = Update(m.selection, {.backup = true});
      forced_fallbacks() = {};
      ASSERT_TRUE(result.written);
      EXPECT_EQ(ReadFile(backup), m.bytes) << copy << older;
      EXPECT_EQ(InputFile(backup).id() == old_id, !copy) << copy << older;
      EXPECT_EQ(ReadFile(m.Container()), ReadFile(plain.Container()));
      EXPECT_EQ(m.dir.Names(),
                (std::vector<std::string>{"EXT_m", "m.str", "m.str~"}));
    }
  }
}

// Races, through the steps an observer sees: what another program does
// between two of the update's steps never lets it read through a link or
// lose that program's save.
TEST(UpdateTest, WhatChangesMeanwhileIsNeverReadThroughOrLost) {
#ifdef _WIN32
  GTEST_SKIP() << "wine makes no symbolic links";
#endif
  struct Racer : UpdateObserver {
    std::function<void()> listed = [] {};
    std::function<void()> before_rename = [] {};
    void Listed() override { listed(); }
    bool BeforeRename() override {
      before_rename();
      return true;
    }
  };
  // A folder swapped for a link to a private one, after the listing.
  {
    Extracted m;
    TempDir secret;
    m.Edit("music/track1.qvstr", "edited");
    fs::copy_file(m.Tree("music/track1.qvstr"), secret.File("track1.qvstr"));
    testing::WriteFile(
        secret.File("track1.qvstr"),
        EditedQvstr(ReadFile(secret.File("track1.qvstr")), "", "secret"));
    Racer racer;
    racer.listed = [&] {
      fs::rename(m.Tree("music"), m.dir.File("moved"));
      fs::create_directory_symlink(secret.path(), m.Tree("music"));
    };
    UpdateResult result = Update(m.selection, {}, &racer);
    EXPECT_FALSE(result.Complete());
    EXPECT_EQ(ReadFile(m.Container()), m.bytes);
    ASSERT_FALSE(result.others.empty());
    EXPECT_NE(result.others[0].why.find("symbolic link"), std::string::npos)
        << result.others[0].why;
  }
  // The container saved by another program, by a new file or in place.
  for (bool in_place : {false, true}) {
    Extracted m;
    m.Edit("track3.qvstr", "edited");
    const std::string saved = m.bytes + "saved by another program";
    Racer racer;
    racer.before_rename = [&] {
      if (in_place) {
        std::ofstream(m.Container(), std::ios::app | std::ios::binary)
            << "saved by another program";
      } else {
        testing::WriteFile(m.dir.File("saved.str"), saved);
        fs::rename(m.dir.File("saved.str"), m.Container());
      }
    };
    Error error = testing::ErrorFrom([&] { Update(m.selection, {}, &racer); });
    EXPECT_TRUE(testing::Says(
        error, "changed while it was being updated; nothing written"))
        << error.what();
    EXPECT_EQ(ReadFile(m.Container()), saved) << in_place;
  }
}

// More edited files than the usual soft limit of open files lets a process
// hold: each stays open from its comparison to the write, and all go back.
TEST(UpdateTest, TakesBackMoreFilesThanTheSoftLimitOfOpenFiles) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no limit of open files to raise";
#else
  struct rlimit before;
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
  if (before.rlim_max < 256) GTEST_SKIP() << "the hard limit is too low";
  TempDir dir;
  std::vector<samples::TestEntry> entries;
  for (int i = 0; i < 100; ++i) {
    entries.push_back({"e" + std::to_string(i), "h", "b"});
  }
  Selection selection = testing::WriteChosen(
      ContainerBuilder::WithEntries(entries), dir.path(), "m.str");
  Quiet quiet;
  Extract(selection, "", quiet);
  for (const samples::TestEntry& entry : entries) {
    const std::string path = dir.File("EXT_m/" + entry.name + ".qvstr");
    testing::WriteFile(path, EditedQvstr(ReadFile(path), "", "new body"));
  }
  struct rlimit low = before;
  low.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  UpdateResult result = Update(selection, {});
  ::setrlimit(RLIMIT_NOFILE, &before);
  EXPECT_TRUE(result.Complete());
  EXPECT_EQ(result.replaced.size(), entries.size());
#endif
}

}  // namespace
}  // namespace brimwald
