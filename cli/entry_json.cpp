#include "cli/entry_json.h"

#include <charconv>
#include <nlohmann/json.hpp>

namespace brimwald {
namespace {

using Json = nlohmann::json;

constexpr const char* kKeys[] = {
    "index",       "name",        "record_offset", "header_offset",
    "header_size", "body_offset", "body_size",     "problems"};

// `text` as a JSON string.
std::string Quoted(const std::string& text) { return Json(text).dump(); }

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

void AppendNumber(std::string& out, int64_t value) {
  char digits[24];
  auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

}  // namespace

// Every object has the same members in the same order, so the text between
// the values ({"index": and so on) is serialised once; nlohmann serialises
// every string value. This keeps a listing of many entries fast.
struct EntryJsonWriter::Object {
  Object() {
    for (const char* key : kKeys) {
      keys.push_back((keys.empty() ? "{" : ",") + Quoted(key) + ":");
    }
  }
  std::vector<std::string> keys;
  std::string name;
  std::string text;
};

EntryJsonWriter::EntryJsonWriter(std::ostream& out)
    : out_(out), object_(std::make_unique<Object>()) {
  out_ << '[';
}

EntryJsonWriter::~EntryJsonWriter() { out_ << (first_ ? "]\n" : "\n]\n"); }

void EntryJsonWriter::Write(const TableEntry& entry,
                            const std::vector<std::string>& problems) {
  Object& o = *object_;
  o.text.assign(first_ ? "\n" : ",\n");
  first_ = false;
  auto number = [&](size_t key, int64_t value) {
    o.text += o.keys[key];
    AppendNumber(o.text, value);
  };
  number(0, entry.Index);
  o.name.clear();
  AppendLatin1AsUtf8(o.name, entry.Name);
  o.text += o.keys[1];
  o.text += Json(o.name).dump();
  number(2, entry.RecordOffset);
  number(3, entry.Record.HeaderOffset);
  number(4, entry.Record.HeaderSize);
  number(5, entry.Record.BodyOffset);
  number(6, entry.Record.BodySize);
  o.text += o.keys[7];
  if (problems.empty()) {
    o.text += "[]";
  } else {
    o.text += Json(problems).dump();
  }
  o.text += '}';
  out_ << o.text;
}

}  // namespace brimwald
