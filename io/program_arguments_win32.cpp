#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <memory>

#include "io/program_arguments.h"
#include "text/wide_text.h"

namespace brimwald {

std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  std::unique_ptr<LPWSTR, decltype(&::LocalFree)> wide(
      ::CommandLineToArgvW(::GetCommandLineW(), &count), ::LocalFree);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i) args.push_back(Narrow(wide.get()[i]));
  return args;
}

}  // namespace brimwald
