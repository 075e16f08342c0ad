// Times the system calls that writing 20,000 small files in 100 folders
// costs, and nothing else: the extraction's calls for an entry in a known
// folder (the folder found in one openat2 as a path handle, an unnamed
// O_TMPFILE file, its write, its linkat into the folder, two closes)
// against those `tar -xf` makes for a file of its archive (the file made
// by its path, its write, its times, owner and mode, one close), each in
// its own order: the table's, whose entries take turns among the folders,
// and the archive's, a folder's files together. The difference is what
// the extraction's safety and order cost in the kernel: no name before
// the file is whole, no folder kept from one entry to the next, and the
// table's order, which the extraction keeps.
//
// Usage: call_floor FOLDER ROUNDS
// Prints "OURS_MS TAR_MS RATIO": the medians over ROUNDS alternating
// rounds, the ratio the median of the rounds' own ratios. Linux only.

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 20000;
constexpr int kFolders = 100;
constexpr size_t kFileSize = 600;  // about an entry of the bench's tree

void Fail(const char* what) {
  std::perror(what);
  std::exit(1);
}

// An empty folder `path` with the 100 sub-folders of EXT; its handle.
int FreshTree(const std::string& path) {
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path + "/EXT");
  for (int folder = 0; folder < kFolders; ++folder) {
    std::filesystem::create_directory(path + "/EXT/folder" +
                                      std::to_string(folder));
  }
  int root = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (root < 0) Fail(path.c_str());
  return root;
}

// The folder of the extraction's file `i`, interleaved as a game's table
// is: the extraction writes in table order.
std::string TableFolderOf(int i) {
  return "EXT/folder" + std::to_string(i * 37 % kFolders);
}

// The folder of tar's file `i`: its archive holds a folder's files
// together, as `tar -c` of the extracted tree found them.
std::string ArchiveFolderOf(int i) {
  return "EXT/folder" + std::to_string(i / (kFiles / kFolders));
}

void WriteAll(int handle, const std::vector<char>& bytes) {
  if (::write(handle, bytes.data(), bytes.size()) !=
      static_cast<ssize_t>(bytes.size())) {
    Fail("write");
  }
}

void OursFor(int root, int i, const std::vector<char>& bytes) {
  open_how how = {};
  how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
  const std::string folder_path = TableFolderOf(i);
  auto folder = static_cast<int>(
      ::syscall(SYS_openat2, root, folder_path.c_str(), &how, sizeof how));
  if (folder < 0) Fail("openat2");
  int file = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (file < 0) Fail("openat O_TMPFILE");
  WriteAll(file, bytes);
  const std::string name = "stream" + std::to_string(i) + ".qvstr";
  if (::linkat(file, "", folder, name.c_str(), AT_EMPTY_PATH) != 0) {
    Fail("linkat");
  }
  ::close(file);
  ::close(folder);
}

void TarFor(int root, int i, const std::vector<char>& bytes) {
  const std::string path =
      ArchiveFolderOf(i) + "/stream" + std::to_string(i) + ".qvstr";
  int file = ::openat(
      root, path.c_str(),
      O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, 0600);
  if (file < 0) Fail("openat");
  WriteAll(file, bytes);
  const timespec times[2] = {{0, UTIME_OMIT}, {0, 0}};
  if (::futimens(file, times) != 0 ||
      ::fchown(file, ::getuid(), ::getgid()) != 0 ||
      ::fchmod(file, 0644) != 0) {
    Fail("metadata");
  }
  ::close(file);
}

// Milliseconds to write every file one way into a fresh tree.
template <typename Way>
double Time(const std::string& path, Way way) {
  const int root = FreshTree(path);
  const std::vector<char> bytes(kFileSize, 'x');
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kFiles; ++i) way(root, i, bytes);
  const std::chrono::duration<double, std::milli> took =
      std::chrono::steady_clock::now() - start;
  ::close(root);
  return took.count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: call_floor FOLDER ROUNDS\n");
    return 2;
  }
  const std::string path = argv[1];
  const int rounds = std::max(1, std::atoi(argv[2]));
  std::vector<double> ours, tar, ratios;
  for (int round = 0; round < rounds; ++round) {
    ours.push_back(Time(path, OursFor));
    tar.push_back(Time(path, TarFor));
    ratios.push_back(ours.back() / tar.back());
  }
  std::filesystem::remove_all(path);
  std::printf("%.1f %.1f %.2f\n", Median(ours), Median(tar), Median(ratios));
  return 0;
}
