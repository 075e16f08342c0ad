#include "names/entry_name.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace brimwald {
namespace {

constexpr std::string_view kWav = ".wav";

constexpr bool IsUnsafeByte(unsigned char byte) {
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

// Steps 3 and 4: what each byte becomes.
constexpr std::array<char, 256> kRewritten = [] {
  std::array<char, 256> table{};
  for (size_t byte = 0; byte < table.size(); ++byte) {
    bool unsafe = IsUnsafeByte(static_cast<unsigned char>(byte));
    table[byte] = unsafe ? '_' : static_cast<char>(byte);
  }
  table['/'] = '\\';
  return table;
}();

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view upper) {
  return text.size() == upper.size() &&
         std::equal(text.begin(), text.end(), upper.begin(),
                    [](char a, char b) { return AsciiUpper(a) == b; });
}

bool IsOnlyDotsAndSpaces(std::string_view part) {
  return !part.empty() && std::all_of(part.begin(), part.end(), [](char c) {
    return c == '.' || c == ' ';
  });
}

// Step 5 for the part of `name` from `start` to `end`; returns how many
// bytes it added.
size_t MakePartSafe(std::string& name, size_t start, size_t end) {
  std::string_view part(name.data() + start, end - start);
  if (part.empty()) return 0;
  if ((part[0] == '.' || part[0] == ' ') && IsOnlyDotsAndSpaces(part)) {
    std::fill(name.begin() + static_cast<std::ptrdiff_t>(start),
              name.begin() + static_cast<std::ptrdiff_t>(end), '_');
  } else if (IsDeviceName(part)) {
    name.insert(start, 1, '_');
    return 1;
  }
  return 0;
}

}  // namespace

bool IsDeviceName(std::string_view part) {
  // Every device name starts with one of these letters; most parts don't,
  // and are settled without a look further.
  switch (part.empty() ? '\0' : AsciiUpper(part[0])) {
    case 'A':
    case 'C':
    case 'L':
    case 'N':
    case 'P':
      break;
    default:
      return false;
  }
  std::string_view stem = part.substr(0, part.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  static constexpr std::string_view kDevices[] = {"CON", "PRN",    "AUX",
                                                  "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kDevices) {
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

// Steps 1 to 4 byte by byte, and step 5 for each part as it ends: one pass,
// since a listing normalises every name of a large table. The name is
// written into room made beforehand: the steps before 5 only shorten it, and
// step 5 makes its own room.
void NormaliseEntryName(std::string_view window, std::string& entry_name) {
  std::string_view name = window.substr(0, window.find('\0'));
  entry_name.resize(name.size());
  char* out = entry_name.data();
  size_t length = 0;
  size_t part = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = kRewritten[static_cast<unsigned char>(name[i])];
    if (c == '.' && name.compare(i, kWav.size(), kWav) == 0) {
      i += kWav.size() - 1;
      continue;
    }
    if (c == '\\') {
      length += MakePartSafe(entry_name, part, length);
      out = entry_name.data();
      part = length + 1;
    }
    out[length++] = c;
  }
  length += MakePartSafe(entry_name, part, length);
  entry_name.resize(length);
}

std::string NormaliseEntryName(std::string_view window) {
  std::string entry_name;
  NormaliseEntryName(window, entry_name);
  return entry_name;
}

}  // namespace brimwald
