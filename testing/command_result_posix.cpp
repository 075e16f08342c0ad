#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "testing/command_result.h"
#include "testing/temp_dir.h"

namespace brimwald::testing {

CommandResult RunProgram(const std::string& program,
                         const std::vector<std::string>& args,
                         const std::string& directory, OutputForm) {
  TempDir capture;
  const std::string out = capture.File("out");
  const std::string err = capture.File("err");
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("cannot start " + program);
  if (child == 0) {
    // Only calls that are safe between fork and exec.
    int out_handle = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err_handle = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out_handle < 0 || err_handle < 0 ||
        ::dup2(out_handle, STDOUT_FILENO) < 0 ||
        ::dup2(err_handle, STDERR_FILENO) < 0 ||
        (!directory.empty() && ::chdir(directory.c_str()) != 0)) {
      ::_exit(127);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("cannot wait for " + program);
  }
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out),
          ReadFile(err)};
}

std::optional<std::string> CommandInterpreter() { return std::nullopt; }

}  // namespace brimwald::testing
