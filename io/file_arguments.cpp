#include "io/file_arguments.h"

#include "base/error.h"

namespace brimwald {

std::vector<std::string> ExpandFileArguments(
    const std::vector<std::string>& arguments) {
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    for (std::string& file : ExpandFileArgument(argument)) {
      files.push_back(std::move(file));
    }
  }
  return files;
}

std::string ExpandOneFileArgument(const std::string& argument,
                                  const std::string& what) {
  std::vector<std::string> files = ExpandFileArgument(argument);
  if (files.size() > 1) {
    throw Error(ErrorKind::kUsage, what + " '" + argument + "' matches " +
                                       std::to_string(files.size()) +
                                       " files; name one");
  }
  return files.front();
}

}  // namespace brimwald
