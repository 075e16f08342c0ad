#include "testing/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "io/utf8_path.h"

namespace brimwald::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device seed;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate =
        fs::temp_directory_path() / ("brimwald-test-" + std::to_string(seed()));
    if (fs::create_directory(candidate)) {
      path_ = Utf8FromPath(candidate);
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(PathFromUtf8(path_), ignored);
}

std::vector<std::string> TempDir::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(PathFromUtf8(path_))) {
    names.push_back(Utf8FromPath(entry.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> TempDir::Tree() const {
  std::vector<std::string> paths;
  const fs::path top = PathFromUtf8(path_);
  for (const auto& entry : fs::recursive_directory_iterator(top)) {
    std::u8string generic =
        entry.path().lexically_relative(top).generic_u8string();
    std::string relative(generic.begin(), generic.end());
    if (entry.is_directory()) relative += '/';
    paths.push_back(std::move(relative));
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::map<std::string, std::string> TempDir::FilesBelow(
    const std::string& root) const {
  std::map<std::string, std::string> files;
  for (const std::string& path : Tree()) {
    if (path.starts_with(root) && !path.ends_with("/")) {
      files[path.substr(root.size())] = ReadFile(File(path));
    }
  }
  return files;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace brimwald::testing
