#include <iostream>
#include <string>
#include <vector>

#include "io/console_output.h"
#include "io/interrupt.h"
#include "io/program_arguments.h"
#include "quarnel/quarnel.h"

int main(int argc, char** argv) {
  brimwald::RemoveTemporaryFilesOnInterrupt();
  std::vector<std::string> args = brimwald::ProgramArguments(argc, argv);
  std::ios::sync_with_stdio(false);
  brimwald::ConsoleOutput console;
  int status = brimwald::quarnel::RunQuarnel(args, std::cout, std::cerr);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "quarnel: cannot write to standard output\n";
    return 1;
  }
  return status;
}
