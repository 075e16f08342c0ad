#include <windows.h>

#include "text/script_encoding.h"
#include "text/wide_text.h"

namespace brimwald {
namespace {

// cmd's own default; a console changed with chcp is the user's choice, made
// after the script was written.
UINT CodePage() { return ::GetOEMCP(); }

std::wstring Decode(UINT code_page, std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  int size = static_cast<int>(bytes.size());
  int length =
      ::MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(code_page, 0, bytes.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

std::optional<std::string> EncodeForScript(std::string_view name) {
  std::optional<std::wstring> wide = WidenStrictly(name);
  if (!wide) return std::nullopt;
  UINT code_page = CodePage();
  if (code_page == CP_UTF8 || wide->empty()) return std::string(name);
  int size = static_cast<int>(wide->size());
  BOOL used_default = FALSE;
  int length =
      ::WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide->data(), size,
                            nullptr, 0, nullptr, &used_default);
  if (length <= 0 || used_default) return std::nullopt;
  std::string bytes(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide->data(), size,
                        bytes.data(), length, nullptr, &used_default);
  // Some code pages map more than one character to the same bytes; only a
  // name that reads back as itself is the same file to the interpreter.
  if (used_default || Decode(code_page, bytes) != *wide) return std::nullopt;
  return bytes;
}

std::string DecodeFromScript(std::string_view bytes) {
  return Narrow(Decode(CodePage(), bytes));
}

void DecodeFromScript(std::string_view bytes, std::string& name) {
  name = DecodeFromScript(bytes);
}

std::string ScriptCodePage() {
  return "the OEM code page " + std::to_string(CodePage());
}

}  // namespace brimwald
