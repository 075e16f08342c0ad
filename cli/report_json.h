// The JSON forms of what `inspect`, `verify`, `extract` and `update`
// report: the facts of their text output, every text as TextJson() writes
// it. A command of several files prints one array, an object a file.

#ifndef BRIMWALD_CLI_REPORT_JSON_H_
#define BRIMWALD_CLI_REPORT_JSON_H_

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "base/error.h"
#include "container/selection.h"
#include "extract/extract.h"
#include "replace/update.h"
#include "table/table_walk.h"
#include "verify/verify.h"

namespace brimwald {

/// A JSON array on a stream, its values written as they come: it opens
/// before any can fail and closes when the output goes.
class JsonArrayOutput {
 public:
  explicit JsonArrayOutput(std::ostream& out);
  ~JsonArrayOutput();
  JsonArrayOutput(const JsonArrayOutput&) = delete;
  JsonArrayOutput& operator=(const JsonArrayOutput&) = delete;

  void Write(const nlohmann::ordered_json& value);

 private:
  std::ostream& out_;
  bool first_ = true;
};

/// {"container", "error"}: the file whose command `error` ended before
/// anything else could be told.
nlohmann::ordered_json FailedFileJson(const std::string& file,
                                      const std::string& error);

/// {"container", "valid", "vfs_start", "file_count"}: the numbers null when
/// the file is not a container.
nlohmann::ordered_json InspectJson(const std::string& file,
                                   const Selection& selection);

/// {"kind", "path", "index", "name", ...}: `kind` one of "missing",
/// "differs", "unreadable", "stray", "link", "duplicate", "note"; "offset",
/// "size" and "expected_size" for a difference, "other" for a duplicate,
/// "why" where the finding has one; null for what it lacks.
nlohmann::ordered_json FindingJson(const VerifyFinding& finding);

/// Gathers the findings of a check as FindingJson() writes them.
class VerifyJson : public VerifyListener {
 public:
  void Found(const VerifyFinding& finding) override {
    findings_.push_back(FindingJson(finding));
  }

  /// {"container", "folder", "folder_missing", "checked", "problems",
  /// "not_compared", "findings", "error"}: the error that broke the table,
  /// or null.
  nlohmann::ordered_json Result(const std::string& file,
                                const VerifyResult& result) const;

 private:
  nlohmann::ordered_json findings_ = nlohmann::ordered_json::array();
};

/// {"index", "name", "error"}: an entry that could not be extracted.
nlohmann::ordered_json FailedEntryJson(const TableEntry& entry,
                                       const Error& error);

/// {"container", "folder", "written", "replaced", "failed", "failures",
/// "error", "interrupted"}: `failures` as FailedEntryJson() writes them,
/// "error" the error that broke the table, or null.
nlohmann::ordered_json ExtractJson(const std::string& file,
                                   const ExtractResult& result,
                                   nlohmann::ordered_json failures,
                                   bool interrupted);

/// {"container", "folder", "dry_run", "written", "complete", "replaced",
/// "left_alone", "refusals", "unsettled"}: "replaced" the entries with the
/// file each takes, "left_alone" what else the check found.
nlohmann::ordered_json UpdateJson(const std::string& file,
                                  const UpdateResult& result, bool dry_run);

}  // namespace brimwald

#endif  // BRIMWALD_CLI_REPORT_JSON_H_
