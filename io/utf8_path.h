// std::filesystem paths to and from the core's names, which are UTF-8 on
// Windows. A path made straight from a std::string takes it in the ANSI
// code page there, which garbles every name outside that code page;
// elsewhere the bytes pass unchanged either way.

#ifndef BRIMWALD_IO_UTF8_PATH_H_
#define BRIMWALD_IO_UTF8_PATH_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace brimwald {

/// The path named by `name`.
inline std::filesystem::path PathFromUtf8(std::string_view name) {
  return std::filesystem::path(std::u8string_view(
      reinterpret_cast<const char8_t*>(name.data()), name.size()));
}

/// The name of `path`, as the core keeps names.
inline std::string Utf8FromPath(const std::filesystem::path& path) {
  std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}

}  // namespace brimwald

#endif  // BRIMWALD_IO_UTF8_PATH_H_
