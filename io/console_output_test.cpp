#include "io/console_output.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/script_encoding.h"

namespace brimwald {
namespace {

// Marks what would be read in the script's code page.
std::string Marked(std::string_view bytes) {
  return "<" + std::string(bytes) + ">";
}

TEST(ConsoleOutputTest, StretchesThatAreNotUtf8AreReadInTheScriptsCodePage) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  for (const Case& c : std::vector<Case>{
           {"", ""},
           {"plain text\n", "plain text\n"},
           {"'m\xC3\xBAsica.str': 12 files", "'m\xC3\xBAsica.str': 12 files"},
           {"\xE6\x97\xA5 \xF0\x9F\x8E\xB5", "\xE6\x97\xA5 \xF0\x9F\x8E\xB5"},
           // An entry name in the script's code page, between quotes and
           // between tabs; the quotes and the rest stay.
           {"entry 5 'caf\x82': gone", "entry 5 '<caf\x82>': gone"},
           {"0\tsfx\\caf\x82\t32\r\n", "0\t<sfx\\caf\x82>\t32\r\n"},
           // A stretch is judged whole, UTF-8 in it or not.
           {"m\xC3\xBAsica\x82 x", "<m\xC3\xBAsica\x82> x"},
           // Not UTF-8: a lone continuation byte, a cut-off character, an
           // overlong form, a surrogate, a code point past U+10FFFF, a lead
           // byte that no character has.
           {"\x80", "<\x80>"},
           {"a\xC3", "<a\xC3>"},
           {"\xE2\x82 ", "<\xE2\x82> "},
           {"\xC0\xAF", "<\xC0\xAF>"},
           {"\xE0\x9F\xBF", "<\xE0\x9F\xBF>"},
           {"\xED\xA0\x80", "<\xED\xA0\x80>"},
           {"\xF4\x90\x80\x80", "<\xF4\x90\x80\x80>"},
           {"\xF5\x80\x80\x80", "<\xF5\x80\x80\x80>"},
           {"\xFF", "<\xFF>"},
           // The edges of the valid ranges.
           {"\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xF0\x90\x80\x80"
            "\xF4\x8F\xBF\xBF",
            "\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xF0\x90\x80\x80"
            "\xF4\x8F\xBF\xBF"},
       }) {
    EXPECT_EQ(TextForConsole(c.bytes, Marked), c.text) << c.bytes;
  }
}

// With the system's own reading: UTF-8 passes, an entry name in the
// script's code page reads as the extraction names its file.
TEST(ConsoleOutputTest, EntryNamesReadAsTheExtractionNamesTheirFiles) {
  const std::string name = "sfx\\caf\x82";
  EXPECT_EQ(TextForConsole("'m\xC3\xBAsica.str': entry 5 '" + name + "'",
                           DecodeFromScript),
            "'m\xC3\xBAsica.str': entry 5 '" + DecodeFromScript(name) + "'");
}

}  // namespace
}  // namespace brimwald
