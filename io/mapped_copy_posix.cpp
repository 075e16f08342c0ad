#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

#include "io/mapped_copy.h"

namespace brimwald {
namespace {

// Large enough that mapping costs little per byte, small enough that the
// mapped pages don't weigh on the process's memory.
constexpr int64_t kWindow = 8 * 1024 * 1024;

int64_t PageSize() {
  static const int64_t size = ::sysconf(_SC_PAGESIZE);
  return size;
}

// A window of the file, unmapped on every path.
class Mapping {
 public:
  Mapping(int file, int64_t start, size_t size)
      : size_(size),
        data_(::mmap(nullptr, size, PROT_READ, MAP_SHARED | MAP_POPULATE, file,
                     static_cast<off_t>(start))) {}
  ~Mapping() {
    if (data_ != MAP_FAILED) ::munmap(data_, size_);
  }
  Mapping(const Mapping&) = delete;
  Mapping& operator=(const Mapping&) = delete;
  const char* data() const {
    return data_ == MAP_FAILED ? nullptr : static_cast<const char*>(data_);
  }

 private:
  size_t size_;
  void* data_;
};

}  // namespace

int64_t WriteMapped(int source, int64_t offset, int64_t length,
                    const std::function<void(const char*, size_t)>& write) {
  int64_t done = 0;
  while (done < length) {
    int64_t at = offset + done;
    int64_t start = at - at % PageSize();
    int64_t skew = at - start;
    int64_t size = std::min(length - done, kWindow - skew);
    Mapping window(source, start, static_cast<size_t>(skew + size));
    if (window.data() == nullptr) break;
    write(window.data() + skew, static_cast<size_t>(size));
    done += size;
  }
  return done;
}

}  // namespace brimwald
