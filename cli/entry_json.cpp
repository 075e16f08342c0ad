#include "cli/entry_json.h"

#include <nlohmann/json.hpp>

namespace brimwald {

using Json = nlohmann::ordered_json;

// One object, reused for every entry: its members are assigned in place, so
// a listing of many entries allocates little.
struct EntryJsonWriter::Object {
  Object()
      : json{{"index", 0},         {"name", ""},
             {"record_offset", 0}, {"header_offset", 0},
             {"header_size", 0},   {"body_offset", 0},
             {"body_size", 0},     {"problems", Json::array()}},
        index(json["index"]),
        name(json["name"].get_ref<Json::string_t&>()),
        record_offset(json["record_offset"]),
        header_offset(json["header_offset"]),
        header_size(json["header_size"]),
        body_offset(json["body_offset"]),
        body_size(json["body_size"]),
        problems(json["problems"].get_ref<Json::array_t&>()) {}

  Json json;
  Json& index;
  Json::string_t& name;
  Json& record_offset;
  Json& header_offset;
  Json& header_size;
  Json& body_offset;
  Json& body_size;
  Json::array_t& problems;
  std::string text;
};

namespace {

void AppendLatin1AsUtf8(std::string& text, std::string_view bytes) {
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

}  // namespace

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string text;
  AppendLatin1AsUtf8(text, bytes);
  return text;
}

EntryJsonWriter::EntryJsonWriter(std::ostream& out)
    : out_(out), object_(std::make_unique<Object>()) {
  out_ << '[';
}

EntryJsonWriter::~EntryJsonWriter() { out_ << (first_ ? "]\n" : "\n]\n"); }

void EntryJsonWriter::Write(const TableEntry& entry,
                            const std::vector<std::string>& problems) {
  Object& o = *object_;
  o.index = entry.Index;
  o.name.clear();
  AppendLatin1AsUtf8(o.name, entry.Name);
  o.record_offset = entry.RecordOffset;
  o.header_offset = entry.Record.HeaderOffset;
  o.header_size = entry.Record.HeaderSize;
  o.body_offset = entry.Record.BodyOffset;
  o.body_size = entry.Record.BodySize;
  o.problems.clear();
  for (const std::string& problem : problems) o.problems.emplace_back(problem);
  o.text = o.json.dump();
  out_ << (first_ ? "\n" : ",\n") << o.text;
  first_ = false;
}

}  // namespace brimwald
