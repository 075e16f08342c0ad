#include "cli/entry_json.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

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

}  // namespace
}  // namespace brimwald
