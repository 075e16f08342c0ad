#include "names/windows_path.h"

#include <algorithm>

#include "text/script_encoding.h"

namespace brimwald {
namespace {

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string_view TrimWindowsPart(std::string_view part) {
  size_t kept = part.find_last_not_of(". ");
  return kept == std::string_view::npos ? std::string_view()
                                        : part.substr(0, kept + 1);
}

std::string TrimWindowsParts(std::string_view path) {
  std::string trimmed;
  while (true) {
    size_t separator = path.find_first_of("\\/");
    std::string_view part = path.substr(0, separator);
    trimmed += part == "." || part == ".." ? part : TrimWindowsPart(part);
    if (separator == std::string_view::npos) return trimmed;
    trimmed += path[separator];
    path.remove_prefix(separator + 1);
  }
}

void SplitWindowsPath(std::string_view path,
                      std::vector<std::string_view>& parts) {
  parts.clear();
  while (true) {
    size_t separator = path.find('\\');
    std::string_view part = TrimWindowsPart(path.substr(0, separator));
    if (!part.empty()) parts.push_back(part);
    if (separator == std::string_view::npos) return;
    path.remove_prefix(separator + 1);
  }
}

std::string PartKey(std::string_view part) {
  std::string key;
  AppendPartKey(key, part);
  return key;
}

void AppendPartKey(std::string& key, std::string_view part) {
  const size_t at = key.size();
  key.resize(at + part.size());
  std::transform(part.begin(), part.end(),
                 key.begin() + static_cast<ptrdiff_t>(at), AsciiLower);
}

std::string EntryPathKey(std::string_view entry_name) {
  return EntryPathKeys().Of(entry_name);
}

void SplitEntryPath(std::string_view entry_name, std::string& decoded,
                    std::vector<std::string_view>& parts) {
  DecodeFromScript(entry_name, decoded);
  decoded += ".qvstr";
  SplitWindowsPath(decoded, parts);
}

const std::string& EntryPathKeys::Of(std::string_view entry_name) {
  SplitEntryPath(entry_name, path_, parts_);
  key_.clear();
  for (std::string_view part : parts_) {
    if (!key_.empty()) key_ += '\\';
    AppendPartKey(key_, part);
  }
  return key_;
}

}  // namespace brimwald
