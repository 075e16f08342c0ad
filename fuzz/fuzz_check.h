// A failed property in a fuzz target: report and abort, so that libFuzzer
// keeps the input and the replay test fails.

#ifndef BRIMWALD_FUZZ_FUZZ_CHECK_H_
#define BRIMWALD_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                               \
  do {                                                                      \
    if (!(condition)) {                                                     \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, \
                   #condition);                                             \
      std::abort();                                                         \
    }                                                                       \
  } while (false)

#endif  // BRIMWALD_FUZZ_FUZZ_CHECK_H_
