// The JSON form of `list --json`: one array of entry objects, written a
// chunk at a time as the walk goes, so that memory stays flat for tables of
// any size and any number of containers.

#ifndef BRIMWALD_CLI_ENTRY_JSON_H_
#define BRIMWALD_CLI_ENTRY_JSON_H_

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "io/chunked_output.h"
#include "table/table_walk.h"

namespace brimwald {

/// `bytes` (a name, a path, a message naming either) as a JSON string: read
/// as UTF-8 where they are valid UTF-8, as Latin-1 otherwise, so that the
/// output is always valid UTF-8.
nlohmann::ordered_json TextJson(std::string_view bytes);

class EntryJsonWriter {
 public:
  /// Starts the array on `out`.
  explicit EntryJsonWriter(std::ostream& out);
  /// Ends the array and writes what is still held back.
  ~EntryJsonWriter();
  EntryJsonWriter(const EntryJsonWriter&) = delete;
  EntryJsonWriter& operator=(const EntryJsonWriter&) = delete;

  /// Names the container, `file` as given, that the entries written next
  /// belong to.
  void StartContainer(const std::string& file);

  /// Writes `entry` as {"container", "index", "name", "record_offset",
  /// "header_offset", "header_size", "body_offset", "body_size",
  /// "problems"}; the name as TextJson() writes it, null when it couldn't
  /// be read.
  void Write(const TableEntry& entry, const std::vector<std::string>& problems);

  /// Writes the entry that stands for what of the container can't be read:
  /// every member but "container" null, and `problem` its one problem.
  void WriteUnreadable(const std::string& problem);

  /// Writes what is held back, before a message on another stream.
  void Flush() { output_.Flush(); }

 private:
  ChunkedOutput output_;
  // `{"container":<file>,` of the container at hand: the start of every
  // object.
  std::string container_ = "{";
  bool first_ = true;
};

}  // namespace brimwald

#endif  // BRIMWALD_CLI_ENTRY_JSON_H_
