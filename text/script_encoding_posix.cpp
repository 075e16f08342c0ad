#include "text/script_encoding.h"

namespace brimwald {

std::optional<std::string> EncodeForScript(std::string_view name) {
  return std::string(name);
}

std::string DecodeFromScript(std::string_view bytes) {
  return std::string(bytes);
}

void DecodeFromScript(std::string_view bytes, std::string& name) {
  name.assign(bytes);
}

std::string ScriptCodePage() { return "the system's bytes"; }

}  // namespace brimwald
