#include "cli/entry_json.h"

#include <charconv>
#include <nlohmann/json.hpp>
#include <string_view>

namespace brimwald {
namespace {

using Json = nlohmann::json;

// `bytes` read as Latin-1, in UTF-8, into `text`: bytes below 0x80 stay as
// they are, the others become two bytes each.
void AssignLatin1AsUtf8(std::string& text, std::string_view bytes) {
  text.clear();
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
}

void AppendNumber(std::string& text, std::string_view key, int32_t value) {
  char digits[12];
  auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  text += key;
  text.append(digits, end);
}

}  // namespace

EntryJsonWriter::EntryJsonWriter(std::ostream& out) : output_(out) {
  output_.text() = '[';
}

EntryJsonWriter::~EntryJsonWriter() {
  output_.text() += first_ ? "]\n" : "\n]\n";
}

// Every object has the same members in the same order, so the keys are
// written as they are; nlohmann writes the strings, which come from the
// container and need escaping.
void EntryJsonWriter::Write(const TableEntry& entry,
                            const std::vector<std::string>& problems) {
  std::string& text = output_.text();
  text += first_ ? "\n" : ",\n";
  first_ = false;
  AppendNumber(text, "{\"index\":", entry.Index);
  text += ",\"name\":";
  if (entry.NameLost) {
    text += "null";
  } else {
    AssignLatin1AsUtf8(name_.get_ref<std::string&>(), entry.Name);
    text += name_.dump();
  }
  AppendNumber(text, ",\"record_offset\":", entry.RecordOffset);
  AppendNumber(text, ",\"header_offset\":", entry.Record.HeaderOffset);
  AppendNumber(text, ",\"header_size\":", entry.Record.HeaderSize);
  AppendNumber(text, ",\"body_offset\":", entry.Record.BodyOffset);
  AppendNumber(text, ",\"body_size\":", entry.Record.BodySize);
  text += ",\"problems\":";
  text += problems.empty() ? "[]" : Json(problems).dump();
  text += '}';
  output_.Appended();
}

}  // namespace brimwald
