#include "io/console_output.h"

namespace brimwald {
namespace {

constexpr std::string_view kStretchEnds = " \t'\"\r\n";

// The length of the UTF-8 character at the start of `text`, or 0 when
// there is none: no overlong form, no surrogate, nothing past U+10FFFF.
size_t Utf8Length(std::string_view text) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

bool IsUtf8(std::string_view text) {
  while (!text.empty()) {
    size_t length = Utf8Length(text);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

}  // namespace

std::string TextForConsole(std::string_view bytes, DecodeBytes decode) {
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    size_t end = bytes.find_first_of(kStretchEnds);
    if (end == 0) end = 1;  // the end itself
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view stretch = bytes.substr(0, end);
    if (IsUtf8(stretch)) {
      text += stretch;
    } else {
      text += decode(stretch);
    }
    bytes.remove_prefix(end);
  }
  return text;
}

}  // namespace brimwald
