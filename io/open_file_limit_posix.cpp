#include <sys/resource.h>

#include "io/open_file_limit.h"

namespace brimwald {

void AllowEveryOpenFile() {
  struct rlimit limit;
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
  if (limit.rlim_cur == limit.rlim_max) return;
  const rlim_t wanted = limit.rlim_max;
  limit.rlim_cur = wanted;
  if (::setrlimit(RLIMIT_NOFILE, &limit) == 0) return;
  // Linux refuses a soft limit above fs.nr_open (2^20 by default), which an
  // unlimited hard limit is.
  limit.rlim_cur = wanted < (rlim_t{1} << 20) ? wanted : rlim_t{1} << 20;
  ::setrlimit(RLIMIT_NOFILE, &limit);
}

}  // namespace brimwald
