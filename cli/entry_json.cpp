#include "cli/entry_json.h"

#include <cstring>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string_view>

#include "io/chunked_output.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

using Json = nlohmann::json;

constexpr const char* kKeys[] = {
    "index",       "name",        "record_offset", "header_offset",
    "header_size", "body_offset", "body_size",     "problems"};

// `text` as a JSON string.
std::string Quoted(const std::string& text) { return Json(text).dump(); }

// `bytes` read as Latin-1, in UTF-8: bytes below 0x80 stay as they are, the
// others become two bytes each. Most names have none of the others.
void AssignLatin1AsUtf8(std::string& text, std::string_view bytes) {
  unsigned char seen = 0;
  for (char c : bytes) seen |= static_cast<unsigned char>(c);
  if (seen < 0x80) {
    text.assign(bytes);
    return;
  }
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

// A short fixed text kept with room to spare, so that it is copied with one
// fixed-size copy.
struct Fragment {
  static constexpr size_t kRoom = 32;
  explicit Fragment(std::string_view text) : size(text.size()) {
    if (size > kRoom) throw std::length_error("JSON fragment too long");
    std::memcpy(bytes, text.data(), size);
  }
  char bytes[kRoom] = {};
  size_t size;
};

// Text built on the stack and appended at once: an object's fixed text and
// numbers go to the output in two appends instead of a dozen.
class TextPiece {
 public:
  void Add(const Fragment& fragment) {
    std::memcpy(end_, fragment.bytes, Fragment::kRoom);
    end_ += fragment.size;
  }
  void AddNumber(int32_t value) { end_ = WriteDecimal(end_, value); }
  void AppendTo(std::string& out) const {
    out.append(bytes_, static_cast<size_t>(end_ - bytes_));
  }

 private:
  // Room for the longest: every fragment and five numbers, and what the
  // last of them may write past its end.
  char bytes_[512];
  char* end_ = bytes_;
};

}  // namespace

// Every object has the same members in the same order, so the text between
// the values ({"index": and so on) is serialised once. nlohmann serialises
// every string value, through one serializer that appends to the output
// text and one string value whose room is reused: a listing of many entries
// then allocates nothing per entry.
struct EntryJsonWriter::Object {
  explicit Object(std::ostream& out)
      : output(out),
        serializer(nlohmann::detail::output_adapter<char>(output.text()), ' '),
        name(std::string()) {
    for (const char* key : kKeys) {
      keys.emplace_back((keys.empty() ? "{" : ",") + Quoted(key) + ":");
    }
  }

  void AppendString(const Json& value) {
    serializer.dump(value, false, false, 0);
  }

  std::vector<Fragment> keys;
  Fragment first_break{"\n"};
  Fragment break_{",\n"};
  Fragment no_problems{"[]}"};
  ChunkedOutput output;
  nlohmann::detail::serializer<Json> serializer;
  Json name;
};

EntryJsonWriter::EntryJsonWriter(std::ostream& out)
    : object_(std::make_unique<Object>(out)) {
  object_->output.text() = '[';
}

EntryJsonWriter::~EntryJsonWriter() {
  object_->output.text() += first_ ? "]\n" : "\n]\n";
}

void EntryJsonWriter::Write(const TableEntry& entry,
                            const std::vector<std::string>& problems) {
  Object& o = *object_;
  std::string& text = o.output.text();
  TextPiece head;
  head.Add(first_ ? o.first_break : o.break_);
  first_ = false;
  head.Add(o.keys[0]);
  head.AddNumber(entry.Index);
  head.Add(o.keys[1]);
  head.AppendTo(text);
  auto& name = o.name.get_ref<std::string&>();
  AssignLatin1AsUtf8(name, entry.Name);
  o.AppendString(o.name);
  TextPiece tail;
  size_t key = 2;
  for (int32_t value :
       {entry.RecordOffset, entry.Record.HeaderOffset, entry.Record.HeaderSize,
        entry.Record.BodyOffset, entry.Record.BodySize}) {
    tail.Add(o.keys[key++]);
    tail.AddNumber(value);
  }
  tail.Add(o.keys[key]);
  if (problems.empty()) tail.Add(o.no_problems);
  tail.AppendTo(text);
  if (!problems.empty()) {
    o.AppendString(Json(problems));
    text += '}';
  }
  o.output.Appended();
}

}  // namespace brimwald
