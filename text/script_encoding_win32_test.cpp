#include <gtest/gtest.h>
#include <windows.h>

#include "text/script_encoding.h"

namespace brimwald {
namespace {

TEST(ScriptEncodingTest, NamesGoIntoTheOemCodePageOrAreRefused) {
  if (::GetOEMCP() != 437) {
    GTEST_SKIP() << "written for the OEM code page 437 (wine's default)";
  }
  EXPECT_EQ(ScriptCodePage(), "the OEM code page 437");
  EXPECT_EQ(EncodeForScript("m\xC3\xBAsica.str"), "m\xA3sica.str");
  EXPECT_EQ(EncodeForScript("50% caf\xC3\xA9 & co"), "50% caf\x82 & co");
  for (const char* name : {
           "\xE6\x97\xA5\xE6\x9C\xAC.str",  // no such characters
           "\xE2\x84\xAA.str",  // KELVIN SIGN, whose best fit is "K"
           "caf\xE9.str",       // not UTF-8
       }) {
    EXPECT_EQ(EncodeForScript(name), std::nullopt) << name;
  }
  EXPECT_EQ(DecodeFromScript("caf\x82\\m\xA3sica"),
            "caf\xC3\xA9\\m\xC3\xBAsica");
}

}  // namespace
}  // namespace brimwald
