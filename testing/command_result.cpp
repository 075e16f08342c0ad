#include "testing/command_result.h"

#include <sys/wait.h>

#include <cstdlib>

namespace brimwald::testing {

std::string ShellWord(const std::string& text) {
  std::string word = "'";
  for (char c : text) {
    if (c == '\'') {
      word += "'\\''";
    } else {
      word += c;
    }
  }
  return word + "'";
}

int ExitStatusOf(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace brimwald::testing
