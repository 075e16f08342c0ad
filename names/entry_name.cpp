#include "names/entry_name.h"

#include <algorithm>

namespace brimwald {
namespace {

constexpr std::string_view kWav = ".wav";

bool IsUnsafeByte(unsigned char byte) {
  switch (byte) {
    case '"':
    case '<':
    case '>':
    case '|':
    case '?':
    case '*':
    case ':':
      return true;
    default:
      return byte < 0x20;
  }
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view upper) {
  return text.size() == upper.size() &&
         std::equal(text.begin(), text.end(), upper.begin(),
                    [](char a, char b) { return AsciiUpper(a) == b; });
}

bool IsOnlyDotsAndSpaces(std::string_view part) {
  return !part.empty() &&
         part.find_first_not_of(". ") == std::string_view::npos;
}

// Steps 1 to 4, into `out`.
void RewriteBytes(std::string_view window, std::string& out) {
  std::string_view name = window.substr(0, window.find('\0'));
  out.clear();
  for (size_t i = 0; i < name.size(); ++i) {
    if (name.compare(i, kWav.size(), kWav) == 0) {
      i += kWav.size() - 1;
      continue;
    }
    auto byte = static_cast<unsigned char>(name[i]);
    if (byte == '/') {
      out.push_back('\\');
    } else {
      out.push_back(IsUnsafeByte(byte) ? '_' : name[i]);
    }
  }
}

// Step 5 for the part of `name` that starts at `start` and runs `length`
// bytes; returns the part's length afterwards.
size_t MakePartSafe(std::string& name, size_t start, size_t length) {
  std::string_view part(name.data() + start, length);
  if (IsOnlyDotsAndSpaces(part)) {
    name.replace(start, length, length, '_');
  } else if (IsDeviceName(part)) {
    name.insert(start, 1, '_');
    ++length;
  }
  return length;
}

}  // namespace

bool IsDeviceName(std::string_view part) {
  std::string_view stem = part.substr(0, part.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (std::string_view device :
       {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (EqualsIgnoringAsciiCase(stem, device)) return true;
  }
  if (stem.size() != 4) return false;
  if (!EqualsIgnoringAsciiCase(stem.substr(0, 3), "COM") &&
      !EqualsIgnoringAsciiCase(stem.substr(0, 3), "LPT")) {
    return false;
  }
  auto last = static_cast<unsigned char>(stem[3]);
  return (last >= '0' && last <= '9') || last >= 0x80;
}

void NormaliseEntryName(std::string_view window, std::string& entry_name) {
  RewriteBytes(window, entry_name);
  size_t start = 0;
  while (true) {
    size_t separator = entry_name.find('\\', start);
    size_t end = separator == std::string::npos ? entry_name.size() : separator;
    start += MakePartSafe(entry_name, start, end - start);
    if (start == entry_name.size()) break;
    ++start;  // past the separator
  }
}

std::string NormaliseEntryName(std::string_view window) {
  std::string entry_name;
  NormaliseEntryName(window, entry_name);
  return entry_name;
}

}  // namespace brimwald
