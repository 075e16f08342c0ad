#include <windows.h>

#include <stdexcept>
#include <string>

#include "testing/command_result.h"
#include "testing/temp_dir.h"
#include "text/wide_text.h"

namespace brimwald::testing {
namespace {

// `arg` as one argument of a command line, in the quoting that programs'
// C runtimes undo (backslashes double only before a quote).
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return arg;
  }
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    quoted.push_back(c);
    backslashes = 0;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L'"';
}

// A file that the child writes as its standard output or error.
HANDLE Inheritable(const std::string& path) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE file =
      ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                    &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot create " + path);
  }
  return file;
}

// `text` with the C runtime's CR LF line ends as "\n", as elsewhere.
std::string UnixLines(std::string text) {
  size_t kept = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    text[kept++] = text[i];
  }
  text.resize(kept);
  return text;
}

}  // namespace

CommandResult RunProgram(const std::string& program,
                         const std::vector<std::string>& args,
                         const std::string& directory, OutputForm out_form) {
  TempDir capture;
  const std::string out = capture.File("out");
  const std::string err = capture.File("err");
  // A path is made absolute here, before the child's folder applies.
  std::wstring application = Widen(program);
  if (application.find_first_of(L"/\\") != std::wstring::npos) {
    application = AbsolutePath(application);
  }
  std::wstring command_line = Quoted(application);
  for (const std::string& arg : args) command_line += L' ' + Quoted(Widen(arg));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = Inheritable(out);
  startup.hStdError = Inheritable(err);
  std::wstring folder = Widen(directory);
  PROCESS_INFORMATION process;
  // Wine, under load, now and then fails to start a program that starts
  // the next time: a start is tried a few times before the test fails.
  BOOL started = FALSE;
  DWORD error = 0;
  for (int tries = 0; !started && tries < 3; ++tries) {
    if (tries > 0) ::Sleep(100);
    started = ::CreateProcessW(
        nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
        folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    if (!started) error = ::GetLastError();
  }
  ::CloseHandle(startup.hStdOutput);
  ::CloseHandle(startup.hStdError);
  if (!started) {
    throw std::runtime_error("cannot start " + program + " (error " +
                             std::to_string(error) + ")");
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  bool exited = ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  std::string out_bytes = ReadFile(out);
  return {exited ? static_cast<int>(status) : -1,
          out_form == OutputForm::kBytes ? out_bytes : UnixLines(out_bytes),
          UnixLines(ReadFile(err))};
}

std::optional<std::string> CommandInterpreter() {
  wchar_t system[MAX_PATH];
  UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "cmd.exe";
  return Narrow(std::wstring_view(system, length)) + "\\cmd.exe";
}

}  // namespace brimwald::testing
