#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "io/binary_output.h"
#include "io/console_output.h"
#include "io/interrupt.h"
#include "io/program_arguments.h"
#include "io/terminal.h"

int main(int argc, char** argv) {
  brimwald::RemoveTemporaryFilesOnInterrupt();
  std::vector<std::string> args = brimwald::ProgramArguments(argc, argv);
  std::ios::sync_with_stdio(false);
  brimwald::ConsoleOutput console;
  brimwald::StandardStreams streams;
  streams.progress_columns = brimwald::StandardErrorColumns();
  streams.out_is_terminal = brimwald::StandardOutputIsTerminal();
  streams.make_out_binary = brimwald::MakeStandardOutputBinary;
  int status = brimwald::RunCli(args, std::cout, std::cerr, streams);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "brimwald-ripper-cli: cannot write to standard output\n";
    return 1;
  }
  return status;
}
