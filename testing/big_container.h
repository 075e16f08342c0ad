// A container of large entries, for the windows' tests of long
// extractions, and the check of what its extraction leaves.

#ifndef BRIMWALD_TESTING_BIG_CONTAINER_H_
#define BRIMWALD_TESTING_BIG_CONTAINER_H_

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "testing/temp_dir.h"

namespace brimwald::testing {

/// Writes big.str in `dir`: `count` entries "big<i>" of 4 MiB each, every
/// body a pattern of its own so that a byte out of place shows. Returns the
/// files its extraction must leave, by their paths in `dir`
/// ("EXT_big/big<i>.qvstr"), with what they must hold.
std::map<std::string, std::string> WriteBigContainer(const TempDir& dir,
                                                     int count);

/// How many of the `expected` files stand whole in `dir`. The paths of the
/// files that differ, and of any other file in `dir` but big.str, go to
/// `wrong`.
size_t WholeFiles(const TempDir& dir,
                  const std::map<std::string, std::string>& expected,
                  std::vector<std::string>& wrong);

}  // namespace brimwald::testing

#endif  // BRIMWALD_TESTING_BIG_CONTAINER_H_
