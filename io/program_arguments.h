#ifndef BRIMWALD_IO_PROGRAM_ARGUMENTS_H_
#define BRIMWALD_IO_PROGRAM_ARGUMENTS_H_

#include <string>
#include <vector>

namespace brimwald {

/// The arguments of a command-line program, without its name, given
/// main's `argc` and `argv`. On Windows they are read from the program's
/// wide command line and come as UTF-8, so that no name is lost to the ANSI
/// code page in which argv holds them; elsewhere they are argv's bytes.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace brimwald

#endif  // BRIMWALD_IO_PROGRAM_ARGUMENTS_H_
