#include "names/entry_name.h"

#include <gtest/gtest.h>

namespace brimwald {
namespace {

using namespace std::string_literals;

TEST(EntryNameTest, KeepsTheBytesBeforeTheFirstNul) {
  EXPECT_EQ(NormaliseEntryName("door\0junk"s), "door");
  EXPECT_EQ(NormaliseEntryName("\0door"s), "");
  EXPECT_EQ(NormaliseEntryName(std::string(512, 'n')), std::string(512, 'n'));
}

TEST(EntryNameTest, RemovesWavInOnePassWithCaseAsWritten) {
  EXPECT_EQ(NormaliseEntryName("a.wav.wav"), "a");
  EXPECT_EQ(NormaliseEntryName("x.wavy"), "xy");
  EXPECT_EQ(NormaliseEntryName("a.w.wavav"), "a.wav");
  EXPECT_EQ(NormaliseEntryName("LOUD.WAV"), "LOUD.WAV");
  EXPECT_EQ(NormaliseEntryName(".wav"), "");
}

TEST(EntryNameTest, SlashesBecomeBackslashes) {
  EXPECT_EQ(NormaliseEntryName("sfx/door.wav"), "sfx\\door");
  EXPECT_EQ(NormaliseEntryName("a/b/c"), "a\\b\\c");
  EXPECT_EQ(NormaliseEntryName("a\\b"), "a\\b");
}

TEST(EntryNameTest, CharactersABatchLineCantHoldBecomeUnderscores) {
  EXPECT_EQ(NormaliseEntryName("say \"hi\""), "say _hi_");
  EXPECT_EQ(NormaliseEntryName("a<b>c|d?e*f:g"), "a_b_c_d_e_f_g");
  EXPECT_EQ(NormaliseEntryName("line\r\nbreak\ttab\x1f"), "line__break_tab_");
  // Everything else passes as it is.
  EXPECT_EQ(NormaliseEntryName("Caf\xE9 & co! 100% ^up^ (x)"),
            "Caf\xE9 & co! 100% ^up^ (x)");
}

TEST(EntryNameTest, DotAndSpacePartsCantClimbOut) {
  EXPECT_EQ(NormaliseEntryName("../../evil"), "__\\__\\evil");
  EXPECT_EQ(NormaliseEntryName("a/./b"), "a\\_\\b");
  EXPECT_EQ(NormaliseEntryName("a/. ./b"), "a\\___\\b");
  EXPECT_EQ(NormaliseEntryName("..."), "___");
  EXPECT_EQ(NormaliseEntryName("..wav."), "__");  // ".wav" goes first
  EXPECT_EQ(NormaliseEntryName("a/..b/c."), "a\\..b\\c.");
  EXPECT_EQ(NormaliseEntryName("/abs/"), "\\abs\\");
}

TEST(EntryNameTest, DeviceNamesGetALeadingUnderscore) {
  EXPECT_EQ(NormaliseEntryName("con"), "_con");
  EXPECT_EQ(NormaliseEntryName("sfx/NUL.wav"), "sfx\\_NUL");
  EXPECT_EQ(NormaliseEntryName("Aux .txt"), "_Aux .txt");
  EXPECT_EQ(NormaliseEntryName("prn/x"), "_prn\\x");
  EXPECT_EQ(NormaliseEntryName("conin$"), "_conin$");
  EXPECT_EQ(NormaliseEntryName("CONOUT$.log"), "_CONOUT$.log");
  EXPECT_EQ(NormaliseEntryName("com1"), "_com1");
  EXPECT_EQ(NormaliseEntryName("LPT0.a.b"), "_LPT0.a.b");
  EXPECT_EQ(NormaliseEntryName("COM\xB9"), "_COM\xB9");
  EXPECT_EQ(NormaliseEntryName("lpt\xFF"), "_lpt\xFF");
  // Only the whole stem counts.
  for (std::string name : {"console", "com", "com10", "lpt", "comA", "xnul",
                           "con_", "auxiliary.wav", "com\x7F"}) {
    EXPECT_EQ(NormaliseEntryName(name)[0], name[0]) << name;
    EXPECT_FALSE(IsDeviceName(name)) << name;
  }
}

}  // namespace
}  // namespace brimwald
