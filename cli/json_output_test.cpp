// Every command's JSON holds the facts of its text: each JSON output,
// written out again as the text commands write their facts, must give the
// text output of the same command on the same input.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli_test_support.h"
#include "cli/verify_report.h"
#include "extract/extract.h"
#include "samples/container_builder.h"
#include "testing/chosen_container.h"
#include "testing/temp_dir.h"
#include "text/text_format.h"

namespace brimwald {
namespace {

using Json = nlohmann::json;
using Kind = VerifyFinding::Kind;
using samples::ContainerBuilder;

// Runs in a fresh folder of its own, so that both runs name the same
// relative paths: music.str with a broken entry 2, plain.str that is no
// container, and an extracted tree where sfx/door differs, sfx/bell is
// missing and old.qvstr is stray.
testing::CommandResult RunInFreshFolder(const std::vector<std::string>& args) {
  testing::TempDir dir;
  ContainerBuilder builder =
      ContainerBuilder::WithEntries({{"sfx/door", "hd", "door"},
                                     {"sfx/bell", "hb", "bell"},
                                     {"x", "h", "b"}});
  builder.Int32(32 + 72 * 2 + 24, 1 << 20);  // entry 2's header is outside
  Selection music = testing::WriteChosen(builder, dir.path(), "music.str");
  testing::WriteFile(dir.File("plain.str"), "not a container");
  std::filesystem::create_directories(dir.File("EXT_music/sfx"));
  std::map<std::string, std::string> files = testing::ExtractedFiles(music);
  testing::WriteFile(
      dir.File("EXT_music/sfx/door.qvstr"),
      testing::EditedQvstr(files["sfx/door.qvstr"], "hd", "a longer door"));
  testing::WriteFile(dir.File("EXT_music/old.qvstr"), "stray");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  testing::CommandResult result = testing::RunCliWith(args);
  std::filesystem::current_path(before);
  return result;
}

// The finding that `json` describes, as the check made it.
VerifyFinding FindingOf(const Json& json) {
  static const std::map<std::string, Kind> kinds = {
      {"missing", Kind::kMissing},
      {"differs", Kind::kDiffers},
      {"unreadable", Kind::kUnreadable},
      {"stray", Kind::kStray},
      {"link", Kind::kLink},
      {"duplicate", Kind::kDuplicate},
      {"note", Kind::kNote}};
  VerifyFinding finding;
  finding.kind = kinds.at(json["kind"]);
  finding.path = json["path"].is_null() ? "" : json["path"];
  finding.index = json["index"].is_null() ? -1 : json["index"].get<int32_t>();
  finding.name_lost = json["name"].is_null();
  if (!finding.name_lost) finding.name = json["name"];
  if (!json["why"].is_null()) finding.why = json["why"];
  finding.offset = json.value("offset", int64_t{0});
  finding.size = json.value("size", int64_t{0});
  finding.expected_size = json.value("expected_size", int64_t{0});
  finding.other = json.value("other", "");
  return finding;
}

std::string Message(const std::string& text) {
  return "brimwald-ripper-cli: " + text + "\n";
}

std::string Where(const Json& entry, const std::string& piece) {
  return (entry[piece + "_appended"] ? "appended at 0x" : "kept at 0x") +
         HexText(entry[piece + "_offset"]);
}

// The text output, standard output and error, that the facts of one JSON
// output make.
struct Text {
  std::string out;
  std::string err;
};

void InspectText(const Json& files, Text& text) {
  for (const Json& file : files) {
    text.out += (text.out.empty() ? "" : "\n") + std::string("==> ") +
                file["container"].get<std::string>() + " <==\n";
    text.out += file["valid"]
                    ? "VFS Start at: 0x" + HexText(file["vfs_start"]) +
                          "\nIncluded Files: " + file["file_count"].dump() +
                          "\n"
                    : "Invalid File!!!\n";
  }
}

void ListText(const Json& entries, Text& text) {
  for (const Json& entry : entries) {
    if (entry["index"].is_null()) continue;
    text.out += entry["container"].get<std::string>() + "\t" +
                entry["index"].dump() + "\t" + entry["name"].get<std::string>();
    for (const char* key : {"record_offset", "header_offset", "header_size",
                            "body_offset", "body_size"}) {
      text.out += "\t" + entry[key].dump();
    }
    text.out += "\n";
  }
}

void ExtractText(const Json& files, Text& text) {
  for (const Json& file : files) {
    if (!file.contains("folder")) {
      text.err += Message(file["error"]);
      continue;
    }
    for (const Json& failure : file["failures"]) {
      text.err += Message(failure["error"]);
    }
    ExtractResult result;
    result.written = file["written"];
    result.replaced = file["replaced"];
    text.out += file["folder"].get<std::string>() + ": " + WrittenText(result);
    if (file["failed"] > 0) {
      text.out +=
          ", " + CountText(file["failed"], "entry", "entries") + " failed";
    }
    text.out += "\n";
  }
}

void VerifyText(const Json& files, Text& text) {
  for (const Json& file : files) {
    for (const Json& finding : file["findings"]) {
      text.out += FindingLine(FindingOf(finding)) + "\n";
    }
    VerifyResult result;
    result.folder = file["folder"];
    result.folder_missing = file["folder_missing"];
    result.checked = file["checked"];
    result.problems = file["problems"];
    result.notes = file["not_compared"];
    text.out += VerifyReport::Summary(result) + "\n";
  }
}

void UpdateText(const Json& update, Text& text) {
  for (const Json& finding : update["left_alone"]) {
    text.err += Message(FindingLine(FindingOf(finding)) +
                        (finding["kind"] == "note" ? "" : "; left alone"));
  }
  for (const Json& entry : update["replaced"]) {
    text.out += "entry " + entry["index"].dump() + " '" +
                entry["name"].get<std::string>() + "': header " +
                Where(entry, "header") + ", body " + Where(entry, "body") +
                "\n";
  }
  text.out += update["folder"].get<std::string>() + ": " +
              CountText(static_cast<int64_t>(update["replaced"].size()),
                        "entry", "entries") +
              (update["dry_run"] ? " would be replaced (dry run: nothing "
                                   "written)\n"
                                 : " replaced\n");
}

TEST(JsonOutputTest, EveryJsonHoldsTheFactsOfItsText) {
  struct Case {
    std::vector<std::string> args;  // without --json, which follows args[0]
    std::function<void(const Json&, Text&)> text_of;
  };
  for (const Case& c : std::vector<Case>{
           {{"inspect", "music.str", "plain.str"}, InspectText},
           {{"list", "music.str", "plain.str"}, ListText},
           {{"extract", "music.str", "plain.str"}, ExtractText},
           {{"verify", "music.str"}, VerifyText},
           {{"update", "--dry-run", "music.str"}, UpdateText},
           {{"update", "music.str"}, UpdateText},
       }) {
    const std::string command = c.args[0] + " " + c.args[1];
    testing::CommandResult text = RunInFreshFolder(c.args);
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1, "--json");
    testing::CommandResult json = RunInFreshFolder(args);
    Text facts;
    c.text_of(Json::parse(json.out), facts);
    EXPECT_EQ(json.status, text.status) << command;
    EXPECT_EQ(facts.out, text.out) << command;
    if (c.args[0] != "list") {
      EXPECT_EQ(facts.err, text.err) << command;
    }
    EXPECT_NE(text.status, 0) << command;  // every one found something
  }
}

}  // namespace
}  // namespace brimwald
