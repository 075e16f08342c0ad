#include "cli/entry_failure.h"

namespace brimwald {
namespace {

// `message` without the container's name: see EntryFailureText().
std::string Reason(std::string_view message, std::string_view container_path,
                   int32_t index) {
  const std::string named = " '" + std::string(container_path) + "': ";
  const size_t at = message.find(named);
  // "<what>" is a few words, never a quoted name of its own.
  if (at == std::string_view::npos || at == 0 ||
      message.substr(0, at).find('\'') != std::string_view::npos) {
    return std::string(message);
  }
  const std::string_view what = message.substr(0, at);
  std::string_view why = message.substr(at + named.size());
  const std::string entry = "entry " + std::to_string(index) + ": ";
  if (what == "cannot read" && why.starts_with(entry)) {
    return std::string(why.substr(entry.size()));
  }
  return std::string(what) + ": " + std::string(why);
}

}  // namespace

std::string EntryFailureText(std::string_view file,
                             std::string_view container_path,
                             const TableEntry& entry, const Error& error) {
  std::string text = "'";
  text += file;
  text += "': entry " + std::to_string(entry.Index) + " '" + entry.Name +
          "': " + Reason(error.what(), container_path, entry.Index);
  return text;
}

}  // namespace brimwald
