#include "cli/report_json.h"

#include <utility>

#include "cli/entry_json.h"

namespace brimwald {
namespace {

using Json = nlohmann::ordered_json;
using Kind = VerifyFinding::Kind;

// `text` as TextJson() writes it, null when empty.
Json TextOrNull(const std::string& text) {
  return text.empty() ? Json(nullptr) : TextJson(text);
}

Json ErrorOrNull(const std::optional<Error>& error) {
  return error ? TextJson(error->what()) : Json(nullptr);
}

Json TextList(const std::vector<std::string>& texts) {
  Json list = Json::array();
  for (const std::string& text : texts) list.push_back(TextJson(text));
  return list;
}

}  // namespace

JsonArrayOutput::JsonArrayOutput(std::ostream& out) : out_(out) { out_ << '['; }

JsonArrayOutput::~JsonArrayOutput() { out_ << (first_ ? "]\n" : "\n]\n"); }

void JsonArrayOutput::Write(const Json& value) {
  out_ << (first_ ? "\n" : ",\n") << value.dump();
  first_ = false;
}

Json FailedFileJson(const std::string& file, const std::string& error) {
  return {{"container", TextJson(file)}, {"error", TextJson(error)}};
}

Json InspectJson(const std::string& file, const Selection& selection) {
  Json vfs_start = nullptr, file_count = nullptr;
  if (selection.Passed) {
    vfs_start = selection.VfsStart;
    file_count = selection.FileCount;
  }
  return {{"container", TextJson(file)},
          {"valid", selection.Passed},
          {"vfs_start", vfs_start},
          {"file_count", file_count}};
}

Json FindingJson(const VerifyFinding& finding) {
  Json json = {{"kind", KindName(finding.kind)},
               {"path", TextOrNull(finding.path)},
               {"index", nullptr},
               {"name", nullptr}};
  if (finding.index >= 0) {
    json["index"] = finding.index;
    if (!finding.name_lost) json["name"] = TextJson(finding.name);
  }
  if (finding.kind == Kind::kDiffers) {
    json["offset"] = finding.offset;
    json["size"] = finding.size;
    json["expected_size"] = finding.expected_size;
  }
  if (finding.kind == Kind::kDuplicate) json["other"] = TextJson(finding.other);
  json["why"] = TextOrNull(finding.why);
  return json;
}

Json VerifyJson::Result(const std::string& file,
                        const VerifyResult& result) const {
  return {{"container", TextJson(file)},
          {"folder", TextJson(result.folder)},
          {"folder_missing", result.folder_missing},
          {"checked", result.checked},
          {"problems", result.problems},
          {"not_compared", result.notes},
          {"findings", findings_},
          {"error", ErrorOrNull(result.table_error)}};
}

Json FailedEntryJson(const TableEntry& entry, const Error& error) {
  return {{"index", entry.Index},
          {"name", entry.NameLost ? Json(nullptr) : TextJson(entry.Name)},
          {"error", TextJson(error.what())}};
}

Json ExtractJson(const std::string& file, const ExtractResult& result,
                 Json failures, bool interrupted) {
  return {{"container", TextJson(file)},
          {"folder", TextJson(result.folder)},
          {"written", result.written},
          {"replaced", result.replaced},
          {"failed", result.failed},
          {"failures", std::move(failures)},
          {"error", ErrorOrNull(result.table_error)},
          {"interrupted", interrupted}};
}

Json UpdateJson(const std::string& file, const UpdateResult& result,
                bool dry_run) {
  Json replaced = Json::array();
  for (size_t i = 0; i < result.replaced.size(); ++i) {
    const ReplacedEntry& entry = result.replaced[i];
    Json json = {{"index", entry.index},
                 {"name", TextJson(entry.name)},
                 {"file", i < result.files.size() ? TextJson(result.files[i])
                                                  : Json(nullptr)},
                 {"header_appended", entry.header_appended},
                 {"header_offset", entry.header_offset},
                 {"body_appended", entry.body_appended},
                 {"body_offset", entry.body_offset}};
    replaced.push_back(std::move(json));
  }
  Json left_alone = Json::array();
  for (const VerifyFinding& finding : result.others) {
    left_alone.push_back(FindingJson(finding));
  }
  return {{"container", TextJson(file)},
          {"folder", TextJson(result.folder)},
          {"dry_run", dry_run},
          {"written", result.written},
          {"complete", result.Complete()},
          {"replaced", std::move(replaced)},
          {"left_alone", std::move(left_alone)},
          {"refusals", TextList(result.refusals)},
          {"unsettled", TextList(result.unsettled)}};
}

}  // namespace brimwald
