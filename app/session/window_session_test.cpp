#include "app/session/window_session.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "io/utf8_path.h"
#include "samples/container_builder.h"
#include "testing/temp_dir.h"

namespace brimwald {
namespace {

using samples::ContainerBuilder;

class WindowSessionTest : public ::testing::Test {
 protected:
  WindowSessionTest() {
    for (const char* name : {"a.str", "b.str"}) {
      ContainerBuilder::WithEntries({{"x.wav", "h", "body"}})
          .WriteTo(dir_.File(name));
    }
  }
  testing::TempDir dir_;
  WindowSession session_{dir_.path()};
};

TEST_F(WindowSessionTest, TheJobKeepsTheChoiceItWasGiven) {
  session_.Choose("a.str");
  StartOutcome started = session_.StartExtract();
  ASSERT_FALSE(started.failed()) << started.error;
  EXPECT_EQ(started.progress_text, "Extracting a.str...");
  session_.Choose("b.str");

  ExtractOutcome outcome = started.job->Run(nullptr);
  EXPECT_EQ(outcome.result.written, 1);
  EXPECT_EQ(dir_.Names(),
            (std::vector<std::string>{"EXT_a", "a.str", "b.str"}));
}

TEST_F(WindowSessionTest, IsBusyFromStartToFinishAndStartsOneAtATime) {
  EXPECT_FALSE(session_.extracting());
  session_.Choose("a.str");
  StartOutcome first = session_.StartExtract();
  ASSERT_TRUE(first.job);
  EXPECT_TRUE(session_.extracting());

  session_.Choose("b.str");
  StartOutcome second = session_.StartExtract();
  EXPECT_FALSE(second.job);
  EXPECT_NE(second.error.find("'a.str' is still running"), std::string::npos)
      << second.error;
  EXPECT_NE(session_.CloseQuestion().find("a.str"), std::string::npos)
      << session_.CloseQuestion();

  session_.FinishExtract();
  EXPECT_FALSE(session_.extracting());
  StartOutcome third = session_.StartExtract();
  ASSERT_TRUE(third.job);
  EXPECT_EQ(third.job->selection().FileName, "b.str");
}

TEST_F(WindowSessionTest, StartingWithoutAChoiceLeavesTheErrorToTheJob) {
  StartOutcome started = session_.StartExtract();
  ASSERT_TRUE(started.job);
  EXPECT_EQ(started.job->Run(nullptr).error, "no container has been chosen");
}

TEST_F(WindowSessionTest, FolderTextIsTheAbsoluteFolder) {
  namespace fs = std::filesystem;
  const fs::path folder = PathFromUtf8(dir_.path());
  struct Case {
    std::string directory;
    fs::path shown;
  };
  for (const Case& c : std::vector<Case>{
           {dir_.path(), folder},
           {dir_.path() + "/", folder},
           {dir_.path() + "/./sub/..", folder},
           {"", fs::current_path()},
       }) {
    std::string text = WindowSession(c.directory).FolderText();
    EXPECT_TRUE(PathFromUtf8(text).is_absolute()) << text;
    EXPECT_TRUE(fs::equivalent(PathFromUtf8(text), c.shown)) << text;
    EXPECT_FALSE(text.ends_with("/") || text.ends_with("\\")) << text;
  }
}

}  // namespace
}  // namespace brimwald
