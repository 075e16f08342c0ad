// Where the core's UTF-8 names meet the wide-character (UTF-16) Windows API:
// names go wide on their way into the system and come back as UTF-8, so
// that every name works whatever the system's code pages. Windows only.

#ifndef BRIMWALD_TEXT_WIDE_TEXT_H_
#define BRIMWALD_TEXT_WIDE_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

namespace brimwald {

/// `utf8` as UTF-16; a byte that isn't part of UTF-8 becomes U+FFFD.
std::wstring Widen(std::string_view utf8);

/// `utf8` as UTF-16; nothing when it isn't UTF-8 throughout.
std::optional<std::wstring> WidenStrictly(std::string_view utf8);

/// `wide` as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view wide);

/// The path `utf8` for the wide-character file functions. A path too long
/// for the classic 260-character limit is made absolute and given the
/// "\\?\" prefix that lifts the limit; a shorter one is passed as it is, so
/// that the system reads it the usual way.
std::wstring NativePath(std::string_view utf8);

/// `path` made absolute against the current folder, as the system reads it.
std::wstring AbsolutePath(const std::wstring& path);

}  // namespace brimwald

#endif  // BRIMWALD_TEXT_WIDE_TEXT_H_
