// The JSON form of `list --json`: one array of entry objects, written a
// chunk at a time as the walk goes, so that memory stays flat for tables of
// any size.

#ifndef BRIMWALD_CLI_ENTRY_JSON_H_
#define BRIMWALD_CLI_ENTRY_JSON_H_

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "io/chunked_output.h"
#include "table/table_walk.h"

namespace brimwald {

class EntryJsonWriter {
 public:
  /// Starts the array on `out`.
  explicit EntryJsonWriter(std::ostream& out);
  /// Ends the array and writes what is still held back.
  ~EntryJsonWriter();
  EntryJsonWriter(const EntryJsonWriter&) = delete;
  EntryJsonWriter& operator=(const EntryJsonWriter&) = delete;

  /// Writes `entry` as {"index", "name", "record_offset", "header_offset",
  /// "header_size", "body_offset", "body_size", "problems"}; the name's
  /// bytes are read as Latin-1, so the output is always valid UTF-8; a name
  /// that couldn't be read is null.
  void Write(const TableEntry& entry, const std::vector<std::string>& problems);

 private:
  ChunkedOutput output_;
  // One JSON string whose room every name reuses.
  nlohmann::json name_ = std::string();
  bool first_ = true;
};

}  // namespace brimwald

#endif  // BRIMWALD_CLI_ENTRY_JSON_H_
