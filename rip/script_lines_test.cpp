#include "rip/script_lines.h"

#include <gtest/gtest.h>

#include "base/error.h"

namespace brimwald {
namespace {

TEST(ScriptLinesTest, BlockHasEightLinesInOrder) {
  ScriptLines lines("music.str", "music");
  std::string out;
  lines.AppendDirectoryLine(out);
  lines.AppendBlock(out, "sfx\\door",
                    {.RecordFirst = 0x20,
                     .RecordLast = 0x67,
                     .HeaderFirst = 0x1A0,
                     .HeaderLast = 0x1AF,
                     .BodyFirst = 0x1000,
                     .BodyLast = 0xFFF});
  EXPECT_EQ(
      out,
      "MD \"EXT_music\"\r\n"
      "quarnel \"music.str\" \"EXT_music\\sfx\\door.mainhd\" 0x20 0x67\r\n"
      "quarnel \"music.str\" \"EXT_music\\sfx\\door.strhd\" 0x1A0 "
      "0x1AF\r\n"
      "quarnel \"music.str\" \"EXT_music\\sfx\\door.strbd\" 0x1000 "
      "0xFFF\r\n"
      "COPY /B \"EXT_music\\sfx\\door.mainhd\" + "
      "\"EXT_music\\sfx\\door.strhd\" + \"EXT_music\\sfx\\door.strbd\" "
      "\"EXT_music\\sfx\\door.qvstr\"\r\n"
      "DEL \"EXT_music\\sfx\\door.mainhd\"\r\n"
      "DEL \"EXT_music\\sfx\\door.strhd\"\r\n"
      "DEL \"EXT_music\\sfx\\door.strbd\"\r\n"
      "\r\n");
}

TEST(ScriptLinesTest, PercentIsDoubledInEveryName) {
  ScriptLines lines("100%.str", "100%");
  std::string out;
  lines.AppendDirectoryLine(out);
  lines.AppendBlock(out, "%PATH%", {.HeaderLast = -1, .BodyLast = -1});
  EXPECT_EQ(out.substr(0, out.find("\r\n")), "MD \"EXT_100%%\"");
  std::string first = out.substr(out.find("\r\n") + 2);
  first = first.substr(0, first.find("\r\n"));
  EXPECT_EQ(first,
            "quarnel \"100%%.str\" \"EXT_100%%\\%%PATH%%.mainhd\" 0x0 0x0");
  EXPECT_EQ(out.find("\"EXT_100%\\"), std::string::npos);
}

TEST(ScriptLinesTest, NegativeEndsAreTwosComplement) {
  ScriptLines lines("a.str", "a");
  std::string out;
  lines.AppendBlock(out, "x", {.HeaderFirst = 0, .HeaderLast = -1});
  EXPECT_NE(out.find("x.strhd\" 0x0 0xFFFFFFFF\r\n"), std::string::npos);
}

TEST(ScriptLinesTest, ContainerNamesThatCantBeQuotedAreRefused) {
  for (std::string name :
       {"say\"hi\".str", "tab\t.str", "nl\n.str", "..\\up.str", "a/b.str"}) {
    EXPECT_THROW(ScriptLines(name, "x"), Error) << name;
  }
  EXPECT_NO_THROW(
      ScriptLines("caf\xC3\xA9 & !^ (1).str", "caf\xC3\xA9 & !^ (1)"));
}

}  // namespace
}  // namespace brimwald
