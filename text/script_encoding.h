// The bytes of a rip script as the command interpreter reads them.
//
// cmd reads a batch file in the console's code page, which on Windows is the
// OEM code page (437, 850, 932, ...), while the system names files in
// Unicode. So the Windows build writes the names of the container and of its
// EXT_ folder in that code page; entry names, bytes from the container,
// stand in the script unchanged and are read in that code page too. On
// other systems names are bytes throughout and pass unchanged both ways.

#ifndef BRIMWALD_TEXT_SCRIPT_ENCODING_H_
#define BRIMWALD_TEXT_SCRIPT_ENCODING_H_

#include <optional>
#include <string>
#include <string_view>

namespace brimwald {

/// The script's bytes for the file name `name`, as the system gives names
/// (UTF-8 on Windows); nothing when the script's code page can't hold it.
/// No look-alike stands in for a missing character: it would name another
/// file.
std::optional<std::string> EncodeForScript(std::string_view name);

/// The file name that the command interpreter makes of the script bytes
/// `bytes`, as the system gives names.
std::string DecodeFromScript(std::string_view bytes);

/// The same, into `name`, whose room is reused.
void DecodeFromScript(std::string_view bytes, std::string& name);

/// The script's code page, for messages: "the OEM code page 437".
std::string ScriptCodePage();

}  // namespace brimwald

#endif  // BRIMWALD_TEXT_SCRIPT_ENCODING_H_
