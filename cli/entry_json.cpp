#include "cli/entry_json.h"

#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>
#include <string_view>

namespace brimwald {
namespace {

using Json = nlohmann::ordered_json;

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

// Appends `bytes` as a JSON string when every byte is printable ASCII, in
// which JSON escapes only the quote and the backslash: the names of most
// tables, which then skip the conversion and nlohmann's serializer, set up
// anew for every dump. False, with `text` as it was, for any other name.
bool AppendPrintableAscii(std::string& text, std::string_view bytes) {
  for (char c : bytes) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  text += '"';
  for (char c : bytes) {
    if (c == '"' || c == '\\') text += '\\';
    text += c;
  }
  text += '"';
  return true;
}

// Starts the next object of the array.
void StartObject(std::string& text, bool& first) {
  text += first ? "\n" : ",\n";
  first = false;
}

// Room for a member of the fixed part: its key and a 32-bit number.
constexpr size_t kMemberRoom = 32;

// Writes `key` and `value` at `at`, which has kMemberRoom bytes of room;
// returns where they end.
char* PutMember(char* at, std::string_view key, int32_t value) {
  at = std::copy(key.begin(), key.end(), at);
  return std::to_chars(at, at + 11, value).ptr;
}

}  // namespace

Json TextJson(std::string_view bytes) {
  Json name = std::string(bytes);
  try {
    // Only to learn whether the bytes are valid UTF-8.
    (void)name.dump();
  } catch (const Json::type_error&) {
    AssignLatin1AsUtf8(name.get_ref<std::string&>(), bytes);
  }
  return name;
}

void EntryJsonWriter::StartContainer(const std::string& file) {
  container_ = "{\"container\":";
  if (!AppendPrintableAscii(container_, file)) {
    container_ += TextJson(file).dump();
  }
  container_ += ',';
}

void EntryJsonWriter::WriteUnreadable(const std::string& problem) {
  std::string& text = output_.text();
  StartObject(text, first_);
  text += container_;
  text +=
      "\"index\":null,\"name\":null,\"record_offset\":null,"
      "\"header_offset\":null,\"header_size\":null,\"body_offset\":null,"
      "\"body_size\":null,\"problems\":";
  text += Json::array({TextJson(problem)}).dump();
  text += '}';
  output_.Appended();
}

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
  StartObject(text, first_);
  text += container_;
  char members[6 * kMemberRoom];
  text.append(members, PutMember(members, "\"index\":", entry.Index));
  text += ",\"name\":";
  if (entry.NameLost) {
    text += "null";
  } else if (!AppendPrintableAscii(text, entry.Name)) {
    text += TextJson(entry.Name).dump();
  }
  // The numbers after the name, gathered and appended at once.
  char* end = members;
  end = PutMember(end, ",\"record_offset\":", entry.RecordOffset);
  end = PutMember(end, ",\"header_offset\":", entry.Record.HeaderOffset);
  end = PutMember(end, ",\"header_size\":", entry.Record.HeaderSize);
  end = PutMember(end, ",\"body_offset\":", entry.Record.BodyOffset);
  end = PutMember(end, ",\"body_size\":", entry.Record.BodySize);
  text.append(members, end);
  text += ",\"problems\":";
  if (problems.empty()) {
    text += "[]";
  } else {
    Json list = Json::array();
    for (const std::string& problem : problems) {
      list.push_back(TextJson(problem));
    }
    text += list.dump();
  }
  text += '}';
  output_.Appended();
}

}  // namespace brimwald
