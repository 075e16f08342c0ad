#include "cli/entry_json.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace brimwald {
namespace {

// The JSON text of the name `bytes`, as the listing writes it.
std::string NameText(const std::string& bytes) {
  std::ostringstream out;
  {
    EntryJsonWriter writer(out);
    TableEntry entry;
    entry.Name = bytes;
    writer.Write(entry, {});
  }
  const std::string text = out.str();
  const size_t start = text.find("\"name\":") + 7;
  return text.substr(start, text.find(",\"record_offset\"") - start);
}

// Names of printable ASCII are written without nlohmann; every byte value,
// in such a name and alone, must come out exactly as nlohmann writes the
// name read as Latin-1.
TEST(EntryJsonTest, EveryByteIsWrittenAsNlohmannWritesIt) {
  for (int byte = 1; byte < 256; ++byte) {
    for (std::string name :
         {std::string(1, static_cast<char>(byte)),
          "sfx\\a" + std::string(1, static_cast<char>(byte)) + "\"b\\c"}) {
      std::string utf8;
      for (char byte_of_name : name) {
        auto c = static_cast<unsigned char>(byte_of_name);
        if (c < 0x80) {
          utf8 += static_cast<char>(c);
        } else {
          utf8 += static_cast<char>(0xC0 | (c >> 6));
          utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
      }
      EXPECT_EQ(NameText(name), nlohmann::json(utf8).dump()) << "byte " << byte;
    }
  }
}

// Bytes that are valid UTF-8 are read as UTF-8; any others, a stray or
// overlong sequence or a surrogate included, as Latin-1.
TEST(EntryJsonTest, NamesAreUtf8WhereValidAndLatin1Otherwise) {
  for (const auto& [bytes, text] :
       std::vector<std::pair<std::string, std::string>>{
           {"sfx\\caf\xC3\xA9", "sfx\\caf\u00e9"},
           {"\xF0\x9F\x8E\xB5", "\U0001F3B5"},
           {"caf\xE9", "caf\u00e9"},
           {"\xC3", "\u00c3"},
           {"\xC0\xAF", "\u00c0\u00af"},
           {"\xED\xA0\x80", "\u00ed\u00a0\u0080"},
       }) {
    EXPECT_EQ(TextJson(bytes), nlohmann::ordered_json(text)) << text;
    EXPECT_EQ(NameText(bytes), nlohmann::json(text).dump()) << text;
  }
}

}  // namespace
}  // namespace brimwald
